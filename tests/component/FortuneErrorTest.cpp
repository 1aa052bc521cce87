// The failure path: an exception escaping the engine becomes
// DISP_E_EXCEPTION with "Unknown error" as the thread's error information.
// Runs a build of the component whose engine fails on request.

#include "runtime/com/BString.h"
#include "tests/component/CComponentLibrary.h"
#include "tests/support/TempHome.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace {

using zrv::test::CComponentLibrary;

const CComponentLibrary& Library()
{
    static const CComponentLibrary library(zrv::test::FaultyFortuneLibraryPath());
    return library;
}

using FailFn = void (*)(const char*);

// Makes the named engine operation throw for as long as it lives.
class Fault final {
public:
    explicit Fault(const char* operation)
        : m_fail(reinterpret_cast<FailFn>(Library().Symbol("ZrvFortFailOperation")))
    {
        if (m_fail)
            m_fail(operation);
    }
    ~Fault()
    {
        if (m_fail)
            m_fail(nullptr);
    }
    Fault(const Fault&) = delete;
    Fault& operator=(const Fault&) = delete;

    bool IsSet() const { return m_fail != nullptr; }

private:
    FailFn m_fail;
};

struct ThreadError {
    bool present = false;
    std::u16string description;
    std::u16string source;
    GUID guid{};
    std::u16string helpFile;
    DWORD helpContext = 0;
};

ThreadError TakeErrorInfo()
{
    ThreadError error;
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info)
        return error;
    error.present = true;
    BString text;
    info->GetDescription(text.put());
    error.description = text.view();
    info->GetSource(text.put());
    error.source = text.view();
    info->GetHelpFile(text.put());
    error.helpFile = text.view();
    info->GetGUID(&error.guid);
    info->GetHelpContext(&error.helpContext);
    return error;
}

BSTR const kUntouched = reinterpret_cast<BSTR>(0x1);

// One member and the engine operation whose failure it must report.
struct MemberCase {
    const char* name;
    const char* engineOperation;
    std::function<HRESULT(IFortune&)> call;
};

std::vector<MemberCase> MemberCases()
{
    static BString text(u"text");
    return {
        {"Load", "Load", [](IFortune& f) { return f.Load(text.get()); }},
        {"Count", "Count",
         [](IFortune& f) {
             LONG count = 12345;
             const HRESULT hr = f.Count(&count);
             return count == 12345 ? hr : E_UNEXPECTED;
         }},
        {"Add", "Add", [](IFortune& f) { return f.Add(text.get()); }},
        {"get_Item", "Item",
         [](IFortune& f) {
             BSTR out = kUntouched;
             const HRESULT hr = f.get_Item(1, &out);
             return out == kUntouched ? hr : E_UNEXPECTED;
         }},
        {"put_Item", "SetItem", [](IFortune& f) { return f.put_Item(1, text.get()); }},
        {"Delete", "Delete", [](IFortune& f) { return f.Delete(1); }},
        {"Create", "Create", [](IFortune& f) { return f.Create(text.get()); }},
        {"Rename", "Rename", [](IFortune& f) { return f.Rename(text.get()); }},
        {"Name", "Name",
         [](IFortune& f) {
             BSTR out = kUntouched;
             const HRESULT hr = f.Name(&out);
             return out == kUntouched ? hr : E_UNEXPECTED;
         }},
        {"get_Header", "Header",
         [](IFortune& f) {
             BSTR out = kUntouched;
             const HRESULT hr = f.get_Header(&out);
             return out == kUntouched ? hr : E_UNEXPECTED;
         }},
        {"put_Header", "SetHeader", [](IFortune& f) { return f.put_Header(text.get()); }},
    };
}

class FortuneErrors : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Library().IsLoaded()) << Library().LoadError();
        m_fortune = Library().CreateFortune();
        ASSERT_TRUE(m_fortune);
        TakeErrorInfo(); // start with none
    }
    void TearDown() override { m_fortune.reset(); }

    // Every member fails as its engine operation fails; nothing is left set
    // in an out-parameter, and the thread's error information tells the story.
    void ExpectEveryMemberReports(const std::u16string& source)
    {
        for (const MemberCase& member : MemberCases()) {
            SCOPED_TRACE(member.name);
            const Fault fault(member.engineOperation);
            ASSERT_TRUE(fault.IsSet());
            EXPECT_EQ(member.call(*m_fortune.get()), DISP_E_EXCEPTION);
            const ThreadError error = TakeErrorInfo();
            ASSERT_TRUE(error.present);
            EXPECT_EQ(error.description, u"Unknown error");
            EXPECT_EQ(error.source, source);
            EXPECT_TRUE(error.guid == GUID_NULL);
            EXPECT_EQ(error.helpFile, u"");
            EXPECT_EQ(error.helpContext, 0u);
        }
    }

    ComPtr<IFortune> m_fortune;
};

TEST_F(FortuneErrors, engineException_unregistered_reportsWithoutSource)
{
    ExpectEveryMemberReports(u"");
}

TEST_F(FortuneErrors, engineException_registered_namesTheProgIdAsSource)
{
    ASSERT_EQ(Library().RegisterServer(), S_OK);
    ExpectEveryMemberReports(u"ZorvaFortune.Fortune.1");
    EXPECT_EQ(Library().UnregisterServer(), S_OK);
}

TEST_F(FortuneErrors, afterTheFault_theObjectWorksAgain)
{
    const std::string file = zrv::test::MakeTempDir("archives") + "/Proverbs";
    const std::u16string wide(file.begin(), file.end());
    ASSERT_EQ(m_fortune->Create(BString(wide).get()), S_OK);
    ASSERT_EQ(m_fortune->Add(BString(u"one").get()), S_OK);
    {
        const Fault fault("Add");
        EXPECT_EQ(m_fortune->Add(BString(u"two").get()), DISP_E_EXCEPTION);
        EXPECT_TRUE(TakeErrorInfo().present);
    }
    LONG count = 0;
    EXPECT_EQ(m_fortune->Count(&count), S_OK);
    EXPECT_EQ(count, 1);
    EXPECT_FALSE(TakeErrorInfo().present) << "success leaves no new error information";
    EXPECT_EQ(m_fortune->Add(BString(u"two").get()), S_OK);
    EXPECT_EQ(m_fortune->Count(&count), S_OK);
    EXPECT_EQ(count, 2);
}

TEST_F(FortuneErrors, lateBoundFailure_isAnException)
{
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(m_fortune.queryInterface(IID_IDispatch, dispatch), S_OK);
    const Fault fault("Count");
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    UINT argErr = 0;
    EXPECT_EQ(
        dispatch->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &none, &result, &exception, &argErr),
        DISP_E_EXCEPTION);
    EXPECT_EQ(result.vt, VT_EMPTY);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    TakeErrorInfo();
}

} // namespace
