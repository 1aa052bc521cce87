#include "runtime/registry/RegValueText.h"

#include "runtime/registry/AnsiText.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace zrv::reg {

namespace {

struct TypeName {
    DWORD type;
    const char* name;
};

constexpr TypeName TypeNames[] = {
    {REG_NONE, "REG_NONE"},     {REG_SZ, "REG_SZ"},       {REG_EXPAND_SZ, "REG_EXPAND_SZ"},
    {REG_BINARY, "REG_BINARY"}, {REG_DWORD, "REG_DWORD"}, {7, "REG_MULTI_SZ"},
};

} // namespace

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string NameOfType(DWORD type)
{
    for (const TypeName& entry : TypeNames) {
        if (entry.type == type)
            return entry.name;
    }
    return "REG_0x" + std::to_string(type);
}

std::optional<DWORD> TypeOfName(const std::string& name)
{
    for (const TypeName& entry : TypeNames) {
        if (Lower(name) == Lower(entry.name))
            return entry.type;
    }
    return std::nullopt;
}

std::string HexText(const std::string& bytes)
{
    std::string text;
    for (const char byte : bytes) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned char>(byte));
        text += pair;
    }
    return text;
}

bool ParseHexText(const std::string& text, std::string& bytes)
{
    if (text.size() % 2 != 0)
        return false;
    for (size_t i = 0; i < text.size(); i += 2) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 1])))
            return false;
        bytes += static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16));
    }
    return true;
}

std::optional<DWORD> ParseDword(const std::string& text)
{
    if (text.empty() || text.front() == '-' || text.front() == '+' ||
        std::isspace(static_cast<unsigned char>(text.front())))
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || value > 0xFFFFFFFFull)
        return std::nullopt;
    return static_cast<DWORD>(value);
}

std::string StringOfData(const std::string& data)
{
    const bool terminated = !data.empty() && data.back() == '\0';
    return AnsiToUtf8(std::string_view(data).substr(0, data.size() - (terminated ? 1 : 0)));
}

std::string DataText(DWORD type, const std::string& data)
{
    if (type == REG_SZ || type == REG_EXPAND_SZ)
        return StringOfData(data);
    if (type != REG_DWORD || data.size() != sizeof(DWORD))
        return HexText(data);
    DWORD number = 0;
    data.copy(reinterpret_cast<char*>(&number), sizeof number);
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", number);
    return text;
}

} // namespace zrv::reg
