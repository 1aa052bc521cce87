// DllRegisterServer and DllUnregisterServer: the entries under
// HKEY_CLASSES_ROOT, read back through the registry functions.

#include "runtime/com/BString.h"
#include "tests/component/CComponentLibrary.h"
#include "tests/component/RegistryProbe.h"
#include "tests/support/TempHome.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

using zrv::test::CComponentLibrary;
using zrv::test::KeyCounts;
using zrv::test::KeyExists;
using zrv::test::ReadString;
using zrv::test::WriteString;

const std::string kClassKey = "CLSID\\{095D251D-865B-48EE-B1ED-943A95C46CB7}";
const std::string kTypeLibKey = "TypeLib\\{18DE8153-F801-4AFF-A750-DBA21FB69108}";

struct Expected {
    std::string key;
    const char* valueName;
    std::string value;
};

std::vector<Expected> ExpectedEntries(const std::string& module)
{
    return {
        {"ZorvaFortune.Fortune.1", nullptr, "Fortune Class"},
        {"ZorvaFortune.Fortune.1\\CLSID", nullptr, "{095D251D-865B-48EE-B1ED-943A95C46CB7}"},
        {"ZorvaFortune.Fortune", nullptr, "Fortune Class"},
        {"ZorvaFortune.Fortune\\CLSID", nullptr, "{095D251D-865B-48EE-B1ED-943A95C46CB7}"},
        {"ZorvaFortune.Fortune\\CurVer", nullptr, "ZorvaFortune.Fortune.1"},
        {kClassKey, nullptr, "Fortune Class"},
        {kClassKey + "\\ProgID", nullptr, "ZorvaFortune.Fortune.1"},
        {kClassKey + "\\VersionIndependentProgID", nullptr, "ZorvaFortune.Fortune"},
        {kClassKey + "\\InprocServer32", nullptr, module},
        {kClassKey + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {kClassKey + "\\TypeLib", nullptr, "{18DE8153-F801-4AFF-A750-DBA21FB69108}"},
    };
}

// A copy of the library in a folder of its own, so each test registers a path
// of its own and the built file is never registered.
class Registration : public testing::Test {
protected:
    void SetUp() override { UseCopyIn("lib"); }

    void UseCopyIn(const std::string& folderName)
    {
        m_library.reset();
        const std::filesystem::path folder =
            std::filesystem::path(zrv::test::MakeTempDir("reg")) / folderName;
        std::filesystem::create_directories(folder);
        m_folder = folder.string();
        m_module = (folder / "libzrvfort.so").string();
        std::filesystem::copy_file(zrv::test::FortuneLibraryPath(), m_module);
        m_library = std::make_unique<CComponentLibrary>(m_module);
        ASSERT_TRUE(m_library->IsLoaded()) << m_library->LoadError();
    }

    void TearDown() override
    {
        if (m_library)
            m_library->UnregisterServer();
    }

    void ExpectRegistered()
    {
        for (const Expected& entry : ExpectedEntries(m_module)) {
            SCOPED_TRACE(entry.key + " " + (entry.valueName ? entry.valueName : "(default)"));
            EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, entry.key, entry.valueName), entry.value);
        }
        // Programmable is a key only.
        EXPECT_EQ(KeyCounts(HKEY_CLASSES_ROOT, kClassKey + "\\Programmable"),
                  std::make_pair(DWORD{0}, DWORD{0}));
        // The class key holds its default value and its five subkeys, nothing else.
        EXPECT_EQ(KeyCounts(HKEY_CLASSES_ROOT, kClassKey), std::make_pair(DWORD{5}, DWORD{1}));
    }

    std::unique_ptr<CComponentLibrary> m_library;
    std::string m_folder;
    std::string m_module;
};

TEST_F(Registration, register_writesExactlyTheEntries)
{
    ASSERT_EQ(m_library->RegisterServer(), S_OK);
    ExpectRegistered();
}

TEST_F(Registration, register_replacesTheClassKeyWhole)
{
    ASSERT_TRUE(WriteString(HKEY_CLASSES_ROOT, kClassKey, "Stale", "old"));
    ASSERT_TRUE(WriteString(HKEY_CLASSES_ROOT, kClassKey + "\\LocalServer32", nullptr, "/old"));
    ASSERT_TRUE(WriteString(HKEY_CLASSES_ROOT, kClassKey + "\\Programmable\\Junk", nullptr, "x"));
    ASSERT_TRUE(WriteString(HKEY_CLASSES_ROOT, kClassKey + "\\InprocServer32", nullptr, "/old"));
    ASSERT_EQ(m_library->RegisterServer(), S_OK);
    ExpectRegistered();
    EXPECT_FALSE(ReadString(HKEY_CLASSES_ROOT, kClassKey, "Stale"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey + "\\LocalServer32"));
}

TEST_F(Registration, unregister_removesWhatRegisterWrote_keepsTheClsidKey)
{
    const std::string otherClass = "CLSID\\{12345678-1234-5678-0102-030405060708}";
    ASSERT_TRUE(WriteString(HKEY_CLASSES_ROOT, otherClass, nullptr, "Other Class"));
    ASSERT_EQ(m_library->RegisterServer(), S_OK);
    ASSERT_EQ(m_library->UnregisterServer(), S_OK);

    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "ZorvaFortune.Fortune.1"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "ZorvaFortune.Fortune"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kTypeLibKey + "\\1.0"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID"));
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, otherClass, nullptr), "Other Class");
    // Nothing left to remove is no failure.
    EXPECT_EQ(m_library->UnregisterServer(), S_OK);
}

TEST_F(Registration, typeLibrary_registeredFromTheLibraryFile)
{
    ASSERT_EQ(m_library->RegisterServer(), S_OK);
    BString path;
    ASSERT_EQ(QueryPathOfRegTypeLib(LIBID_ZRVFORTLib, 1, 0, LANG_NEUTRAL, path.put()), S_OK);
    EXPECT_EQ(path.view(), std::u16string(m_module.begin(), m_module.end()));
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kTypeLibKey + "\\1.0", nullptr),
              "zrvfort 1.0 Type Library");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kTypeLibKey + "\\1.0\\HELPDIR", nullptr), m_folder);
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "Interface\\{4C69AC80-465B-4A11-B67C-0A0FFE365365}"));

    ComPtr<ITypeLib> lib;
    ASSERT_EQ(LoadRegTypeLib(LIBID_ZRVFORTLib, 1, 0, LANG_NEUTRAL, lib.put()), S_OK);
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(lib->GetTypeInfoOfGuid(IID_IFortune, info.put()), S_OK);
}

TEST_F(Registration, moduleWithQuoteInItsPath_isRegisteredAsItIs)
{
    UseCopyIn("it's mine");
    ASSERT_EQ(m_library->RegisterServer(), S_OK);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kClassKey + "\\InprocServer32", nullptr), m_module);
    ExpectRegistered();
}

} // namespace
