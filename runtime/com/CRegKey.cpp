#include "runtime/com/CRegKey.h"

namespace zrv::com {

std::optional<std::string> QueryRegString(HKEY key, const char* valueName)
{
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::string value(size, '\0');
    if (size && RegQueryValueExA(key, valueName, nullptr, &type,
                                 reinterpret_cast<LPBYTE>(value.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.resize(size);
    while (!value.empty() && value.back() == '\0')
        value.pop_back();
    return value;
}

LONG SetRegString(HKEY key, const char* valueName, const std::string& value)
{
    return RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
}

std::vector<std::string> RegSubKeyNames(HKEY key)
{
    std::vector<std::string> names;
    DWORD count = 0;
    DWORD longest = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0; i < count; ++i) {
        std::string name(longest + 1, '\0');
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        name.resize(length);
        names.push_back(std::move(name));
    }
    return names;
}

std::optional<std::string> ReadRegString(HKEY root, const std::string& path, const char* valueName)
{
    CRegKey key;
    if (key.open(root, path) != ERROR_SUCCESS)
        return std::nullopt;
    return QueryRegString(key.get(), valueName);
}

LONG WriteRegString(HKEY root, const std::string& path, const char* valueName,
                    const std::string& value)
{
    CRegKey key;
    const LONG rc = key.create(root, path);
    return rc == ERROR_SUCCESS ? SetRegString(key.get(), valueName, value) : rc;
}

} // namespace zrv::com
