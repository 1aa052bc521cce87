// Texts the archive cannot hold are refused with error information, and the
// batch interface: reached from Fortune, snapshot reads, all-or-nothing
// appends and deletions.

#include "runtime/com/BString.h"
#include "tests/component/ArchiveText.h"
#include "tests/component/CComponentLibrary.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using zrv::test::FortuneLibrary;
using zrv::test::ReadBytes;
using zrv::test::WriteBytes;

// The description of the thread's error information, taken off it.
std::u16string TakeDescription()
{
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info)
        return {};
    BString text;
    info->GetDescription(text.put());
    return std::u16string(text.view());
}

bool Contains(const std::u16string& text, const std::u16string& part)
{
    return text.find(part) != std::u16string::npos;
}

class FortuneBatch : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FortuneLibrary().IsLoaded()) << FortuneLibrary().LoadError();
        m_fortune = FortuneLibrary().CreateFortune();
        ASSERT_TRUE(m_fortune);
        ASSERT_EQ(m_fortune.queryInterface(IID_IFortuneBatch, m_batch), S_OK);
        m_file = zrv::test::MakeTempDir("batch") + "/Proverbs";
        WriteBytes(m_file, kThree);
        const std::u16string path(m_file.begin(), m_file.end());
        ASSERT_EQ(m_fortune->Load(BString(path).get()), S_OK);
    }

    HRESULT AddMany(const std::vector<std::u16string>& texts, LONG flags = FORTUNE_ADD_TRIMMED)
    {
        std::vector<BString> owned(texts.begin(), texts.end());
        std::vector<BSTR> bstrs;
        for (const BString& text : owned)
            bstrs.push_back(text.get());
        return m_batch->AddMany(static_cast<LONG>(bstrs.size()), bstrs.data(), flags);
    }

    HRESULT DeleteMany(const std::vector<LONG>& indexes)
    {
        return m_batch->DeleteMany(static_cast<LONG>(indexes.size()), indexes.data());
    }

    HRESULT InsertMany(const std::vector<LONG>& indexes, const std::vector<std::u16string>& texts,
                       LONG flags = FORTUNE_ADD_EXACT)
    {
        std::vector<BString> owned(texts.begin(), texts.end());
        std::vector<BSTR> bstrs;
        for (const BString& text : owned)
            bstrs.push_back(text.get());
        return m_batch->InsertMany(static_cast<LONG>(indexes.size()), indexes.data(), bstrs.data(),
                                   flags);
    }

    // Every text of a snapshot, the header first.
    std::vector<std::u16string> SnapshotTexts()
    {
        ComPtr<IFortuneSnapshot> snapshot;
        EXPECT_EQ(m_batch->Snapshot(snapshot.put()), S_OK);
        std::vector<std::u16string> texts;
        BString text;
        EXPECT_EQ(snapshot->get_Header(text.put()), S_OK);
        texts.emplace_back(text.view());
        LONG count = -1;
        EXPECT_EQ(snapshot->Count(&count), S_OK);
        for (LONG i = 1; i <= count; ++i) {
            EXPECT_EQ(snapshot->get_Item(i, text.put()), S_OK);
            texts.emplace_back(text.view());
        }
        return texts;
    }

    static constexpr const char* kThree = "H\r\nead\n%\none\n%\ntwo\r\nlines\n%\nthree";
    ComPtr<IFortune> m_fortune;
    ComPtr<IFortuneBatch> m_batch;
    std::string m_file;
};

TEST_F(FortuneBatch, unstorableTexts_failWithErrorInformationAndChangeNothing)
{
    const std::vector<std::pair<std::u16string, std::u16string>> cases = {
        {std::u16string(u"a\0hidden", 8), u"NUL"},
        {u"a\r\n%", u"last line"},
        {u"a\r\n%\r\n", u"last line"},
        {u"a\n%\nb", u"split"},
    };
    for (const auto& [text, reason] : cases) {
        const BString value(text);
        EXPECT_EQ(m_fortune->Add(value.get()), E_INVALIDARG);
        EXPECT_TRUE(Contains(TakeDescription(), reason)) << "Add";
        EXPECT_EQ(m_fortune->put_Item(2, value.get()), E_INVALIDARG);
        EXPECT_TRUE(Contains(TakeDescription(), reason)) << "put_Item";
        if (text.back() != u'\n') {
            EXPECT_EQ(m_fortune->put_Header(value.get()), E_INVALIDARG);
            EXPECT_TRUE(Contains(TakeDescription(), reason)) << "put_Header";
        }
        EXPECT_EQ(AddMany({u"fine", u"", text}), E_INVALIDARG);
        EXPECT_TRUE(Contains(TakeDescription(), u"Text 3 ")) << "the batch names the text";
        if (text.back() != u'\n') {
            EXPECT_EQ(AddMany({u"fine", u"", text}, FORTUNE_ADD_EXACT), E_INVALIDARG);
            EXPECT_TRUE(Contains(TakeDescription(), u"Text 3 ")) << "exact";
        }
        EXPECT_EQ(ReadBytes(m_file), kThree);
    }
}

TEST_F(FortuneBatch, snapshot_holdsTheArchiveAsItStoodWhenTaken)
{
    ComPtr<IFortuneSnapshot> snapshot;
    ASSERT_EQ(m_batch->Snapshot(snapshot.put()), S_OK);
    ASSERT_EQ(m_fortune->Delete(1), S_OK);
    WriteBytes(m_file, "replaced");
    LONG count = 0;
    ASSERT_EQ(snapshot->Count(&count), S_OK);
    EXPECT_EQ(count, 3);
    BString text;
    for (const LONG outside : {0L, 4L, -1L}) {
        ASSERT_EQ(snapshot->get_Item(outside, text.put()), S_OK);
        EXPECT_NE(text.get(), nullptr);
        EXPECT_EQ(text.view(), u"");
    }
    ASSERT_EQ(snapshot->get_Item(2, text.put()), S_OK);
    EXPECT_EQ(text.view(), u"two\r\nlines");
    ASSERT_EQ(snapshot->get_Header(text.put()), S_OK);
    EXPECT_EQ(text.view(), u"H\r\nead");
    EXPECT_EQ(SnapshotTexts(), std::vector<std::u16string>{u"replaced"});
}

TEST_F(FortuneBatch, batchChanges_applyWholeInOneCall)
{
    ASSERT_EQ(AddMany({u"\r\nfour\r\n", u"", u"\r\n", u"five"}), S_OK);
    EXPECT_EQ(ReadBytes(m_file), std::string(kThree) + "\n%\nfour\n%\nfive");
    ASSERT_EQ(DeleteMany({5, 1, 3, 1, 5}), S_OK);
    EXPECT_EQ(ReadBytes(m_file), "H\r\nead\n%\ntwo\r\nlines\n%\nfour");
    EXPECT_EQ(DeleteMany({}), S_OK);
    EXPECT_EQ(AddMany({}), S_OK);
    EXPECT_EQ(m_batch->AddMany(1, nullptr, FORTUNE_ADD_TRIMMED), E_POINTER);
    EXPECT_EQ(m_batch->DeleteMany(-1, nullptr), E_INVALIDARG);
    for (const std::vector<LONG>& bad : std::vector<std::vector<LONG>>{{1, 3}, {0}, {-1, 2}}) {
        EXPECT_EQ(DeleteMany(bad), E_INVALIDARG);
        EXPECT_TRUE(Contains(TakeDescription(), u"out of range"));
    }
    EXPECT_EQ(ReadBytes(m_file), "H\r\nead\n%\ntwo\r\nlines\n%\nfour");
    EXPECT_EQ(SnapshotTexts(),
              (std::vector<std::u16string>{u"H\r\nead", u"two\r\nlines", u"four"}));
    LONG count = 0;
    ASSERT_EQ(m_fortune->Count(&count), S_OK);
    EXPECT_EQ(count, 2);
}

TEST_F(FortuneBatch, interfaces_answerEachOtherAndErrorSupport)
{
    ComPtr<IFortune> back;
    EXPECT_EQ(m_batch.queryInterface(IID_IFortune, back), S_OK);
    EXPECT_EQ(back.get(), m_fortune.get());
    ComPtr<ISupportErrorInfo> support;
    ASSERT_EQ(m_fortune.queryInterface(IID_ISupportErrorInfo, support), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IFortuneBatch), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IFortuneSnapshot), S_FALSE);
    ComPtr<IFortuneSnapshot> snapshot;
    ASSERT_EQ(m_batch->Snapshot(snapshot.put()), S_OK);
    ComPtr<IFortune> notFortune;
    EXPECT_EQ(snapshot.queryInterface(IID_IFortune, notFortune), E_NOINTERFACE);
    // A snapshot keeps the library in use.
    m_batch.reset();
    m_fortune.reset();
    back.reset();
    support.reset();
    EXPECT_EQ(FortuneLibrary().CanUnloadNow(), S_FALSE);
    snapshot.reset();
    EXPECT_EQ(FortuneLibrary().CanUnloadNow(), S_OK);
}

} // namespace

// Exact texts keep their line breaks at both ends, and empty ones are stored:
// each reads back as given, also one that Add would refuse once trimmed.
TEST_F(FortuneBatch, exactAppend_storesEveryTextAsGiven)
{
    const std::vector<std::u16string> texts = {u"\r\n\r\nfour\r\n", u"", u"a\r\n%\r\n", u"%\r\n"};
    EXPECT_EQ(AddMany(texts, FORTUNE_ADD_EXACT | 2), E_INVALIDARG);
    EXPECT_EQ(AddMany(texts), E_INVALIDARG) << "trimmed, the third ends in a line of only %";
    EXPECT_EQ(ReadBytes(m_file), kThree);
    ASSERT_EQ(AddMany(texts, FORTUNE_ADD_EXACT), S_OK);
    EXPECT_EQ(ReadBytes(m_file),
              std::string(kThree) + "\n%\n\r\n\r\nfour\r\n\n%\n\n%\na\r\n%\r\n\n%\n%\r\n");
    std::vector<std::u16string> expected = {u"H\r\nead", u"one", u"two\r\nlines", u"three"};
    expected.insert(expected.end(), texts.begin(), texts.end());
    EXPECT_EQ(SnapshotTexts(), expected);
}

// A deletion is undone by inserting the texts it took, as handed out, at the
// same indexes: the file comes back byte for byte.
TEST_F(FortuneBatch, deletionUndoneByInsertMany_restoresTheFile)
{
    const std::vector<std::u16string> before = SnapshotTexts();
    for (const std::vector<LONG>& indexes :
         std::vector<std::vector<LONG>>{{1}, {2}, {3}, {1, 3}, {2, 3}, {1, 2, 3}}) {
        std::vector<std::u16string> texts;
        for (const LONG index : indexes)
            texts.push_back(before[static_cast<size_t>(index)]);
        ASSERT_EQ(DeleteMany(indexes), S_OK);
        ASSERT_EQ(InsertMany(indexes, texts), S_OK);
        EXPECT_EQ(ReadBytes(m_file), kThree) << testing::PrintToString(indexes);
        EXPECT_EQ(SnapshotTexts(), before);
    }
    ASSERT_EQ(InsertMany({1, 5}, {u"\r\nfirst\r\n", u"end"}, FORTUNE_ADD_TRIMMED), S_OK);
    EXPECT_EQ(ReadBytes(m_file), "H\r\nead\n%\nfirst\n%\none\n%\ntwo\r\nlines\n%\nthree\n%\nend");
}

// A file written by other tools (bare line feeds, a trailing separator, a
// last line without its line feed): the stored texts, put back where they
// were, give the file back byte for byte, which the handed-out texts would not.
TEST_F(FortuneBatch, storedTexts_restoreForeignLineEndsExactly)
{
    for (const std::string bytes :
         {"one\nline\n%\ntwo\n  lines\n%\nthree\n%\n",
          "H\n%\n\tTab\r\n\n  -- Someone\n%\nlast\nno end", "%\n\n%\nafter an empty one\r\n"}) {
        WriteBytes(m_file, bytes);
        ComPtr<IFortuneSnapshot> snapshot;
        ASSERT_EQ(m_batch->Snapshot(snapshot.put()), S_OK);
        LONG count = 0;
        ASSERT_EQ(snapshot->Count(&count), S_OK);
        std::vector<LONG> all;
        std::vector<std::u16string> stored;
        BString text;
        for (LONG i = 1; i <= count; ++i) {
            all.push_back(i);
            ASSERT_EQ(snapshot->get_StoredItem(i, text.put()), S_OK);
            stored.emplace_back(text.view());
        }
        EXPECT_EQ(snapshot->get_StoredItem(count + 1, text.put()), S_OK);
        EXPECT_TRUE(text.view().empty());
        ASSERT_EQ(snapshot->get_StoredHeader(text.put()), S_OK);
        ASSERT_EQ(m_fortune->put_Header(BString(u"new\r\nheader").get()), S_OK);
        ASSERT_EQ(m_fortune->put_Header(text.get()), S_OK);
        EXPECT_EQ(ReadBytes(m_file), bytes) << "the stored header, put back";
        ASSERT_EQ(DeleteMany(all), S_OK);
        ASSERT_EQ(InsertMany(all, stored), S_OK);
        EXPECT_EQ(ReadBytes(m_file), bytes);
        for (LONG i = 1; i <= count; ++i) {
            ASSERT_EQ(m_batch->ReplaceItem(i, BString(u"\r\nx\r\n").get(), 0), S_OK);
            ASSERT_EQ(m_batch->ReplaceItem(i, BString(stored[i - 1]).get(), FORTUNE_ADD_EXACT),
                      S_OK);
        }
        EXPECT_EQ(ReadBytes(m_file), bytes);
        if (count < 2)
            continue;
        ASSERT_EQ(DeleteMany({1, count}), S_OK);
        ASSERT_EQ(InsertMany({1, count}, {stored.front(), stored.back()}), S_OK);
        EXPECT_EQ(ReadBytes(m_file), bytes);
    }
}

TEST_F(FortuneBatch, replaceItem_storesTheTextOrFailsAloud)
{
    ASSERT_EQ(m_batch->ReplaceItem(2, BString(u"\r\n2nd\r\n").get(), FORTUNE_ADD_TRIMMED), S_OK);
    EXPECT_EQ(ReadBytes(m_file), "H\r\nead\n%\none\n%\n2nd\n%\nthree");
    const std::string before = ReadBytes(m_file);
    const struct {
        LONG index;
        const char16_t* text;
        LONG flags;
        HRESULT hr;
    } refused[] = {
        {0, u"a", 0, E_INVALIDARG},    {4, u"a", 0, E_INVALIDARG},
        {1, u"\r\n", 0, E_INVALIDARG}, {1, u"a\r\n%", FORTUNE_ADD_EXACT, E_INVALIDARG},
        {1, u"a", 2, E_INVALIDARG},
    };
    for (const auto& r : refused) {
        const HRESULT hr = m_batch->ReplaceItem(r.index, BString(r.text).get(), r.flags);
        EXPECT_EQ(hr, r.hr) << r.index;
        EXPECT_EQ(ReadBytes(m_file), before);
    }
    EXPECT_EQ(m_batch->ReplaceItem(3, BString(u"\nlast\n").get(), FORTUNE_ADD_EXACT), S_OK);
    EXPECT_EQ(ReadBytes(m_file), "H\r\nead\n%\none\n%\n2nd\n%\n\nlast\n");
}

TEST_F(FortuneBatch, insertManyRefused_changesNothingAndSaysWhy)
{
    const std::vector<std::pair<std::vector<LONG>, std::u16string>> badIndexes = {
        {{0, 1}, u"index 1 (0)"}, {{2, 2}, u"index 2 (2)"}, {{1, 6}, u"out of range"}};
    for (const auto& [indexes, reason] : badIndexes) {
        EXPECT_EQ(InsertMany(indexes, {u"a", u"b"}), E_INVALIDARG);
        EXPECT_TRUE(Contains(TakeDescription(), reason)) << testing::PrintToString(indexes);
    }
    EXPECT_EQ(InsertMany({1, 2}, {u"a", u"b\r\n%"}), E_INVALIDARG);
    EXPECT_TRUE(Contains(TakeDescription(), u"Text 2 "));
    EXPECT_EQ(InsertMany({1}, {u"a"}, 2), E_INVALIDARG);
    EXPECT_EQ(m_batch->InsertMany(-1, nullptr, nullptr, FORTUNE_ADD_EXACT), E_INVALIDARG);
    const LONG index = 1;
    EXPECT_EQ(m_batch->InsertMany(1, &index, nullptr, FORTUNE_ADD_EXACT), E_POINTER);
    EXPECT_EQ(m_batch->InsertMany(0, nullptr, nullptr, FORTUNE_ADD_EXACT), S_OK);
    EXPECT_EQ(ReadBytes(m_file), kThree);
}
