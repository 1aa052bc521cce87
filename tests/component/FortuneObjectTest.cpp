// Creation, reference counting, interfaces and aggregation of the Fortune
// class, called through the library's entry points and v-tables only.

#include "tests/component/CComponentLibrary.h"
#include "tests/support/TempHome.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

using zrv::test::CComponentLibrary;
using zrv::test::FortuneLibrary;

constexpr CLSID kOtherClass = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};

class FortuneObject : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FortuneLibrary().IsLoaded()) << FortuneLibrary().LoadError();
        ASSERT_EQ(FortuneLibrary().CanUnloadNow(), S_OK) << "an earlier test leaked an object";
    }
    void TearDown() override { EXPECT_EQ(FortuneLibrary().CanUnloadNow(), S_OK); }
};

TEST_F(FortuneObject, getClassObject_answersOnlyTheFortuneClass)
{
    void* factory = reinterpret_cast<void*>(1);
    EXPECT_EQ(FortuneLibrary().GetClassObject(kOtherClass, IID_IClassFactory, &factory),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(factory, nullptr);
    EXPECT_EQ(FortuneLibrary().GetClassObject(CLSID_Fortune, IID_IClassFactory, nullptr),
              E_POINTER);
    EXPECT_EQ(FortuneLibrary().GetClassObject(CLSID_Fortune, IID_IFortune, &factory),
              E_NOINTERFACE);
    EXPECT_EQ(factory, nullptr);
}

TEST_F(FortuneObject, getClassObject_givesTheOneFactory)
{
    ComPtr<IClassFactory> first;
    ComPtr<IUnknown> second;
    ASSERT_EQ(FortuneLibrary().GetClassObject(CLSID_Fortune, IID_IClassFactory, first.putVoid()),
              S_OK);
    ASSERT_EQ(FortuneLibrary().GetClassObject(CLSID_Fortune, IID_IUnknown, second.putVoid()), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(first.get()), second.get());
    // Holding the factory alone does not keep the library.
    EXPECT_EQ(FortuneLibrary().CanUnloadNow(), S_OK);
}

TEST_F(FortuneObject, liveObjectsAndLocks_keepTheLibraryLoaded)
{
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(FortuneLibrary().GetClassObject(CLSID_Fortune, IID_IClassFactory, factory.putVoid()),
              S_OK);
    ComPtr<IFortune> first;
    ComPtr<IFortune> second;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IFortune, first.putVoid()), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IFortune, second.putVoid()), S_OK);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(FortuneLibrary().CanUnloadNow(), S_FALSE);
    first.reset();
    EXPECT_EQ(FortuneLibrary().CanUnloadNow(), S_FALSE);
    second.reset();
    EXPECT_EQ(FortuneLibrary().CanUnloadNow(), S_OK);

    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(FortuneLibrary().CanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(FortuneLibrary().CanUnloadNow(), S_OK);
}

TEST_F(FortuneObject, referenceCount_countsEveryInterface)
{
    IFortune* fortune = FortuneLibrary().CreateFortune().detach();
    ASSERT_NE(fortune, nullptr);
    EXPECT_EQ(fortune->AddRef(), 2u);
    ISupportErrorInfo* support = nullptr;
    ASSERT_EQ(fortune->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)),
              S_OK);
    EXPECT_EQ(support->AddRef(), 4u);
    EXPECT_EQ(support->Release(), 3u);
    EXPECT_EQ(support->Release(), 2u);
    EXPECT_EQ(fortune->Release(), 1u);
    EXPECT_EQ(FortuneLibrary().CanUnloadNow(), S_FALSE);
    EXPECT_EQ(fortune->Release(), 0u);
}

TEST_F(FortuneObject, queryInterface_answersItsInterfacesWithOneIdentity)
{
    const ComPtr<IFortune> fortune = FortuneLibrary().CreateFortune();
    ASSERT_TRUE(fortune);
    ComPtr<IUnknown> identity;
    ASSERT_EQ(fortune->QueryInterface(IID_IUnknown, identity.putVoid()), S_OK);

    for (const IID& iid : {IID_IUnknown, IID_IDispatch, IID_IFortune, IID_ISupportErrorInfo}) {
        ComPtr<IUnknown> answer;
        ASSERT_EQ(fortune->QueryInterface(iid, answer.putVoid()), S_OK);
        ComPtr<IUnknown> back;
        ASSERT_EQ(answer->QueryInterface(IID_IUnknown, back.putVoid()), S_OK);
        EXPECT_EQ(back.get(), identity.get());
    }
    ComPtr<IDispatch> dispatch;
    fortune.queryInterface(IID_IDispatch, dispatch);
    EXPECT_EQ(static_cast<IDispatch*>(fortune.get()), dispatch.get());

    for (const IID& iid : {IID_IClassFactory, IID_IErrorInfo, IID_ITypeInfo, kOtherClass}) {
        void* answer = reinterpret_cast<void*>(1);
        EXPECT_EQ(fortune->QueryInterface(iid, &answer), E_NOINTERFACE);
        EXPECT_EQ(answer, nullptr);
    }
    EXPECT_EQ(fortune->QueryInterface(IID_IFortune, nullptr), E_POINTER);
}

TEST_F(FortuneObject, supportErrorInfo_onlyForIFortune)
{
    const ComPtr<IFortune> fortune = FortuneLibrary().CreateFortune();
    ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(fortune.queryInterface(IID_ISupportErrorInfo, support), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IFortune), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IUnknown), S_FALSE);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(kOtherClass), S_FALSE);
}

// An outer object that aggregates a Fortune and exposes its IFortune.
class COuter final : public IUnknown {
public:
    HRESULT QueryInterface(const GUID& iid, void** ppv) override
    {
        if (iid == IID_IUnknown) {
            *ppv = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(iid, ppv) : E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }

    ULONG refs = 1;
    ComPtr<IUnknown> inner;
};

TEST_F(FortuneObject, aggregated_delegatesIUnknownToTheOuter)
{
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(FortuneLibrary().GetClassObject(CLSID_Fortune, IID_IClassFactory, factory.putVoid()),
              S_OK);
    COuter outer;
    void* refused = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(&outer, IID_IFortune, &refused), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(FortuneLibrary().CanUnloadNow(), S_OK);

    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, outer.inner.putVoid()), S_OK);
    ASSERT_NE(static_cast<IUnknown*>(&outer), outer.inner.get());
    EXPECT_EQ(outer.refs, 1u);

    IFortune* fortune = nullptr;
    ASSERT_EQ(outer.QueryInterface(IID_IFortune, reinterpret_cast<void**>(&fortune)), S_OK);
    EXPECT_EQ(outer.refs, 2u);
    IUnknown* identity = nullptr;
    ASSERT_EQ(fortune->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
    EXPECT_EQ(outer.refs, 3u);
    identity->Release();
    LONG count = -1;
    EXPECT_EQ(fortune->Count(&count), S_OK);
    EXPECT_EQ(count, 0);
    fortune->Release();
    EXPECT_EQ(outer.refs, 1u);

    EXPECT_EQ(FortuneLibrary().CanUnloadNow(), S_FALSE);
    outer.inner.reset();
    EXPECT_EQ(FortuneLibrary().CanUnloadNow(), S_OK);
}

// A private copy of the library has its own module state: a fresh, not yet
// created factory and a count of its own.
TEST(FortuneModule, concurrentCreation_makesOneFactoryAndBalancesTheCount)
{
    const std::filesystem::path copy =
        std::filesystem::path(zrv::test::MakeTempDir("module")) / "libzrvfort-copy.so";
    std::filesystem::copy_file(zrv::test::FortuneLibraryPath(), copy);
    const CComponentLibrary library(copy.string());
    ASSERT_TRUE(library.IsLoaded()) << library.LoadError();

    constexpr int kThreads = 8;
    constexpr int kObjects = 200;
    std::vector<IUnknown*> factories(kThreads, nullptr);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&library, &factories, t] {
            ComPtr<IClassFactory> factory;
            if (library.GetClassObject(CLSID_Fortune, IID_IClassFactory, factory.putVoid()) != S_OK)
                return;
            factories[t] = factory.get();
            std::vector<ComPtr<IUnknown>> objects(kObjects);
            for (auto& object : objects)
                factory->CreateInstance(nullptr, IID_IUnknown, object.putVoid());
        });
    }
    for (auto& thread : threads)
        thread.join();
    for (IUnknown* factory : factories) {
        ASSERT_NE(factory, nullptr);
        EXPECT_EQ(factory, factories.front());
    }
    EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

} // namespace
