#include "sheet/io/BiffStrings.h"

#include "sheet/io/CellText.h"
#include "sheet/io/CWorkbookBuilder.h"
#include "sheet/io/WorkbookLimits.h"

#include <algorithm>
#include <iconv.h>
#include <map>
#include <memory>

namespace zrv::sheet {

namespace {

constexpr unsigned char kHighByte = 0x01;
constexpr unsigned char kExtended = 0x04;
constexpr unsigned char kRich = 0x08;

// Reads through the parts of a record that CONTINUE records carry on.
class Cursor final {
public:
    explicit Cursor(const std::vector<std::string_view>& parts) : m_parts(parts) {}

    bool Byte(uint32_t& value)
    {
        SkipEmpty();
        if (m_part >= m_parts.size())
            return false;
        value = static_cast<unsigned char>(m_parts[m_part][m_offset++]);
        return true;
    }

    bool Number(std::size_t bytes, uint32_t& value)
    {
        value = 0;
        for (std::size_t i = 0; i < bytes; ++i) {
            uint32_t byte = 0;
            if (!Byte(byte))
                return false;
            value |= byte << (8 * i);
        }
        return true;
    }

    bool Skip(uint64_t bytes)
    {
        while (bytes > 0) {
            SkipEmpty();
            if (m_part >= m_parts.size())
                return false;
            const std::size_t step = static_cast<std::size_t>(std::min<uint64_t>(bytes, Left()));
            m_offset += step;
            bytes -= step;
        }
        return true;
    }

    // Characters of `width` bytes, appended to `text`; at the end of a part
    // they go on in the next one after its flags byte.
    bool Characters(uint64_t count, std::size_t width, std::u16string& text)
    {
        while (count > 0) {
            const std::size_t fit = m_part < m_parts.size() ? Left() / width : 0;
            if (fit == 0) {
                if (++m_part >= m_parts.size())
                    return false;
                m_offset = 0;
                uint32_t flags = 0;
                if (!Byte(flags))
                    return false;
                width = flags & kHighByte ? 2 : 1;
                continue;
            }
            const auto step = static_cast<std::size_t>(std::min<uint64_t>(count, fit));
            const std::string_view bytes = m_parts[m_part].substr(m_offset, step * width);
            for (std::size_t i = 0; i < step; ++i) {
                const auto low = static_cast<unsigned char>(bytes[i * width]);
                const unsigned high =
                    width == 2 ? static_cast<unsigned char>(bytes[i * width + 1]) : 0u;
                text += static_cast<char16_t>(low | high << 8);
            }
            m_offset += step * width;
            count -= step;
        }
        return true;
    }

private:
    std::size_t Left() const { return m_parts[m_part].size() - m_offset; }
    void SkipEmpty()
    {
        while (m_part < m_parts.size() && m_offset >= m_parts[m_part].size()) {
            ++m_part;
            m_offset = 0;
        }
    }

    const std::vector<std::string_view>& m_parts;
    std::size_t m_part = 0;
    std::size_t m_offset = 0;
};

} // namespace

bool UnicodeStringFits(std::string_view data, std::size_t offset, std::size_t characters)
{
    if (offset >= data.size())
        return characters == 0 && offset == data.size();
    const auto flags = static_cast<unsigned char>(data[offset]);
    const std::size_t need = 1 + (flags & kRich ? 2 : 0) + (flags & kExtended ? 4 : 0) +
                             characters * (flags & kHighByte ? 2 : 1);
    return need <= data.size() - offset;
}

namespace {

[[noreturn]] void Damaged()
{
    throw CReadError("damaged xls file (a text longer than its record)");
}

// One XLUnicodeRichExtendedString: its characters, then its formatting runs
// and extension data, which are skipped.
std::string ReadString(Cursor& cursor)
{
    uint32_t characters = 0, flags = 0, runs = 0, extension = 0;
    if (!cursor.Number(2, characters) || !cursor.Byte(flags))
        Damaged();
    if ((flags & kRich) && !cursor.Number(2, runs))
        Damaged();
    if ((flags & kExtended) && !cursor.Number(4, extension))
        Damaged();
    if (characters > kMaxCellChars)
        throw CReadError("a text of the xls file is longer than " + std::to_string(kMaxCellChars) +
                         " characters");
    std::u16string text;
    text.reserve(characters);
    if (!cursor.Characters(characters, flags & kHighByte ? 2 : 1, text) ||
        !cursor.Skip(4ull * runs) || !cursor.Skip(extension))
        Damaged();
    return Utf16ToUtf8(text);
}

} // namespace

std::vector<std::string> ReadSharedStrings(const std::vector<std::string_view>& parts,
                                           uint64_t count)
{
    Cursor cursor(parts);
    std::vector<std::string> strings;
    std::size_t bytes = 0;
    for (uint64_t i = 0; i < count; ++i) {
        strings.push_back(ReadString(cursor));
        bytes += strings.back().size() + sizeof(std::string);
        if (bytes > kMaxTextBytes)
            throw CReadError("more than " + std::to_string(kMaxTextBytes >> 20) + " MiB of text");
    }
    return strings;
}

std::string ReadCharacters(std::string_view data, std::size_t characters)
{
    if (characters == 0)
        return {};
    if (data.empty())
        Damaged();
    if (characters > kMaxCellChars)
        throw CReadError("a text of the xls file is longer than " + std::to_string(kMaxCellChars) +
                         " characters");
    const std::vector<std::string_view> parts = {data.substr(1)};
    Cursor cursor(parts);
    std::u16string text;
    text.reserve(characters);
    if (!cursor.Characters(characters, data[0] & kHighByte ? 2 : 1, text))
        Damaged();
    return Utf16ToUtf8(text);
}

std::string ReadStringRecord(const std::vector<std::string_view>& parts)
{
    Cursor cursor(parts);
    return ReadString(cursor);
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string utf8;
    utf8.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c > 0xDBFF || i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                throw CReadError("damaged xls file (a text that is not valid UTF-16)");
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        AppendUtf8(utf8, c);
    }
    return utf8;
}

namespace {

// The code pages an xls file's CODEPAGE may name, but for UTF-16 (1200).
constexpr uint32_t kCodePages[] = {
    437, 720, 737, 775, 850, 852,  855,  857,  858,  860,  861,  862,  863,  864,  865,  866,  869,
    874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 1361, 10000};

struct ConversionCloser {
    void operator()(void* converter) const { iconv_close(static_cast<iconv_t>(converter)); }
};
using Conversion = std::unique_ptr<void, ConversionCloser>;

Conversion OpenConversion(uint32_t codePage)
{
    const std::string name = codePage == 10000 ? "MACINTOSH" : "CP" + std::to_string(codePage);
    const iconv_t converter = iconv_open("UTF-8", name.c_str());
    return Conversion(converter == reinterpret_cast<iconv_t>(-1) ? nullptr : converter);
}

std::map<uint32_t, Conversion>& KeptConversions()
{
    static std::map<uint32_t, Conversion> kept;
    return kept;
}

std::string Convert(void* converter, std::string_view bytes)
{
    const auto handle = static_cast<iconv_t>(converter);
    iconv(handle, nullptr, nullptr, nullptr, nullptr); // a fresh shift state
    std::string in(bytes), out(bytes.size() * 4, '\0');
    char* from = in.data();
    char* to = out.data();
    std::size_t fromLeft = in.size(), toLeft = out.size();
    if (iconv(handle, &from, &fromLeft, &to, &toLeft) == static_cast<std::size_t>(-1))
        throw CReadError("damaged xls file (a text that is not in its code page)");
    out.resize(out.size() - toLeft);
    return out;
}

} // namespace

std::string CodePageToUtf8(std::string_view bytes, uint32_t codePage)
{
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(bytes);
    if (const auto kept = KeptConversions().find(codePage); kept != KeptConversions().end())
        return Convert(kept->second.get(), bytes);
    const Conversion conversion = OpenConversion(codePage);
    if (!conversion)
        throw CReadError("an xls text in code page " + std::to_string(codePage) +
                         ", which cannot be read");
    return Convert(conversion.get(), bytes);
}

void KeepCodePageConversions()
{
    for (const uint32_t codePage : kCodePages) {
        if (Conversion conversion = OpenConversion(codePage))
            KeptConversions().insert_or_assign(codePage, std::move(conversion));
    }
}

} // namespace zrv::sheet
