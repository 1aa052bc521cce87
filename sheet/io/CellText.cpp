#include "sheet/io/CellText.h"

#include "sheet/io/WorkbookLimits.h"

namespace zrv::sheet {

std::string ToModelText(std::string_view fileText)
{
    // Copied in runs up to each lone LF, which gets its CR.
    std::string text;
    text.reserve(fileText.size() + 16);
    std::size_t from = 0;
    for (std::size_t lf = fileText.find('\n'); lf != std::string_view::npos;
         lf = fileText.find('\n', lf + 1)) {
        if (lf > 0 && fileText[lf - 1] == '\r')
            continue;
        text.append(fileText.substr(from, lf - from));
        text += '\r';
        from = lf;
    }
    text.append(fileText.substr(from));
    return text;
}

std::string ToFileText(std::string_view modelText)
{
    std::string text;
    text.reserve(modelText.size());
    for (std::size_t i = 0; i < modelText.size(); ++i) {
        if (modelText[i] == '\r' && i + 1 < modelText.size() && modelText[i + 1] == '\n')
            continue;
        text += modelText[i];
    }
    return text;
}

namespace {

// Length of the UTF-8 sequence starting at text[i], or 0 when it is not valid
// (overlong forms, surrogates and values past U+10FFFF included).
std::size_t SequenceLength(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    if (byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    }
    return length;
}

} // namespace

void AppendUtf8(std::string& out, uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = SequenceLength(text, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::string ValidUtf8(std::string_view text)
{
    if (IsValidUtf8(text))
        return std::string(text);
    std::string valid;
    valid.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = SequenceLength(text, i);
        if (length == 0) {
            valid += "\xEF\xBF\xBD";
            ++i;
        } else {
            valid.append(text.substr(i, length));
            i += length;
        }
    }
    return valid;
}

std::size_t Utf16Length(std::string_view text)
{
    std::size_t units = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80)
            units += byte >= 0xF0 ? 2 : 1;
    }
    return units;
}

std::string CellName(uint32_t row, uint32_t column)
{
    std::string letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
    return letters + std::to_string(row);
}

bool ParseCellName(std::string_view name, uint32_t& row, uint32_t& column)
{
    std::size_t i = 0;
    const auto skipDollar = [&] {
        if (i < name.size() && name[i] == '$')
            ++i;
    };
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    skipDollar();
    uint32_t c = 0;
    const std::size_t lettersStart = i;
    for (; i < name.size() && isLetter(name[i]) && i - lettersStart < 3; ++i)
        c = c * 26 + static_cast<uint32_t>((name[i] & ~0x20) - 'A' + 1);
    const std::size_t letters = i - lettersStart;
    skipDollar();
    uint32_t r = 0;
    const std::size_t digitsStart = i;
    for (; i < name.size() && name[i] >= '0' && name[i] <= '9' && i - digitsStart < 8; ++i)
        r = r * 10 + static_cast<uint32_t>(name[i] - '0');
    if (letters == 0 || i == digitsStart || i != name.size())
        return false;
    if (r < 1 || r > kMaxRows || c < 1 || c > kMaxColumns)
        return false;
    row = r;
    column = c;
    return true;
}

} // namespace zrv::sheet
