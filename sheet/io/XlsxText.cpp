#include "sheet/io/XlsxText.h"

#include "sheet/io/CellText.h"

#include <cstdint>
#include <optional>

namespace zrv::sheet {

namespace {

constexpr std::size_t kEscapeLength = 7; // _xHHHH_

// The code unit of an escape at text[i], if there is one.
std::optional<uint32_t> EscapeAt(std::string_view text, std::size_t i)
{
    if (i + kEscapeLength > text.size() || text[i] != '_' || text[i + 1] != 'x' ||
        text[i + 6] != '_')
        return std::nullopt;
    uint32_t unit = 0;
    for (std::size_t k = i + 2; k < i + 6; ++k) {
        const char c = text[k];
        uint32_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        else
            return std::nullopt;
        unit = unit << 4 | digit;
    }
    return unit;
}

} // namespace

std::string DecodeXlsxEscapes(std::string_view text)
{
    if (text.find("_x") == std::string_view::npos)
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto unit = EscapeAt(text, i);
        if (!unit) {
            out += text[i++];
            continue;
        }
        i += kEscapeLength;
        uint32_t code = *unit;
        if (code >= 0xD800 && code <= 0xDBFF) {
            const auto low = EscapeAt(text, i);
            if (low && *low >= 0xDC00 && *low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (*low - 0xDC00);
                i += kEscapeLength;
            } else {
                code = 0xFFFD;
            }
        } else if (code >= 0xDC00 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        AppendUtf8(out, code);
    }
    return out;
}

std::string EscapeXlsxLiterals(std::string_view text)
{
    if (text.find("_x") == std::string_view::npos)
        return std::string(text);
    std::string out;
    out.reserve(text.size() + 14);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (EscapeAt(text, i))
            out += "_x005F";
        out += text[i];
    }
    return out;
}

bool IsErrorValueName(std::string_view name)
{
    for (const char* known : {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A"}) {
        if (name == known)
            return true;
    }
    return false;
}

} // namespace zrv::sheet
