#include "runtime/registry/HiveFiles.h"

#include <cstdlib>
#include <pwd.h>
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

} // namespace zrv::reg
