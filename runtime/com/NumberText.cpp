#include "runtime/com/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace zrv::com {

namespace {

bool IsSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}
bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

std::u16string_view Trim(std::u16string_view text)
{
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<double> ParseRadix(std::u16string_view digits, int radix)
{
    if (digits.empty())
        return std::nullopt;
    uint64_t value = 0;
    for (const char16_t c : digits) {
        int digit = -1;
        if (IsDigit(c))
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0 || digit >= radix)
            return std::nullopt;
        if (value > (std::numeric_limits<uint64_t>::max() - static_cast<uint64_t>(digit)) /
                        static_cast<uint64_t>(radix))
            return std::numeric_limits<double>::infinity();
        value = value * static_cast<uint64_t>(radix) + static_cast<uint64_t>(digit);
    }
    return static_cast<double>(value);
}

// Copies a decimal number into plain ASCII for from_chars, dropping the
// grouping commas; nullopt when the text breaks the grammar.
std::optional<std::string> DecimalText(std::u16string_view text)
{
    std::string out;
    size_t i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            out.push_back('-');
        ++i;
    }
    size_t mantissaDigits = 0;
    for (; i < text.size() && (IsDigit(text[i]) || (text[i] == u',' && mantissaDigits > 0)); ++i) {
        if (text[i] != u',') {
            out.push_back(static_cast<char>(text[i]));
            ++mantissaDigits;
        }
    }
    if (i < text.size() && text[i] == u'.') {
        out.push_back('.');
        for (++i; i < text.size() && IsDigit(text[i]); ++i, ++mantissaDigits)
            out.push_back(static_cast<char>(text[i]));
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        out.push_back('e');
        ++i;
        if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
            out.push_back(static_cast<char>(text[i++]));
        size_t exponentDigits = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i, ++exponentDigits)
            out.push_back(static_cast<char>(text[i]));
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    return out;
}

} // namespace

std::optional<double> ParseNumber(std::u16string_view text)
{
    text = Trim(text);
    if (text.size() >= 2 && text[0] == u'&') {
        if (text[1] == u'H' || text[1] == u'h')
            return ParseRadix(text.substr(2), 16);
        if (text[1] == u'O' || text[1] == u'o')
            return ParseRadix(text.substr(2), 8);
        return std::nullopt;
    }
    const auto ascii = DecimalText(text);
    if (!ascii)
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(ascii->data(), ascii->data() + ascii->size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too large overflows; too small is zero.
        const bool tiny = ascii->find("e-") != std::string::npos;
        return tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    if (error != std::errc() || end != ascii->data() + ascii->size())
        return std::nullopt;
    return value;
}

std::string FormatNumber(double value, int digits)
{
    if (value == 0)
        return "0";
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    std::string text(buffer, result.ptr);
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c == 'e' ? 'E' : c; });
    return text;
}

double RoundHalfEven(double value)
{
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5)
        return lower + 1;
    if (fraction < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

} // namespace zrv::com
