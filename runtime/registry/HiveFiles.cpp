#include "runtime/registry/HiveFiles.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zrv::reg {

namespace {

constexpr const char* HiveFolder = "/zorva/registry/";

// Relative paths in the XDG variables are invalid and ignored.
bool IsAbsolute(const char* path)
{
    return path && path[0] == '/';
}

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = getpwuid(geteuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

} // namespace

std::string UserHivePath()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string base = IsAbsolute(config) ? std::string(config) : HomeFolder() + "/.config";
    return base + HiveFolder + "user.db";
}

std::string MachineHivePath()
{
    std::string base = "/etc/xdg";
    if (const char* dirs = std::getenv("XDG_CONFIG_DIRS"); dirs && *dirs) {
        const std::string all(dirs);
        const std::string first = all.substr(0, all.find(':'));
        if (IsAbsolute(first.c_str()))
            base = first;
    }
    return base + HiveFolder + "machine.db";
}

bool ModeAllowsWrite(const std::string& path)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return false;
    if (geteuid() == 0)
        return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    return access(path.c_str(), W_OK) == 0;
}

std::string ExistingFolderOf(const std::string& path)
{
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code ec;
    while (!folder.empty() && !std::filesystem::exists(folder, ec))
        folder = folder.parent_path();
    return folder.empty() ? std::string("/") : folder.string();
}

std::string ImmutableUri(const std::string& path)
{
    std::string uri = "file:";
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        if (std::isalnum(c) || ch == '/' || ch == '-' || ch == '_' || ch == '.' || ch == '~') {
            uri += ch;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            uri += escaped;
        }
    }
    return uri + "?immutable=1";
}

std::string HiveFileStamp(const std::string& path)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return {};
    return std::to_string(st.st_ino) + ":" + std::to_string(st.st_size) + ":" +
           std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
}

std::string HiveFileIdentity(const std::string& path)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return {};
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
}

} // namespace zrv::reg
