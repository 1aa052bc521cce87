#include "tests/component/RegistryProbe.h"

#include <vector>

namespace zrv::test {

namespace {

class OpenKey final {
public:
    OpenKey(HKEY root, const std::string& key, REGSAM access)
        : m_error(RegOpenKeyExA(root, key.c_str(), 0, access, &m_key))
    {}
    ~OpenKey()
    {
        if (m_error == ERROR_SUCCESS)
            RegCloseKey(m_key);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    bool IsOpen() const { return m_error == ERROR_SUCCESS; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = 0;
    LONG m_error;
};

} // namespace

bool KeyExists(HKEY root, const std::string& key)
{
    return OpenKey(root, key, KEY_READ).IsOpen();
}

std::optional<std::string> ReadString(HKEY root, const std::string& key, const char* name)
{
    const OpenKey open(root, key, KEY_READ);
    if (!open.IsOpen())
        return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(open.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    std::vector<BYTE> data(size + 1, 0);
    if (RegQueryValueExA(open.get(), name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(data.data()));
}

std::optional<std::pair<DWORD, DWORD>> KeyCounts(HKEY root, const std::string& key)
{
    const OpenKey open(root, key, KEY_READ);
    if (!open.IsOpen())
        return std::nullopt;
    DWORD subKeys = 0;
    DWORD values = 0;
    if (RegQueryInfoKeyA(open.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return std::make_pair(subKeys, values);
}

bool WriteString(HKEY root, const std::string& key, const char* name, const std::string& value)
{
    HKEY handle = 0;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        &handle, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG error =
        RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
    RegCloseKey(handle);
    return error == ERROR_SUCCESS;
}

} // namespace zrv::test
