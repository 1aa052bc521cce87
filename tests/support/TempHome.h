#pragma once

#include <string>

namespace zrv::test {

// A private home for one test program: fresh HOME and XDG folders under the
// system's temporary folder, set in the environment for as long as it lives,
// removed with everything in them afterwards. No test sees the user's files,
// hives or settings.
class TempHome final {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& root() const { return m_root; }
    std::string configHome() const { return m_root + "/config"; }
    std::string configDir() const { return m_root + "/xdg"; }
    std::string runtimeDir() const { return m_root + "/runtime"; }
    std::string dataHome() const { return m_root + "/data"; }

private:
    std::string m_root;
};

// Creates a fresh folder below the test home's root (or the temporary folder)
// and returns its path; it goes away with the home.
std::string MakeTempDir(const std::string& prefix = "dir");

} // namespace zrv::test
