#include "runtime/com/GuidText.h"

#include <array>
#include <cstdio>

namespace zrv::com {

namespace {

constexpr size_t kGuidChars = 38;

int HexValue(char32_t c)
{
    if (c >= '0' && c <= '9')
        return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<int>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return static_cast<int>(c - 'A' + 10);
    return -1;
}

// Reads digits hex digits at text[pos]; false on anything else.
template <typename Char>
bool ReadHex(std::basic_string_view<Char> text, size_t pos, int digits, uint32_t& value)
{
    value = 0;
    for (int i = 0; i < digits; ++i) {
        const int digit = HexValue(static_cast<char32_t>(text[pos + static_cast<size_t>(i)]));
        if (digit < 0)
            return false;
        value = (value << 4) | static_cast<uint32_t>(digit);
    }
    return true;
}

template <typename Char> std::optional<GUID> Parse(std::basic_string_view<Char> text)
{
    if (text.size() != kGuidChars || text.front() != '{' || text.back() != '}')
        return std::nullopt;
    for (const size_t dash : {9u, 14u, 19u, 24u}) {
        if (text[dash] != '-')
            return std::nullopt;
    }
    GUID guid{};
    uint32_t value = 0;
    if (!ReadHex(text, 1, 8, value))
        return std::nullopt;
    guid.Data1 = value;
    if (!ReadHex(text, 10, 4, value))
        return std::nullopt;
    guid.Data2 = static_cast<uint16_t>(value);
    if (!ReadHex(text, 15, 4, value))
        return std::nullopt;
    guid.Data3 = static_cast<uint16_t>(value);
    constexpr std::array<size_t, 8> kBytePos = {20, 22, 25, 27, 29, 31, 33, 35};
    for (size_t i = 0; i < kBytePos.size(); ++i) {
        if (!ReadHex(text, kBytePos[i], 2, value))
            return std::nullopt;
        guid.Data4[i] = static_cast<uint8_t>(value);
    }
    return guid;
}

} // namespace

std::string GuidToString(const GUID& guid)
{
    std::array<char, kGuidChars + 1> buffer{};
    std::snprintf(buffer.data(), buffer.size(),
                  "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", guid.Data1, guid.Data2,
                  guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3],
                  guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return std::string(buffer.data(), kGuidChars);
}

std::optional<GUID> ParseGuid(std::string_view text)
{
    return Parse(text);
}

std::optional<GUID> ParseGuid(std::u16string_view text)
{
    return Parse(text);
}

} // namespace zrv::com
