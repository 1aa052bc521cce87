#include "fortarc/PlayerInstall.h"

#include "runtime/registry/WinReg.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace zrv::PlayerInstall {

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kAppPathValue[] = "Inno Setup: App Path";

class CKey final {
public:
    CKey(HKEY parent, const std::string& path)
    {
        m_open = RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &m_key) == ERROR_SUCCESS;
    }
    ~CKey()
    {
        if (m_open)
            RegCloseKey(m_key);
    }
    CKey(const CKey&) = delete;
    CKey& operator=(const CKey&) = delete;

    bool IsOpen() const { return m_open; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = 0;
    bool m_open = false;
};

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(text[i]) != lower(prefix[i]))
            return false;
    }
    return true;
}

// The player's entry: empty when there is none; nullopt when the uninstall
// key cannot be read.
std::optional<std::string> FindPlayerEntry()
{
    const CKey uninstall(HKEY_LOCAL_MACHINE, kUninstallKey);
    DWORD count = 0;
    DWORD longest = 0;
    if (!uninstall.IsOpen() ||
        RegQueryInfoKeyA(uninstall.Get(), nullptr, nullptr, nullptr, &count, &longest, nullptr,
                         nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<char> name(longest + 1);
    for (DWORD i = 0; i < count; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(uninstall.Get(), i, name.data(), &length, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS)
            return std::nullopt;
        const std::string entry(name.data(), length);
        if (IsPlayerEntry(entry))
            return entry;
    }
    return std::string();
}

std::optional<std::string> ReadAppPath(const std::string& entry)
{
    const CKey key(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + '\\' + entry);
    DWORD type = 0;
    DWORD size = 0;
    if (!key.IsOpen() ||
        RegQueryValueExA(key.Get(), kAppPathValue, nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::string value(size, '\0');
    if (size > 0 &&
        RegQueryValueExA(key.Get(), kAppPathValue, nullptr, &type,
                         reinterpret_cast<LPBYTE>(value.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.resize(std::min<size_t>(size, value.size()));
    while (!value.empty() && value.back() == '\0')
        value.pop_back();
    return value;
}

bool EnsureFolder(const std::string& folder)
{
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return true;
    return ::mkdir(folder.c_str(), 0777) == 0;
}

} // namespace

bool IsPlayerEntry(std::string_view entryName)
{
    return StartsWithNoCase(entryName, "ZorvaFortune") &&
           !StartsWithNoCase(entryName, "ZorvaFortune Editor");
}

std::string DataFolder(const std::string& appPath)
{
    return appPath + "/data";
}

std::string FindAppPath(const std::string& fallbackFolder, std::string* failure)
{
    const auto fallBack = [&](const std::string& why) {
        if (failure)
            *failure = why;
        return fallbackFolder;
    };
    const std::optional<std::string> entry = FindPlayerEntry();
    if (!entry)
        return fallBack(std::string("cannot read HKEY_LOCAL_MACHINE\\") + kUninstallKey);
    std::string appPath = fallbackFolder;
    if (!entry->empty()) {
        const std::optional<std::string> path = ReadAppPath(*entry);
        if (!path)
            return fallBack("the uninstall entry " + *entry + " has no \"" + kAppPathValue + "\"");
        appPath = *path;
    }
    const std::string data = DataFolder(appPath);
    if (!EnsureFolder(data))
        return fallBack("cannot create " + data + ": " + std::strerror(errno));
    return appPath;
}

} // namespace zrv::PlayerInstall
