// zrvregsvr as a person or installer runs it, and CoCreateInstance by ProgID
// of the class it registered.

#include "component/IFortune.h"
#include "runtime/com/BString.h"
#include "runtime/com/ComPtr.h"
#include "tests/component/RegistryProbe.h"
#include "tests/support/TempHome.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace {

struct RunResult {
    int exitCode = -1;
    std::string output;
};

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs zrvregsvr with the arguments (already quoted) and an optional
// environment prefix; collects standard output and error.
RunResult RunRegSvr(const std::string& arguments, const std::string& environment = "")
{
    const std::string command =
        environment + " " + Quoted(ZRVREGSVR_PATH) + " " + arguments + " 2>&1";
    RunResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 512> buffer{};
    while (const size_t n = fread(buffer.data(), 1, buffer.size(), pipe))
        result.output.append(buffer.data(), n);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool IsOneLineWithCode(const std::string& output, const std::string& code)
{
    return output.find(code) != std::string::npos && !output.empty() && output.back() == '\n' &&
           output.find('\n') == output.size() - 1;
}

// A private copy of the component, registered and unregistered by path.
class RegSvr : public testing::Test {
protected:
    void SetUp() override
    {
        const std::filesystem::path folder = zrv::test::MakeTempDir("regsvr");
        m_module = (folder / "libzrvfort.so").string();
        std::filesystem::copy_file(ZRVFORT_PATH, m_module);
    }

    std::string m_module;
};

TEST_F(RegSvr, registerThenCreateByProgId)
{
    const RunResult registered = RunRegSvr(Quoted(m_module));
    ASSERT_EQ(registered.exitCode, 0) << registered.output;
    EXPECT_EQ(registered.output, "");

    for (const char16_t* progId : {u"ZorvaFortune.Fortune", u"ZorvaFortune.Fortune.1"}) {
        CLSID clsid{};
        ASSERT_EQ(CLSIDFromProgID(progId, &clsid), S_OK);
        EXPECT_TRUE(clsid == CLSID_Fortune);
    }
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(u"ZorvaFortune.Fortune", &clsid), S_OK);
    ComPtr<IFortune> fortune;
    ASSERT_EQ(
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IFortune, fortune.putVoid()),
        S_OK);
    const std::string file = zrv::test::MakeTempDir("archives") + "/Proverbs";
    ASSERT_EQ(fortune->Create(BString(std::u16string(file.begin(), file.end())).get()), S_OK);
    ASSERT_EQ(fortune->Add(BString(u"Look before you leap.").get()), S_OK);
    LONG count = 0;
    EXPECT_EQ(fortune->Count(&count), S_OK);
    EXPECT_EQ(count, 1);
    BString name;
    EXPECT_EQ(fortune->Name(name.put()), S_OK);
    EXPECT_EQ(name.view(), u"Proverbs");

    LPOLESTR progId = nullptr;
    ASSERT_EQ(ProgIDFromCLSID(CLSID_Fortune, &progId), S_OK);
    EXPECT_EQ(std::u16string(progId), u"ZorvaFortune.Fortune.1");
    CoTaskMemFree(progId);
    fortune.reset();

    const RunResult unregistered = RunRegSvr("-u " + Quoted(m_module));
    ASSERT_EQ(unregistered.exitCode, 0) << unregistered.output;
    EXPECT_NE(CLSIDFromProgID(u"ZorvaFortune.Fortune", &clsid), S_OK);
    ComPtr<IFortune> none;
    EXPECT_EQ(CoCreateInstance(CLSID_Fortune, nullptr, CLSCTX_INPROC_SERVER, IID_IFortune,
                               none.putVoid()),
              REGDB_E_CLASSNOTREG);
}

TEST_F(RegSvr, relativePath_registersTheFullPath)
{
    const std::filesystem::path folder = std::filesystem::path(m_module).parent_path();
    const RunResult registered =
        RunRegSvr("libzrvfort.so", "cd " + Quoted(folder.string()) + " &&");
    ASSERT_EQ(registered.exitCode, 0) << registered.output;
    EXPECT_EQ(zrv::test::ReadString(HKEY_CLASSES_ROOT,
                                    "CLSID\\{095D251D-865B-48EE-B1ED-943A95C46CB7}\\InprocServer32",
                                    nullptr),
              m_module);
    EXPECT_EQ(RunRegSvr("-u " + Quoted(m_module)).exitCode, 0);
}

TEST_F(RegSvr, failures_exitOneWithOneLineAndTheCode)
{
    struct Case {
        const char* what;
        std::string arguments;
        std::string code;
    };
    const Case cases[] = {
        {"no library", "", "0x80070057"},
        {"two libraries", Quoted(m_module) + " " + Quoted(m_module), "0x80070057"},
        {"unknown option", "-x " + Quoted(m_module), "0x80070057"},
        {"missing file", Quoted(m_module + ".missing"), "0x8007007E"},
        {"not a library", Quoted(ZRVREGSVR_PATH), "0x8007007E"},
        {"no entry point", Quoted(ZRVRT_PATH), "0x8007007F"},
        {"no entry point -u", "-u " + Quoted(ZRVRT_PATH), "0x8007007F"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RunResult result = RunRegSvr(c.arguments);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(IsOneLineWithCode(result.output, c.code)) << result.output;
    }
}

TEST_F(RegSvr, machineHiveNotWritable_registersForTheUser)
{
    const std::string machine = zrv::test::MakeTempDir("machine");
    std::filesystem::permissions(machine,
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    const std::string environment = "XDG_CONFIG_DIRS=" + Quoted(machine);
    const RunResult result = RunRegSvr(Quoted(m_module), environment);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const std::string server =
        "Software\\Classes\\CLSID\\{095D251D-865B-48EE-B1ED-943A95C46CB7}\\InprocServer32";
    EXPECT_EQ(zrv::test::ReadString(HKEY_CURRENT_USER, server, nullptr), m_module);
    EXPECT_EQ(RunRegSvr("-u " + Quoted(m_module), environment).exitCode, 0);
    EXPECT_FALSE(zrv::test::KeyExists(HKEY_CURRENT_USER, server));
}

TEST_F(RegSvr, failingRegistration_reportsTheEntryPointsCode)
{
    // Neither hive can be created below a plain file.
    const std::string blocker = zrv::test::MakeTempDir("blocked") + "/file";
    std::ofstream(blocker) << "x";
    const RunResult result =
        RunRegSvr(Quoted(m_module), "XDG_CONFIG_HOME=" + Quoted(blocker + "/user") +
                                        " XDG_CONFIG_DIRS=" + Quoted(blocker + "/machine"));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(IsOneLineWithCode(result.output, "0x8")) << result.output;
    EXPECT_NE(result.output.find("DllRegisterServer"), std::string::npos) << result.output;
}

} // namespace
