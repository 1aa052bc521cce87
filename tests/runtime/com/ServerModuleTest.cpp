// The server skeleton of the component libraries: module counts, class
// factory, DllGetClassObject's checks, and failures caught as exceptions.

#include "runtime/com/BString.h"
#include "runtime/com/CaughtFailure.h"
#include "runtime/com/CServerModule.h"
#include "runtime/com/CUnknown.h"
#include "runtime/com/ServerRegistration.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>
#include <string>

namespace {

constexpr CLSID kClassId = {0x6A1B2C3D, 0x1111, 0x4222, {0x83, 0x33, 0, 1, 2, 3, 4, 5}};
constexpr CLSID kOtherId = {0x6A1B2C3D, 0x1111, 0x4222, {0x83, 0x33, 0, 1, 2, 3, 4, 6}};

class TestModule final : public zrv::com::CServerModule<TestModule> {
private:
    friend CServerModule;
    TestModule() = default;
    ~TestModule() = default;
};

int g_liveObjects = 0;

class Object final : public zrv::com::CUnknown<Object, zrv::com::Face<IUnknown, IID_IUnknown>> {
public:
    static HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** ppv)
    {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        const ComPtr<IUnknown> object = ComPtr<IUnknown>::attach(new Object);
        return object->QueryInterface(iid, ppv);
    }

private:
    friend CUnknown;
    Object() { ++g_liveObjects; }
    ~Object() { --g_liveObjects; }

    zrv::com::CModuleLock<TestModule> m_moduleLock;
};

HRESULT GetClassObject(const CLSID* clsid, const IID* iid, void** ppv)
{
    return TestModule::Instance().GetClassObject<Object>(kClassId, clsid, iid, ppv);
}

ComPtr<IClassFactory> Factory()
{
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(GetClassObject(&kClassId, &IID_IClassFactory, factory.putVoid()), S_OK);
    return factory;
}

TEST(ServerModule, getClassObject_checksItsArguments)
{
    void* out = &out;
    EXPECT_EQ(GetClassObject(&kClassId, &IID_IClassFactory, nullptr), E_POINTER);
    EXPECT_EQ(GetClassObject(nullptr, &IID_IClassFactory, &out), E_INVALIDARG);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(GetClassObject(&kClassId, nullptr, &out), E_INVALIDARG);
    EXPECT_EQ(GetClassObject(&kOtherId, &IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(GetClassObject(&kClassId, &IID_IDispatch, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
}

TEST(ServerModule, oneFactory_isHandedOutWhileTheModuleLives)
{
    const ComPtr<IClassFactory> first = Factory();
    ComPtr<IUnknown> second;
    EXPECT_EQ(GetClassObject(&kClassId, &IID_IUnknown, second.putVoid()), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(first.get()), second.get());
}

TEST(ServerModule, objectsAndServerLocks_keepTheLibraryLoaded)
{
    TestModule& module = TestModule::Instance();
    const ComPtr<IClassFactory> factory = Factory();
    EXPECT_EQ(module.CanUnloadNow(), S_OK); // the factory alone holds no lock
    {
        ComPtr<IUnknown> object;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, object.putVoid()), S_OK);
        EXPECT_EQ(g_liveObjects, 1);
        EXPECT_EQ(module.LockCount(), 1);
        EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
    }
    EXPECT_EQ(g_liveObjects, 0); // one reference from creation, none leaked
    EXPECT_EQ(module.CanUnloadNow(), S_OK);

    EXPECT_EQ(factory->LockServer(1), S_OK);
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->LockServer(0), S_OK);
    EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

TEST(ServerModule, refusedCreation_leavesNoObjectAndNoLock)
{
    const ComPtr<IClassFactory> factory = Factory();
    void* out = &out;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(g_liveObjects, 0);
    EXPECT_EQ(TestModule::Instance().LockCount(), 0);
}

TEST(ServerModule, filePath_isTheLoadedFileOfTheCode)
{
    const std::string path = TestModule::FilePath();
    EXPECT_FALSE(path.empty());
    EXPECT_NE(path.find("ServerModuleTest"), std::string::npos) << path;
}

std::u16string ErrorDescription()
{
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK)
        return u"<none>";
    BString text;
    info->GetDescription(text.put());
    return std::u16string(text.view());
}

TEST(CaughtFailure, eachKindOfException_givesItsResultAndMessage)
{
    struct Case {
        const char* name;
        std::function<void()> raise;
        HRESULT result;
        std::u16string description;
    };
    const Case cases[] = {
        {"bad_alloc", [] { throw std::bad_alloc(); }, E_OUTOFMEMORY, u"<none>"},
        {"invalid_argument", [] { throw std::invalid_argument("bad name"); }, E_INVALIDARG,
         u"bad name"},
        {"length_error", [] { throw std::length_error("too long"); }, E_INVALIDARG, u"too long"},
        {"runtime_error", [] { throw std::runtime_error("disk gone \xC3\xA9"); }, E_FAIL,
         u"disk gone ??"},
        {"not std", [] { throw 42; }, E_UNEXPECTED, u"Unknown error"},
    };
    for (const Case& c : cases) {
        SetErrorInfo(0, nullptr);
        HRESULT hr = S_OK;
        try {
            c.raise();
        } catch (...) {
            hr = zrv::com::CaughtFailure(IID_IDispatch, u"test");
        }
        EXPECT_EQ(hr, c.result) << c.name;
        EXPECT_EQ(ErrorDescription(), c.description) << c.name;
    }
}

std::optional<std::string> ReadValue(const char* key, const char* valueName = nullptr)
{
    zrv::reg::CRegKey opened;
    if (opened.open(HKEY_LOCAL_MACHINE, key) != ERROR_SUCCESS)
        return std::nullopt;
    char buffer[256];
    DWORD size = sizeof buffer;
    DWORD type = 0;
    if (RegQueryValueExA(opened.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ || size == 0)
        return std::string("<no value>");
    return std::string(buffer, size - 1);
}

TEST(ServerRegistration, entries_replaceTheirKeysAndNameTheModule)
{
    using zrv::com::RegEntry;
    const RegEntry stale[] = {{"Test\\Class\\Stale", nullptr, "old"}};
    ASSERT_EQ(zrv::com::WriteRegEntries(HKEY_LOCAL_MACHINE, {}, stale, "unused"), S_OK);
    const char* const replaced[] = {"Test\\Class", "Test\\Missing"};
    const RegEntry entries[] = {
        {"Test\\Class", nullptr, "Class"},
        {"Test\\Class\\Server", nullptr, zrv::com::kModulePath},
        {"Test\\Class\\Server", "ThreadingModel", "Apartment"},
        {"Test\\Class\\Marker", nullptr, nullptr},
    };
    ASSERT_EQ(zrv::com::WriteRegEntries(HKEY_LOCAL_MACHINE, replaced, entries, "/lib/x.so"), S_OK);
    EXPECT_EQ(ReadValue("Test\\Class\\Stale"), std::nullopt);
    EXPECT_EQ(ReadValue("Test\\Class"), "Class");
    EXPECT_EQ(ReadValue("Test\\Class\\Server"), "/lib/x.so");
    EXPECT_EQ(ReadValue("Test\\Class\\Server", "ThreadingModel"), "Apartment");
    EXPECT_EQ(ReadValue("Test\\Class\\Marker"), "<no value>");

    const char* const owned[] = {"Test\\Class", "Test\\Missing"};
    zrv::com::DeleteRegTrees(HKEY_LOCAL_MACHINE, owned);
    EXPECT_EQ(ReadValue("Test\\Class"), std::nullopt);
    EXPECT_NE(ReadValue("Test"), std::nullopt); // only the named trees go
}

} // namespace
