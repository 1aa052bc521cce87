// DllRegisterServer and DllUnregisterServer: exactly these entries, and
// nothing left behind.

#include "tests/component/RegistryProbe.h"
#include "tests/sheet/server/SheetCaller.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

using Dump = std::map<std::string, std::string>;

const std::string kClasses = "Software\\Classes\\";
const std::string kClassKey = kClasses + "CLSID\\{EABFD427-9ED5-4BC0-BAB3-281356F4FDA8}";

Dump ExpectedEntries(const std::string& module)
{
    const std::string clsid = "{EABFD427-9ED5-4BC0-BAB3-281356F4FDA8}";
    const std::string name = "Zorva Sheet Application";
    return {
        {kClasses + "Excel.Application", "(key)"},
        {kClasses + "Excel.Application|", name},
        {kClasses + "Excel.Application\\CLSID", "(key)"},
        {kClasses + "Excel.Application\\CLSID|", clsid},
        {kClasses + "Excel.Application\\CurVer", "(key)"},
        {kClasses + "Excel.Application\\CurVer|", "Excel.Application.8"},
        {kClasses + "Excel.Application.8", "(key)"},
        {kClasses + "Excel.Application.8|", name},
        {kClasses + "Excel.Application.8\\CLSID", "(key)"},
        {kClasses + "Excel.Application.8\\CLSID|", clsid},
        {kClassKey, "(key)"},
        {kClassKey + "|", name},
        {kClassKey + "\\ProgID", "(key)"},
        {kClassKey + "\\ProgID|", "Excel.Application.8"},
        {kClassKey + "\\VersionIndependentProgID", "(key)"},
        {kClassKey + "\\VersionIndependentProgID|", "Excel.Application"},
        {kClassKey + "\\InprocServer32", "(key)"},
        {kClassKey + "\\InprocServer32|", module},
        {kClassKey + "\\InprocServer32|ThreadingModel", "Apartment"},
        {kClasses + ".xls", "(key)"},
        {kClasses + ".xls|", "Excel.Sheet.8"},
        {kClasses + "Excel.Sheet.8", "(key)"},
        {kClasses + "Excel.Sheet.8|", "Zorva Sheet Workbook"},
    };
}

class Registration : public testing::Test {
protected:
    void SetUp() override
    {
        m_library = dlopen(zrv::test::SheetLibraryPath().c_str(), RTLD_NOW);
        ASSERT_NE(m_library, nullptr) << dlerror();
    }
    void TearDown() override { dlclose(m_library); }

    HRESULT Run(const char* entry)
    {
        return reinterpret_cast<HRESULT (*)()>(dlsym(m_library, entry))();
    }

    void* m_library = nullptr;
};

TEST_F(Registration, writesExactlyItsEntries_underMachineClasses_andRemovesThemAll)
{
    // Something else already keeps a value under .xls: it survives.
    ASSERT_TRUE(zrv::test::WriteString(HKEY_LOCAL_MACHINE, kClasses + ".xls", "Content Type",
                                       "application/vnd.ms-excel"));
    const Dump before = zrv::test::DumpRoot(HKEY_LOCAL_MACHINE);
    const Dump userBefore = zrv::test::DumpRoot(HKEY_CURRENT_USER);

    ASSERT_EQ(Run("DllRegisterServer"), S_OK);
    Dump added;
    for (const auto& [key, value] : zrv::test::DumpRoot(HKEY_LOCAL_MACHINE)) {
        const auto old = before.find(key);
        if (old == before.end() || old->second != value)
            added[key] = value;
    }
    Dump expected = ExpectedEntries(zrv::test::SheetLibraryPath());
    expected.erase(kClasses + ".xls"); // the key was there before
    expected[kClasses + "CLSID"] = "(key)";
    EXPECT_EQ(added, expected);
    EXPECT_EQ(zrv::test::DumpRoot(HKEY_CURRENT_USER), userBefore);

    // Registering again changes nothing; the class is found by its ProgID.
    ASSERT_EQ(Run("DllRegisterServer"), S_OK);
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(u"Excel.Application", &clsid), S_OK);
    EXPECT_EQ(clsid.Data1, 0xEABFD427u);

    EXPECT_EQ(Run("DllUnregisterServer"), S_OK);
    EXPECT_EQ(zrv::test::DumpRoot(HKEY_LOCAL_MACHINE), before);
    EXPECT_EQ(zrv::test::DumpRoot(HKEY_CURRENT_USER), userBefore);
}

TEST_F(Registration, unregistering_leavesProgIdsOfAnotherServerAlone)
{
    ASSERT_EQ(Run("DllRegisterServer"), S_OK);
    const std::string other = "{00024500-0000-0000-C000-000000000046}";
    ASSERT_TRUE(zrv::test::WriteString(HKEY_LOCAL_MACHINE, kClasses + "Excel.Application\\CLSID",
                                       nullptr, other));
    ASSERT_TRUE(
        zrv::test::WriteString(HKEY_LOCAL_MACHINE, kClasses + ".xls", nullptr, "Other.Sheet"));
    EXPECT_EQ(Run("DllUnregisterServer"), S_OK);
    const Dump after = zrv::test::DumpRoot(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(after.at(kClasses + "Excel.Application\\CLSID|"), other);
    EXPECT_EQ(after.at(kClasses + ".xls|"), "Other.Sheet");
    EXPECT_FALSE(after.contains(kClassKey));
    EXPECT_FALSE(after.contains(kClasses + "Excel.Application.8"));
}

} // namespace
