#include "tests/support/TempHome.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace zrv::test {

namespace {

std::string TempBase()
{
    const char* tmp = std::getenv("TMPDIR");
    return (tmp && *tmp) ? tmp : "/tmp";
}

std::string MakeDirFromTemplate(std::string pattern)
{
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data()))
        throw std::runtime_error("cannot create temporary folder " + pattern);
    return buffer.data();
}

void MakeDir(const std::string& path)
{
    if (mkdir(path.c_str(), 0700) != 0)
        throw std::runtime_error("cannot create folder " + path);
}

std::string g_currentRoot;

} // namespace

TempHome::TempHome() : m_root(MakeDirFromTemplate(TempBase() + "/zrvtest-XXXXXX"))
{
    for (const char* sub : {"/home", "/config", "/xdg", "/runtime", "/data", "/cache", "/state"})
        MakeDir(m_root + sub);
    setenv("HOME", (m_root + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", configHome().c_str(), 1);
    setenv("XDG_CONFIG_DIRS", configDir().c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtimeDir().c_str(), 1);
    setenv("XDG_DATA_HOME", dataHome().c_str(), 1);
    setenv("XDG_CACHE_HOME", (m_root + "/cache").c_str(), 1);
    setenv("XDG_STATE_HOME", (m_root + "/state").c_str(), 1);
    g_currentRoot = m_root;
}

TempHome::~TempHome()
{
    std::error_code ignored;
    std::filesystem::permissions(m_root, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_root, ignored);
    if (g_currentRoot == m_root)
        g_currentRoot.clear();
}

std::string MakeTempDir(const std::string& prefix)
{
    const std::string base = g_currentRoot.empty() ? TempBase() : g_currentRoot;
    return MakeDirFromTemplate(base + "/" + prefix + "-XXXXXX");
}

} // namespace zrv::test
