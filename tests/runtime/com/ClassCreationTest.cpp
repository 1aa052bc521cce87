#include "runtime/com/BString.h"
#include "runtime/com/ComPtr.h"
#include "runtime/registry/WinReg.h"
#include "tests/runtime/com/server/CalcServer.h"
#include "tests/support/TempHome.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

constexpr CLSID CLSID_Elsewhere = {
    0x5A1E0C09, 0x2B3C, 0x4D5E, {0x8F, 0x90, 0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0x09}};
constexpr const char* kCalcKey = "CLSID\\{5A1E0C02-2B3C-4D5E-8F90-A1B2C3D4E502}";
constexpr const char* kElsewhereKey = "CLSID\\{5A1E0C09-2B3C-4D5E-8F90-A1B2C3D4E509}";

void SetDefault(const std::string& path, const std::string& value)
{
    HKEY key = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void RegisterServer(const char* classKey, const std::string& path)
{
    SetDefault(std::string(classKey) + "\\InprocServer32", path);
}

void DeleteClassKey(const char* classKey)
{
    RegDeleteTreeA(HKEY_CLASSES_ROOT, classKey);
    HKEY clsid = 0;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_ALL_ACCESS, &clsid) == ERROR_SUCCESS) {
        RegDeleteKeyA(clsid, std::string(classKey).substr(6).c_str());
        RegCloseKey(clsid);
    }
}

LONG CountOf(ICalc* calc)
{
    LONG count = -1;
    return calc && calc->Count(&count) == S_OK ? count : -1;
}

class ClassCreation : public testing::Test {
protected:
    void TearDown() override
    {
        DeleteClassKey(kCalcKey);
        DeleteClassKey(kElsewhereKey);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "ZrvTest.Calc");
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "ZrvTest.Calc");
    }
};

TEST_F(ClassCreation, registeredClass_isCreatedFromItsLibrary)
{
    RegisterServer(kCalcKey, CALC_SERVER_PATH);
    ComPtr<ICalc> calc;
    ASSERT_EQ(
        CoCreateInstance(CLSID_Calc, nullptr, CLSCTX_INPROC_SERVER, IID_ICalc, calc.putVoid()),
        S_OK);
    EXPECT_EQ(CountOf(calc.get()), 3);

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(
        CoGetClassObject(CLSID_Calc, CLSCTX_ALL, nullptr, IID_IClassFactory, factory.putVoid()),
        S_OK);
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, unknown.putVoid()), S_OK);
    ComPtr<ICalc> second;
    EXPECT_EQ(unknown.queryInterface(IID_ICalc, second), S_OK);
    EXPECT_NE(second.get(), calc.get());
}

TEST_F(ClassCreation, progId_resolvesBothWays)
{
    RegisterServer(kCalcKey, CALC_SERVER_PATH);
    SetDefault(std::string(kCalcKey) + "\\ProgID", "ZrvTest.Calc.1");
    SetDefault("ZrvTest.Calc\\CLSID", "{5A1E0C02-2B3C-4D5E-8F90-A1B2C3D4E502}");

    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(u"ZrvTest.Calc", &clsid), S_OK);
    EXPECT_TRUE(clsid == CLSID_Calc);
    CLSID viaString{};
    ASSERT_EQ(CLSIDFromString(u"zrvtest.calc", &viaString), S_OK);
    EXPECT_TRUE(viaString == CLSID_Calc);
    ComPtr<ICalc> calc;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ICalc, calc.putVoid()),
              S_OK);

    LPOLESTR progId = nullptr;
    ASSERT_EQ(ProgIDFromCLSID(CLSID_Calc, &progId), S_OK);
    EXPECT_EQ(std::u16string(progId), u"ZrvTest.Calc.1");
    CoTaskMemFree(progId);
}

TEST_F(ClassCreation, unregisteredClassOrName_isReported)
{
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_Calc, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(p, nullptr);
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(u"ZrvTest.Calc", &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(CLSIDFromProgID(u"", &clsid), CO_E_CLASSSTRING);
    LPOLESTR progId = nullptr;
    EXPECT_EQ(ProgIDFromCLSID(CLSID_Calc, &progId), REGDB_E_CLASSNOTREG);

    // A class key without a server is not registered either.
    SetDefault(kCalcKey, "Calc Class");
    EXPECT_EQ(CoGetClassObject(CLSID_Calc, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, &p),
              REGDB_E_CLASSNOTREG);
    // Only in-process servers exist here.
    RegisterServer(kCalcKey, CALC_SERVER_PATH);
    EXPECT_EQ(CoCreateInstance(CLSID_Calc, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, &p),
              REGDB_E_CLASSNOTREG);
}

TEST_F(ClassCreation, serverThatDoesNotLoad_failsCleanly)
{
    const std::string dir = zrv::test::MakeTempDir("servers");
    void* p = nullptr;

    RegisterServer(kElsewhereKey, dir + "/missing.so");
    EXPECT_EQ(CoCreateInstance(CLSID_Elsewhere, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p),
              CO_E_DLLNOTFOUND);

    const std::string text = dir + "/text.so";
    std::ofstream(text) << "not a shared object\n";
    RegisterServer(kElsewhereKey, text);
    EXPECT_EQ(CoCreateInstance(CLSID_Elsewhere, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p),
              CO_E_DLLNOTFOUND);

    RegisterServer(kElsewhereKey, ZRVRT_PATH);
    EXPECT_EQ(CoCreateInstance(CLSID_Elsewhere, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p),
              CO_E_ERRORINDLL);

    // A server that loads but does not know the class says so.
    RegisterServer(kElsewhereKey, CALC_SERVER_PATH);
    EXPECT_EQ(CoCreateInstance(CLSID_Elsewhere, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(p, nullptr);
}

TEST_F(ClassCreation, loadedServer_staysLoadedAfterItsFileGoes)
{
    const std::string dir = zrv::test::MakeTempDir("servers");
    const std::string copy = dir + "/calc-copy.so";
    std::filesystem::copy_file(CALC_SERVER_PATH, copy);
    RegisterServer(kCalcKey, copy);

    ComPtr<ICalc> first;
    ASSERT_EQ(
        CoCreateInstance(CLSID_Calc, nullptr, CLSCTX_INPROC_SERVER, IID_ICalc, first.putVoid()),
        S_OK);
    first.reset();
    std::filesystem::remove(copy);
    ComPtr<ICalc> second;
    ASSERT_EQ(
        CoCreateInstance(CLSID_Calc, nullptr, CLSCTX_INPROC_SERVER, IID_ICalc, second.putVoid()),
        S_OK);
    EXPECT_EQ(CountOf(second.get()), 3);
}

} // namespace
