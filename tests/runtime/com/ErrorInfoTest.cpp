#include "runtime/com/BString.h"
#include "runtime/com/ComPtr.h"
#include "runtime/com/OleAuto.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace {

ComPtr<IErrorInfo> MakeError(const char16_t* description, const char16_t* source)
{
    ComPtr<ICreateErrorInfo> create;
    if (CreateErrorInfo(create.put()) != S_OK)
        return {};
    create->SetDescription(const_cast<LPOLESTR>(description));
    create->SetSource(const_cast<LPOLESTR>(source));
    ComPtr<IErrorInfo> info;
    create.queryInterface(IID_IErrorInfo, info);
    return info;
}

std::u16string DescriptionOf(IErrorInfo* info)
{
    BString text;
    if (!info || info->GetDescription(text.put()) != S_OK)
        return u"<none>";
    return std::u16string(text.view());
}

TEST(ErrorInfo, createdObject_keepsWhatWasSet)
{
    ComPtr<ICreateErrorInfo> create;
    ASSERT_EQ(CreateErrorInfo(create.put()), S_OK);
    const GUID iid = IID_IDispatch;
    create->SetGUID(iid);
    create->SetDescription(const_cast<LPOLESTR>(u"Unknown error"));
    create->SetSource(const_cast<LPOLESTR>(u"ZorvaFortune.Fortune.1"));
    create->SetHelpFile(nullptr);
    create->SetHelpContext(7);

    ComPtr<IErrorInfo> info;
    ASSERT_EQ(create.queryInterface(IID_IErrorInfo, info), S_OK);
    GUID guid{};
    info->GetGUID(&guid);
    EXPECT_TRUE(guid == iid);
    BString source;
    info->GetSource(source.put());
    EXPECT_EQ(source.view(), u"ZorvaFortune.Fortune.1");
    EXPECT_EQ(DescriptionOf(info.get()), u"Unknown error");
    BString helpFile;
    info->GetHelpFile(helpFile.put());
    EXPECT_EQ(helpFile.length(), 0u);
    DWORD context = 0;
    info->GetHelpContext(&context);
    EXPECT_EQ(context, 7u);

    ComPtr<IDispatch> none;
    EXPECT_EQ(info.queryInterface(IID_IDispatch, none), E_NOINTERFACE);
    EXPECT_FALSE(none);
}

TEST(ErrorInfo, getErrorInfo_handsOverOnceAndClears)
{
    IErrorInfo* none = reinterpret_cast<IErrorInfo*>(1);
    EXPECT_EQ(GetErrorInfo(0, &none), S_FALSE);
    EXPECT_EQ(none, nullptr);

    ASSERT_EQ(SetErrorInfo(0, MakeError(u"first", u"src").get()), S_OK);
    ASSERT_EQ(SetErrorInfo(0, MakeError(u"second", u"src").get()), S_OK);
    ComPtr<IErrorInfo> taken;
    ASSERT_EQ(GetErrorInfo(0, taken.put()), S_OK);
    EXPECT_EQ(DescriptionOf(taken.get()), u"second");
    EXPECT_EQ(GetErrorInfo(0, taken.put()), S_FALSE);

    SetErrorInfo(0, MakeError(u"dropped", u"src").get());
    SetErrorInfo(0, nullptr);
    EXPECT_EQ(GetErrorInfo(0, taken.put()), S_FALSE);
}

TEST(ErrorInfo, eachThread_seesOnlyItsOwn)
{
    SetErrorInfo(0, MakeError(u"main", u"src").get());
    std::u16string seenBefore;
    std::u16string seenAfter;
    std::thread other([&] {
        ComPtr<IErrorInfo> info;
        seenBefore =
            GetErrorInfo(0, info.put()) == S_FALSE ? u"<empty>" : DescriptionOf(info.get());
        SetErrorInfo(0, MakeError(u"other", u"src").get());
        seenAfter = GetErrorInfo(0, info.put()) == S_OK ? DescriptionOf(info.get()) : u"<empty>";
        // Left set: the thread's exit releases it.
        SetErrorInfo(0, MakeError(u"left behind", u"src").get());
    });
    other.join();
    EXPECT_EQ(seenBefore, u"<empty>");
    EXPECT_EQ(seenAfter, u"other");
    ComPtr<IErrorInfo> mine;
    ASSERT_EQ(GetErrorInfo(0, mine.put()), S_OK);
    EXPECT_EQ(DescriptionOf(mine.get()), u"main");
}

} // namespace
