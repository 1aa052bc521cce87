#include "runtime/com/ObjBase.h"

#include <gtest/gtest.h>
#include <string>

namespace {

constexpr GUID kSample = {
    0x095D251D, 0x865B, 0x48EE, {0xB1, 0xED, 0x94, 0x3A, 0x95, 0xC4, 0x6C, 0xB7}};

std::u16string TextOf(const GUID& guid)
{
    OLECHAR buffer[CHARS_IN_GUID];
    if (StringFromGUID2(guid, buffer, CHARS_IN_GUID) != CHARS_IN_GUID)
        return u"<failed>";
    return buffer;
}

TEST(Guid, stringFromGuid2_writesUpperCaseWithBraces)
{
    EXPECT_EQ(TextOf(kSample), u"{095D251D-865B-48EE-B1ED-943A95C46CB7}");
    EXPECT_EQ(TextOf(IID_IDispatch), u"{00020400-0000-0000-C000-000000000046}");
    EXPECT_EQ(TextOf(IID_IErrorInfo), u"{1CF2B120-547D-101B-8E65-08002B2BD119}");
}

TEST(Guid, stringFromGuid2_refusesShortBuffer)
{
    OLECHAR buffer[CHARS_IN_GUID] = {u'x'};
    EXPECT_EQ(StringFromGUID2(kSample, buffer, CHARS_IN_GUID - 1), 0);
    EXPECT_EQ(buffer[0], u'x');
}

TEST(Guid, textRoundTrip_anyCaseParsesBack)
{
    for (const GUID& guid : {kSample, IID_IUnknown, IID_ISupportErrorInfo, GUID_NULL}) {
        CLSID parsed{};
        ASSERT_EQ(CLSIDFromString(TextOf(guid).c_str(), &parsed), S_OK);
        EXPECT_TRUE(IsEqualGUID(parsed, guid));
    }
    CLSID lower{};
    ASSERT_EQ(CLSIDFromString(u"{095d251d-865b-48ee-b1ed-943a95c46cb7}", &lower), S_OK);
    EXPECT_TRUE(lower == kSample);

    LPOLESTR task = nullptr;
    ASSERT_EQ(StringFromCLSID(kSample, &task), S_OK);
    IID iid{};
    EXPECT_EQ(IIDFromString(task, &iid), S_OK);
    EXPECT_TRUE(iid == kSample);
    CoTaskMemFree(task);
}

TEST(Guid, malformedText_isRefused)
{
    const char16_t* const bad[] = {
        u"{095D251D-865B-48EE-B1ED-943A95C46CB}",   // one digit short
        u"{095D251D-865B-48EE-B1ED-943A95C46CB7",   // no closing brace
        u"{095D251D+865B-48EE-B1ED-943A95C46CB7}",  // wrong separator
        u"{095D251D-865B-48EE-B1ED-943A95C46CBG}",  // not hex
        u"{095D251D-865B-48EE-B1ED-943A95C46CB7} ", // trailing text
    };
    for (const char16_t* text : bad) {
        IID iid{};
        EXPECT_EQ(IIDFromString(text, &iid), E_INVALIDARG) << std::string(text, text + 3);
        CLSID clsid{};
        EXPECT_EQ(CLSIDFromString(text, &clsid), CO_E_CLASSSTRING);
    }
}

TEST(Guid, isEqualGuid_comparesEveryByte)
{
    GUID other = kSample;
    EXPECT_TRUE(IsEqualGUID(other, kSample));
    other.Data4[7] ^= 1;
    EXPECT_FALSE(IsEqualGUID(other, kSample));
    other = kSample;
    other.Data3 ^= 0x100;
    EXPECT_FALSE(IsEqualGUID(other, kSample));
}

} // namespace
