#include "tests/runtime/registry/RegistryFixture.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct ToolResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

class ZrvRegTool : public zrv::test::RegistryFixture {
protected:
    void SetUp() override
    {
        RegistryFixture::SetUp();
        m_folder = zrv::test::MakeTempDir("zrvreg");
    }

    std::string File(const std::string& name) const { return m_folder + "/" + name; }

    // Runs zrvreg with args, stdin from /dev/null.
    ToolResult Run(const std::vector<std::string>& args)
    {
        const std::string outPath = File("stdout");
        const std::string errPath = File("stderr");
        const pid_t pid = fork();
        if (pid == 0) {
            const int in = open("/dev/null", O_RDONLY);
            const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(in, 0);
            dup2(out, 1);
            dup2(err, 2);
            std::vector<char*> argv{const_cast<char*>(ZRVREG_PATH)};
            for (const std::string& arg : args)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            execv(ZRVREG_PATH, argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(outPath), ReadAll(errPath)};
    }

    // Checks a failure: exit code 1 and exactly one line on stderr.
    static void ExpectFailure(const ToolResult& result, const std::string& containing)
    {
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_NE(result.err.find(containing), std::string::npos) << result.err;
    }

    static std::string RawValue(HKEY root, const char* path, const char* name, DWORD& type)
    {
        HKEY key = 0;
        if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return "no key";
        char buffer[1024];
        DWORD size = sizeof buffer;
        const LONG result =
            RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        return result == ERROR_SUCCESS ? std::string(buffer, size) : "no value";
    }

private:
    std::string m_folder;
};

const std::vector<std::pair<std::string, std::string>> Texts = {
    {"Quotes", "say \"hello\""},
    {"Backslashes", "C:\\Program Files\\\\x\\"},
    {"Lines", "first\r\nsecond\nthird\r\n"},
    {"Unicode", "Grüße, 日本語 ✓"},
    {"", "the default"},
    {"Empty", ""},
};

} // namespace

TEST_F(ZrvRegTool, addQueryDelete_roundTrip)
{
    for (const auto& [name, text] : Texts) {
        const std::vector<std::string> valueArgs =
            name.empty() ? std::vector<std::string>{"/ve"} : std::vector<std::string>{"/v", name};
        std::vector<std::string> add{"add", "HKCU\\Software\\Zorva"};
        add.insert(add.end(), valueArgs.begin(), valueArgs.end());
        add.insert(add.end(), {"/d", text, "/f"});
        ASSERT_EQ(Run(add).exitCode, 0) << name;
        EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "Software\\Zorva", name.c_str()), text);

        std::vector<std::string> query{"query", "HKEY_CURRENT_USER\\Software\\Zorva"};
        query.insert(query.end(), valueArgs.begin(), valueArgs.end());
        const ToolResult shown = Run(query);
        EXPECT_EQ(shown.exitCode, 0);
        EXPECT_NE(shown.out.find("REG_SZ    " + text), std::string::npos) << shown.out;
    }
    ASSERT_EQ(Run({"add", "HKCU\\Software\\Zorva", "/v", "Count", "/t", "REG_DWORD", "/d", "0x10"})
                  .exitCode,
              0);
    EXPECT_NE(Run({"query", "HKCU\\Software\\Zorva", "/v", "count"}).out.find("REG_DWORD    0x10"),
              std::string::npos);

    ASSERT_EQ(Run({"delete", "HKCU\\Software\\Zorva", "/v", "Quotes", "/f"}).exitCode, 0);
    ExpectFailure(Run({"query", "HKCU\\Software\\Zorva", "/v", "Quotes"}), "unable to find");
    ASSERT_EQ(Run({"delete", "HKCU\\Software\\Zorva", "/f"}).exitCode, 0);
    ExpectFailure(Run({"query", "HKCU\\Software\\Zorva"}), "unable to find");
}

TEST_F(ZrvRegTool, exportThenImport_restoresEveryValueExactly)
{
    for (const auto& [name, text] : Texts)
        ASSERT_EQ(Run({"add", "HKCU\\Software\\Zorva\\Texts", "/v", name, "/d", text}).exitCode, 0);
    ASSERT_EQ(Run({"add", "HKCU\\Software\\Zorva\\Numbers", "/v", "n", "/t", "REG_DWORD", "/d",
                   "4294967295"})
                  .exitCode,
              0);
    ASSERT_EQ(Run({"add", "HKCU\\Software\\Zorva\\Numbers", "/v", "b", "/t", "REG_BINARY", "/d",
                   "00FF7f"})
                  .exitCode,
              0);
    ASSERT_EQ(Run({"add", "HKCU\\Software\\Zorva\\Empty\\Key"}).exitCode, 0);

    ASSERT_EQ(Run({"export", "HKCU\\Software\\Zorva", File("first.reg")}).exitCode, 0);
    ASSERT_EQ(Run({"delete", "HKCU\\Software\\Zorva", "/f"}).exitCode, 0);
    const ToolResult imported = Run({"import", File("first.reg")});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;

    for (const auto& [name, text] : Texts) {
        DWORD type = 0;
        EXPECT_EQ(RawValue(HKEY_CURRENT_USER, "Software\\Zorva\\Texts", name.c_str(), type),
                  text + '\0')
            << name;
        EXPECT_EQ(type, REG_SZ);
    }
    DWORD type = 0;
    EXPECT_EQ(RawValue(HKEY_CURRENT_USER, "Software\\Zorva\\Numbers", "n", type),
              std::string(4, '\xff'));
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(RawValue(HKEY_CURRENT_USER, "Software\\Zorva\\Numbers", "b", type),
              std::string("\0\xff\x7f", 3));
    EXPECT_EQ(type, REG_BINARY);
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Zorva\\Empty\\Key", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);

    ASSERT_EQ(Run({"export", "HKCU\\Software\\Zorva", File("second.reg")}).exitCode, 0);
    EXPECT_EQ(ReadAll(File("second.reg")), ReadAll(File("first.reg")));
}

TEST_F(ZrvRegTool, malformedImportWritesNothing)
{
    WriteAll(File("bad.reg"), "Windows Registry Editor Version 5.00\n\n"
                              "[HKEY_CURRENT_USER\\Software\\Installer]\n"
                              "\"Path\"=\"/opt/player\"\n"
                              "\n"
                              "[HKEY_CURRENT_USER\\Software\\Installer\\More]\n"
                              "\"Size\"=dword:zz\n");
    const ToolResult result = Run({"import", File("bad.reg")});
    ExpectFailure(result, "line 7");
    HKEY key = 0;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Installer", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(std::filesystem::exists(UserHive()));
}

TEST_F(ZrvRegTool, importDeletesWhatTheFileMarks)
{
    RegCloseKey(Create(HKEY_CURRENT_USER, "Software\\Old\\Deep"));
    const HKEY key = Create(HKEY_CURRENT_USER, "Software\\Keep");
    ASSERT_EQ(SetString(key, "Stale", "x"), ERROR_SUCCESS);
    RegCloseKey(key);
    WriteAll(File("delete.reg"), "Windows Registry Editor Version 5.00\n[-HKCU\\Software\\Old]\n"
                                 "[HKCU\\Software\\Keep]\n\"Stale\"=-\n\"Fresh\"=\"y\"\n");
    ASSERT_EQ(Run({"import", File("delete.reg")}).exitCode, 0);
    HKEY old = 0;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Old", 0, KEY_READ, &old),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "Software\\Keep", "Stale"), "error 2");
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, "Software\\Keep", "Fresh"), "y");
}

TEST_F(ZrvRegTool, badArgumentsAndMissingKeysFailWithOneLine)
{
    ExpectFailure(Run({}), "usage");
    ExpectFailure(Run({"frobnicate", "HKCU\\x"}), "usage");
    ExpectFailure(Run({"query", "HKEY_NOWHERE\\x"}), "invalid key name");
    ExpectFailure(Run({"add", "HKCU\\x", "/v"}), "/v needs a value");
    ExpectFailure(Run({"add", "HKCU\\x", "/v", "n", "/t", "REG_DWORD", "/d", "4294967296"}),
                  "32-bit");
    ExpectFailure(Run({"add", "HKCU\\x", "/v", "n", "/t", "REG_BINARY", "/d", "abc"}), "hex");
    ExpectFailure(Run({"add", "HKCU\\x", "/v", "n", "/t", "REG_WHATEVER"}), "unknown type");
    ExpectFailure(Run({"query", "HKLM\\Software\\Missing"}), "unable to find");
    ExpectFailure(Run({"delete", "HKCU", "/f"}), "root key");
    ExpectFailure(Run({"export", "HKCU\\Missing", File("x.reg")}), "unable to find");
    ExpectFailure(Run({"import", File("absent.reg")}), "cannot read");
    EXPECT_FALSE(std::filesystem::exists(UserHive()));
}

TEST_F(ZrvRegTool, unreadableHiveIsReportedAndKept)
{
    std::filesystem::create_directories(std::filesystem::path(UserHive()).parent_path());
    WriteAll(UserHive(), std::string(4096, 'x'));
    ExpectFailure(Run({"query", "HKCU\\Software"}), "cannot be read");
    ExpectFailure(Run({"add", "HKCU\\Software", "/v", "n", "/d", "x"}), "cannot be read");
    EXPECT_EQ(ReadAll(UserHive()), std::string(4096, 'x'));
}
