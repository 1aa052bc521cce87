#include "runtime/com/CRegKey.h"

#include <utility>

namespace zrv::com {

CRegKey::~CRegKey() { close(); }

CRegKey::CRegKey(CRegKey&& other) noexcept
    : m_key(std::exchange(other.m_key, 0))
{
}

CRegKey& CRegKey::operator=(CRegKey&& other) noexcept
{
    if (this != &other) {
        close();
        m_key = std::exchange(other.m_key, 0);
    }
    return *this;
}

LONG CRegKey::open(HKEY parent, const std::string& subKey, REGSAM access)
{
    close();
    return RegOpenKeyExA(parent, subKey.c_str(), 0, access, &m_key);
}

LONG CRegKey::create(HKEY parent, const std::string& subKey)
{
    close();
    return RegCreateKeyExA(parent, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
}

void CRegKey::close()
{
    if (m_key)
        RegCloseKey(std::exchange(m_key, 0));
}

std::optional<std::string> CRegKey::queryString(const char* valueName) const
{
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(m_key, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::string value(size, '\0');
    if (size && RegQueryValueExA(m_key, valueName, nullptr, &type,
                                 reinterpret_cast<LPBYTE>(value.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.resize(size);
    while (!value.empty() && value.back() == '\0')
        value.pop_back();
    return value;
}

LONG CRegKey::setString(const char* valueName, const std::string& value) const
{
    return RegSetValueExA(m_key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
}

std::vector<std::string> CRegKey::subKeyNames() const
{
    std::vector<std::string> names;
    DWORD count = 0;
    DWORD longest = 0;
    if (RegQueryInfoKeyA(m_key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0; i < count; ++i) {
        std::string name(longest + 1, '\0');
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(m_key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
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
    return key.queryString(valueName);
}

LONG WriteRegString(HKEY root, const std::string& path, const char* valueName,
                    const std::string& value)
{
    CRegKey key;
    const LONG rc = key.create(root, path);
    return rc == ERROR_SUCCESS ? key.setString(valueName, value) : rc;
}

} // namespace zrv::com
