// IFortune's members through the v-table: string conversion in and out,
// quiet results of ordinary conditions, and what reaches the file.

#include "runtime/com/BString.h"
#include "tests/component/ArchiveText.h"
#include "tests/component/CComponentLibrary.h"
#include "tests/support/Latin1Locale.h"
#include "tests/support/TempHome.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace {

using zrv::test::FortuneLibrary;
using zrv::test::ReadBytes;
using zrv::test::WriteBytes;

class FortuneMembers : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FortuneLibrary().IsLoaded()) << FortuneLibrary().LoadError();
        m_fortune = FortuneLibrary().CreateFortune();
        ASSERT_TRUE(m_fortune);
        m_folder = zrv::test::MakeTempDir("archives");
        m_file = m_folder + "/Proverbs";
    }

    // Creates m_file with the given bytes and loads it.
    void LoadArchive(const std::string& bytes)
    {
        WriteBytes(m_file, bytes);
        ASSERT_EQ(m_fortune->Load(BString(Wide(m_file)).get()), S_OK);
    }

    static std::u16string Wide(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

    LONG Count()
    {
        LONG count = -1;
        EXPECT_EQ(m_fortune->Count(&count), S_OK);
        return count;
    }

    // Item get, checking the result is an allocated string.
    std::u16string Item(LONG index)
    {
        BString text;
        EXPECT_EQ(m_fortune->get_Item(index, text.put()), S_OK);
        EXPECT_NE(text.get(), nullptr) << "index " << index;
        return std::u16string(text.view());
    }

    std::u16string Header()
    {
        BString text;
        EXPECT_EQ(m_fortune->get_Header(text.put()), S_OK);
        EXPECT_NE(text.get(), nullptr);
        return std::u16string(text.view());
    }

    std::u16string Name()
    {
        BString text;
        EXPECT_EQ(m_fortune->Name(text.put()), S_OK);
        EXPECT_NE(text.get(), nullptr);
        return std::u16string(text.view());
    }

    ComPtr<IFortune> m_fortune;
    std::string m_folder;
    std::string m_file;
};

TEST_F(FortuneMembers, newObject_quietEmptyResults)
{
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(Item(0), u"");
    EXPECT_EQ(Item(1), u"");
    EXPECT_EQ(Header(), u"");
    EXPECT_EQ(Name(), u"");
    EXPECT_EQ(m_fortune->Delete(1), S_OK);
    EXPECT_EQ(m_fortune->put_Item(1, BString(u"x").get()), S_OK);
    EXPECT_EQ(m_fortune->put_Header(BString(u"x").get()), S_OK);
    EXPECT_EQ(m_fortune->Add(BString(u"x").get()), S_OK);
    EXPECT_EQ(m_fortune->Rename(BString(u"Other").get()), S_OK);
    EXPECT_EQ(Count(), 0);
}

TEST_F(FortuneMembers, outOfRangeIndexes_giveAllocatedEmptyTextAndChangeNothing)
{
    LoadArchive("Proverbs\n%\nLook before you leap.\n%\nA\r\nB");
    ASSERT_EQ(Count(), 2);
    for (const LONG index : {0, -1, 3, 1 << 30}) {
        EXPECT_EQ(Item(index), u"") << index;
        EXPECT_EQ(m_fortune->Delete(index), S_OK);
        EXPECT_EQ(m_fortune->put_Item(index, BString(u"new").get()), S_OK);
    }
    EXPECT_EQ(ReadBytes(m_file), "Proverbs\n%\nLook before you leap.\n%\nA\r\nB");
}

TEST_F(FortuneMembers, readingMembers_convertTheFileText)
{
    LoadArchive("Proverbs\nold\n%\nLook before you leap.\n%\nA\nB");
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(Item(1), u"Look before you leap.");
    EXPECT_EQ(Item(2), u"A\r\nB");
    EXPECT_EQ(Header(), u"Proverbs\r\nold");
    EXPECT_EQ(Name(), u"Proverbs");
}

TEST_F(FortuneMembers, nullStrings_countAsEmpty)
{
    LoadArchive("H\n%\none");
    EXPECT_EQ(m_fortune->Add(nullptr), S_OK);
    EXPECT_EQ(ReadBytes(m_file), "H\n%\none");
    // An empty replacement deletes; an empty header is stored as nothing.
    EXPECT_EQ(m_fortune->put_Item(1, nullptr), S_OK);
    EXPECT_EQ(m_fortune->put_Header(nullptr), S_OK);
    EXPECT_EQ(ReadBytes(m_file), "");
    EXPECT_EQ(Count(), 0);
    // Load of a null name leaves no archive open.
    EXPECT_EQ(m_fortune->Load(nullptr), S_OK);
    EXPECT_EQ(Name(), u"");
}

TEST_F(FortuneMembers, writingMembers_reachTheFile)
{
    ASSERT_EQ(m_fortune->Create(BString(Wide(m_file)).get()), S_OK);
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(m_fortune->Add(BString(u"\r\nLook before you leap.\r\n").get()), S_OK);
    EXPECT_EQ(m_fortune->Add(BString(u"A\r\nB").get()), S_OK);
    EXPECT_EQ(m_fortune->put_Header(BString(u"Proverbs").get()), S_OK);
    EXPECT_EQ(ReadBytes(m_file), "Proverbs\n%\nLook before you leap.\n%\nA\r\nB");
    EXPECT_EQ(ReadBytes(m_file).size(), 39u);

    EXPECT_EQ(m_fortune->put_Item(1, BString(u"Haste makes waste.").get()), S_OK);
    EXPECT_EQ(Item(1), u"Haste makes waste.");
    EXPECT_EQ(m_fortune->Delete(1), S_OK);
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(Item(1), u"A\r\nB");

    EXPECT_EQ(m_fortune->Rename(BString(u"Sayings").get()), S_OK);
    EXPECT_EQ(Name(), u"Sayings");
    EXPECT_FALSE(std::filesystem::exists(m_file));
    EXPECT_EQ(ReadBytes(m_folder + "/Sayings"), "Proverbs\n%\nA\r\nB");
}

TEST_F(FortuneMembers, nonAsciiText_roundTripsUnderUtf8)
{
    ASSERT_EQ(std::string(std::setlocale(LC_CTYPE, nullptr)), "C");
    ASSERT_EQ(m_fortune->Create(BString(Wide(m_file)).get()), S_OK);
    const std::u16string text = u"Grüße, ĝis, 日本語 and \U0001F600";
    ASSERT_EQ(m_fortune->Add(BString(text).get()), S_OK);
    ASSERT_EQ(m_fortune->put_Header(BString(u"Überschrift").get()), S_OK);
    EXPECT_EQ(ReadBytes(m_file), "Überschrift\n%\nGrüße, ĝis, 日本語 and \xF0\x9F\x98\x80");
    EXPECT_EQ(Item(1), text);
    EXPECT_EQ(Header(), u"Überschrift");
}

TEST_F(FortuneMembers, longNonAsciiText_convertsWhole)
{
    // 1600 characters of 3 UTF-8 bytes each: more than twice the length.
    const std::u16string text(1600, u'語');
    std::string bytes;
    for (int i = 0; i < 1600; ++i)
        bytes += "語";
    ASSERT_EQ(m_fortune->Create(BString(Wide(m_file)).get()), S_OK);
    ASSERT_EQ(m_fortune->Add(BString(text).get()), S_OK);
    EXPECT_EQ(ReadBytes(m_file), "\n%\n" + bytes);
    EXPECT_EQ(Item(1), text);
}

TEST_F(FortuneMembers, characterTheCodesetLacks_becomesQuestionMark)
{
    ASSERT_EQ(m_fortune->Create(BString(Wide(m_file)).get()), S_OK);
    const zrv::test::Latin1Locale locale;
    if (!locale.IsActive())
        GTEST_SKIP() << "no ISO-8859-1 locale can be generated here";
    ASSERT_EQ(m_fortune->Add(BString(u"Grüße aus 中国").get()), S_OK);
    EXPECT_EQ(ReadBytes(m_file), "\n%\nGr\xFC\xDF"
                                 "e aus ??");
    EXPECT_EQ(Item(1), u"Grüße aus ??");
}

} // namespace
