#include "runtime/com/BString.h"
#include "runtime/com/OleAuto.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

uint32_t PrefixOf(BSTR s)
{
    uint32_t length = 0;
    std::memcpy(&length, reinterpret_cast<const char*>(s) - sizeof(uint32_t), sizeof length);
    return length;
}

TEST(Bstr, allocString_storesByteLengthBeforeTextAndNul)
{
    const BString s = BString::attach(SysAllocString(u"h\u00E9llo"));
    ASSERT_NE(s.get(), nullptr);
    EXPECT_EQ(PrefixOf(s.get()), 10u);
    EXPECT_EQ(SysStringLen(s.get()), 5u);
    EXPECT_EQ(SysStringByteLen(s.get()), 10u);
    EXPECT_EQ(s.get()[5], u'\0');
    EXPECT_EQ(s.view(), u"h\u00E9llo");
}

TEST(Bstr, allocStringLen_keepsEmbeddedNulsAndZeroesWithoutSource)
{
    const char16_t text[] = {u'a', u'\0', u'b'};
    const BString s = BString::attach(SysAllocStringLen(text, 3));
    EXPECT_EQ(SysStringLen(s.get()), 3u);
    EXPECT_EQ(s.get()[1], u'\0');
    EXPECT_EQ(s.get()[2], u'b');
    EXPECT_EQ(s.get()[3], u'\0');

    const BString zeroed = BString::attach(SysAllocStringLen(nullptr, 4));
    ASSERT_NE(zeroed.get(), nullptr);
    for (UINT i = 0; i <= 4; ++i)
        EXPECT_EQ(zeroed.get()[i], u'\0') << i;
}

TEST(Bstr, nullString_isEmptyAndFreeable)
{
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysStringByteLen(nullptr), 0u);
    SysFreeString(nullptr);
    const BString empty = BString::attach(SysAllocString(u""));
    ASSERT_NE(empty.get(), nullptr);
    EXPECT_EQ(SysStringLen(empty.get()), 0u);
    EXPECT_EQ(empty.get()[0], u'\0');
}

TEST(Bstr, byteLen_keepsOddLengthAndTerminates)
{
    const BString s = BString::attach(SysAllocStringByteLen("abc", 3));
    EXPECT_EQ(SysStringByteLen(s.get()), 3u);
    EXPECT_EQ(SysStringLen(s.get()), 1u);
    const auto* bytes = reinterpret_cast<const char*>(s.get());
    EXPECT_EQ(std::string(bytes, 3), "abc");
    EXPECT_EQ(bytes[3], '\0');
    EXPECT_EQ(bytes[4], '\0');
}

TEST(Bstr, reAlloc_replacesFromItsOwnText)
{
    BSTR s = SysAllocString(u"hello world");
    ASSERT_TRUE(SysReAllocStringLen(&s, s + 6, 5));
    EXPECT_EQ(std::u16string_view(s, SysStringLen(s)), u"world");
    ASSERT_TRUE(SysReAllocString(&s, nullptr));
    EXPECT_EQ(SysStringLen(s), 0u);
    SysFreeString(s);
}

TEST(Bstr, bstringOwner_copiesAndMovesWithoutSharing)
{
    BString a(u"text");
    BString b = a;
    EXPECT_NE(a.get(), b.get());
    EXPECT_EQ(b.view(), u"text");
    BString c = std::move(a);
    EXPECT_EQ(a.get(), nullptr);
    EXPECT_EQ(c.view(), u"text");
    *c.put() = SysAllocString(u"other");
    EXPECT_EQ(c.view(), u"other");
}

} // namespace
