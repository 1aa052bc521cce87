// Batch reads and changes against a model of the archive: random mixes of
// single and batch calls, compared byte for byte with what the model says the
// file holds, and other programs changing the file between calls.
#include "engine/CArchive.h"
#include "engine/CArchiveError.h"
#include "tests/engine/ArchiveFiles.h"
#include "tests/engine/CReferenceRecognizer.h"
#include "tests/support/TempHome.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <numeric>
#include <random>
#include <set>

namespace {

using namespace std::string_literals;
using zrv::CArchive;
using zrv::CArchiveError;
using zrv::test::ReadBytes;
using zrv::test::WriteBytes;

// What the file should hold: the header and the stored fortunes.
struct Model {
    std::string header;
    std::vector<std::string> fortunes;

    std::string Bytes() const
    {
        std::string bytes = header;
        for (const std::string& fortune : fortunes)
            bytes += "\n%\n" + fortune;
        return bytes;
    }
};

// Whether the reader gives `text` back as the only fortune after a header,
// with a further fortune after it: the plain recognizer decides, not the
// engine's own rule.
bool ReadsBack(const std::string& text)
{
    const std::string bytes = "H\n%\n" + text + "\n%\nnext";
    const zrv::test::CReferenceRecognizer reader(bytes);
    return text.find('\0') == std::string::npos && reader.Offsets().size() == 2 &&
           reader.Offsets()[1] == static_cast<int64_t>(4 + text.size() + 3);
}

bool HeaderReadsBack(const std::string& header)
{
    const zrv::test::CReferenceRecognizer reader(header + "\n%\nnext");
    return header.find('\0') == std::string::npos && reader.Header() == header &&
           reader.Offsets().size() == 1;
}

class ModelRun {
public:
    ModelRun(std::string path, unsigned seed) : m_path(std::move(path)), m_random(seed)
    {
        m_archive.Create(m_path);
    }

    void Step()
    {
        switch (m_random() % 10) {
        case 0:
            Single([&](const std::string& text) { m_archive.Add(text); }, true);
            break;
        case 1:
            AddMany();
            break;
        case 2:
            DeleteMany();
            break;
        case 3:
            if (!m_model.fortunes.empty())
                DeleteOne();
            break;
        case 4:
            if (!m_model.fortunes.empty())
                SetItem();
            break;
        case 5:
            SetHeader();
            break;
        case 6:
            CheckSnapshot();
            break;
        case 7:
            InsertMany();
            break;
        case 8:
            DeleteAndRestore();
            break;
        default:
            // Another object, as another program would be, appends directly.
            AppendOutside();
            break;
        }
        ASSERT_EQ(ReadBytes(m_path), m_model.Bytes()) << "after step " << m_steps;
        ASSERT_EQ(m_archive.Count(), static_cast<int32_t>(m_model.fortunes.size()));
        ++m_steps;
    }

    void CheckSnapshot()
    {
        const zrv::CArchiveSnapshot snapshot = m_archive.Snapshot();
        ASSERT_EQ(snapshot.Count(), static_cast<int32_t>(m_model.fortunes.size()));
        ASSERT_EQ(snapshot.Header(), CArchive::ToCrLf(m_model.header));
        for (size_t k = 0; k < m_model.fortunes.size(); ++k) {
            const auto index = static_cast<int32_t>(k + 1);
            ASSERT_EQ(snapshot.Stored(index), m_model.fortunes[k]);
            ASSERT_EQ(snapshot.Item(index), m_archive.Item(index));
        }
    }

private:
    std::string RandomText()
    {
        static const char alphabet[] = {'a', 'b', '\n', '\r', '%', ' ', '\0'};
        std::string text(m_random() % 9, 'x');
        for (char& c : text)
            c = alphabet[m_random() % sizeof alphabet];
        return text;
    }

    // Runs a call with a random text; it must store the trimmed text exactly
    // when the reader gives that back, and refuse it otherwise.
    template <typename Call> void Single(Call&& call, bool appends)
    {
        const std::string text = RandomText();
        const std::string trimmed = CArchive::TrimLineBreaks(text);
        if (!trimmed.empty() && !ReadsBack(trimmed)) {
            EXPECT_THROW(call(text), CArchiveError) << testing::PrintToString(text);
            return;
        }
        call(text);
        if (appends && !trimmed.empty())
            m_model.fortunes.push_back(trimmed);
    }

    // Trimmed texts are stored as Add stores them; exact ones as given, empty
    // ones included. Either way the batch is refused whole when one would not
    // read back.
    void AddMany()
    {
        const bool exact = m_random() % 2 == 0;
        std::vector<std::string> texts(m_random() % 6);
        std::vector<std::string> stored;
        bool refused = false;
        for (std::string& text : texts) {
            text = RandomText();
            const std::string kept = exact ? text : CArchive::TrimLineBreaks(text);
            refused = refused || ((exact || !kept.empty()) && !ReadsBack(kept));
            if (exact || !kept.empty())
                stored.push_back(kept);
        }
        const auto mode = exact ? CArchive::AddMode::Exact : CArchive::AddMode::Trimmed;
        if (refused) {
            EXPECT_THROW(m_archive.AddMany(texts, mode), CArchiveError)
                << testing::PrintToString(texts);
            return;
        }
        m_archive.AddMany(texts, mode);
        m_model.fortunes.insert(m_model.fortunes.end(), stored.begin(), stored.end());
    }

    void DeleteMany()
    {
        const auto count = static_cast<int32_t>(m_model.fortunes.size());
        std::vector<int32_t> indexes(m_random() % 5);
        for (int32_t& index : indexes)
            index = static_cast<int32_t>(m_random() % (count + 2));
        const bool outside = std::any_of(indexes.begin(), indexes.end(),
                                         [&](int32_t i) { return i < 1 || i > count; });
        if (outside) {
            EXPECT_THROW(m_archive.DeleteMany(indexes), CArchiveError);
            return;
        }
        m_archive.DeleteMany(indexes);
        const std::set<int32_t> gone(indexes.begin(), indexes.end());
        for (auto it = gone.rbegin(); it != gone.rend(); ++it)
            m_model.fortunes.erase(m_model.fortunes.begin() + (*it - 1));
    }

    // Ascending indexes, now and then out of order or past the end; texts as
    // AddMany takes them. A trimmed text that is empty keeps its place in the
    // numbering but adds nothing.
    void InsertMany()
    {
        const bool exact = m_random() % 2 == 0;
        const size_t count = m_model.fortunes.size();
        std::vector<int32_t> indexes(m_random() % 5);
        std::vector<std::string> texts(indexes.size());
        int32_t at = 0;
        for (int32_t& index : indexes)
            index = at += 1 + static_cast<int32_t>(m_random() % 3);
        if (indexes.size() > 1 && m_random() % 6 == 0)
            indexes[1] = indexes[0];
        bool refused =
            !indexes.empty() && indexes.back() > static_cast<int32_t>(count + indexes.size());
        for (size_t k = 1; k < indexes.size(); ++k)
            refused = refused || indexes[k] <= indexes[k - 1];
        std::vector<std::string> result;
        size_t slot = 0;
        for (size_t k = 0; k < texts.size(); ++k) {
            texts[k] = RandomText();
            const std::string kept = exact ? texts[k] : CArchive::TrimLineBreaks(texts[k]);
            if (!exact && kept.empty())
                continue;
            refused = refused || !ReadsBack(kept);
            for (; !refused && slot + k + 1 < static_cast<size_t>(indexes[k]); ++slot)
                result.push_back(m_model.fortunes[slot]);
            result.push_back(kept);
        }
        const auto mode = exact ? CArchive::AddMode::Exact : CArchive::AddMode::Trimmed;
        if (refused) {
            EXPECT_THROW(m_archive.InsertMany(indexes, texts, mode), CArchiveError)
                << testing::PrintToString(indexes) << testing::PrintToString(texts);
            return;
        }
        m_archive.InsertMany(indexes, texts, mode);
        result.insert(result.end(), m_model.fortunes.begin() + static_cast<ptrdiff_t>(slot),
                      m_model.fortunes.end());
        m_model.fortunes = std::move(result);
    }

    // Deletes random fortunes, then puts their stored texts back at the same
    // indexes: the file is again byte for byte what it was.
    void DeleteAndRestore()
    {
        std::vector<int32_t> indexes;
        std::vector<std::string> texts;
        for (size_t k = 0; k < m_model.fortunes.size(); ++k)
            if (m_random() % 3 == 0) {
                indexes.push_back(static_cast<int32_t>(k + 1));
                texts.push_back(m_model.fortunes[k]);
            }
        const std::string before = m_model.Bytes();
        m_archive.DeleteMany(indexes);
        ASSERT_EQ(ReadBytes(m_path).size() + texts.size() * 3 +
                      std::accumulate(texts.begin(), texts.end(), size_t{0},
                                      [](size_t n, const std::string& t) { return n + t.size(); }),
                  before.size());
        m_archive.InsertMany(indexes, texts, CArchive::AddMode::Exact);
    }

    void DeleteOne()
    {
        const auto index = static_cast<int32_t>(1 + m_random() % m_model.fortunes.size());
        m_archive.Delete(index);
        m_model.fortunes.erase(m_model.fortunes.begin() + (index - 1));
    }

    void SetItem()
    {
        const auto index = static_cast<int32_t>(1 + m_random() % m_model.fortunes.size());
        const std::string text = RandomText();
        const std::string trimmed = CArchive::TrimLineBreaks(text);
        if (trimmed.empty()) {
            m_archive.SetItem(index, text);
            m_model.fortunes.erase(m_model.fortunes.begin() + (index - 1));
        } else if (!ReadsBack(trimmed)) {
            EXPECT_THROW(m_archive.SetItem(index, text), CArchiveError);
        } else {
            m_archive.SetItem(index, text);
            m_model.fortunes[static_cast<size_t>(index - 1)] = trimmed;
        }
    }

    void SetHeader()
    {
        const std::string header = RandomText();
        if (!HeaderReadsBack(header)) {
            EXPECT_THROW(m_archive.SetHeader(header), CArchiveError);
            return;
        }
        m_archive.SetHeader(header);
        m_model.header = header;
    }

    void AppendOutside()
    {
        const std::string text = "outside " + std::to_string(m_steps);
        std::ofstream(m_path, std::ios::binary | std::ios::app) << "\n%\n" << text;
        m_model.fortunes.push_back(text);
    }

    std::string m_path;
    std::mt19937 m_random;
    CArchive m_archive;
    Model m_model;
    int m_steps = 0;
};

TEST(BatchModel, randomMixOfSingleAndBatchCalls_matchesTheModelByteForByte)
{
    const std::string folder = zrv::test::MakeTempDir("model");
    for (unsigned seed = 1; seed <= 12; ++seed) {
        ModelRun run(folder + "/Run" + std::to_string(seed), seed);
        for (int step = 0; step < 150; ++step) {
            run.Step();
            if (testing::Test::HasFatalFailure())
                FAIL() << "seed " << seed;
        }
        run.CheckSnapshot();
    }
}

class Batch : public testing::Test {
protected:
    void SetUp() override { m_path = zrv::test::MakeTempDir("batch") + "/Proverbs"; }

    void AppendOutside(const std::string& bytes)
    {
        std::ofstream(m_path, std::ios::binary | std::ios::app) << bytes;
    }

    // The object's index gives every stored text as a fresh read of the file does.
    void ExpectIndexedAsFresh(CArchive& archive, const std::string& label) const
    {
        CArchive fresh;
        fresh.Load(m_path);
        const zrv::CArchiveSnapshot expected = fresh.Snapshot();
        const zrv::CArchiveSnapshot snapshot = archive.Snapshot();
        ASSERT_EQ(snapshot.Count(), expected.Count()) << label;
        for (int32_t i = 1; i <= expected.Count(); ++i)
            EXPECT_EQ(snapshot.Stored(i), expected.Stored(i)) << label << " fortune " << i;
    }

    std::string m_path;
};

TEST_F(Batch, anotherProgramsAppendBetweenReadAndChange_isKept)
{
    WriteBytes(m_path, "H\n%\none\n%\ntwo\n%\nthree");
    CArchive archive;
    archive.Load(m_path);
    const zrv::CArchiveSnapshot before = archive.Snapshot();
    ASSERT_EQ(before.Count(), 3);
    AppendOutside("\n%\nother");
    archive.DeleteMany({3, 1});
    EXPECT_EQ(ReadBytes(m_path), "H\n%\ntwo\n%\nother");
    AppendOutside("\n%\nmore");
    archive.AddMany({"mine"});
    EXPECT_EQ(ReadBytes(m_path), "H\n%\ntwo\n%\nother\n%\nmore\n%\nmine");
    EXPECT_EQ(archive.Item(4), "mine");
    // An index the file no longer has refuses the whole deletion.
    WriteBytes(m_path, "H\n%\nonly");
    EXPECT_THROW(archive.DeleteMany({1, 2}), CArchiveError);
    EXPECT_EQ(ReadBytes(m_path), "H\n%\nonly");
}

// Add extends the index only when the file is as the object left it; a file
// another program left ending in a line of only "%" is read again instead.
TEST_F(Batch, addAfterOtherWriters_indexesAsAFreshReadDoes)
{
    const auto expectAsFresh = [this](CArchive& archive, const std::string& label) {
        CArchive fresh;
        fresh.Load(m_path);
        ASSERT_EQ(archive.Count(), fresh.Count()) << label;
        for (int32_t i = 1; i <= fresh.Count(); ++i)
            EXPECT_EQ(archive.Item(i), fresh.Item(i)) << label << " fortune " << i;
    };
    const std::vector<std::string> tails = {"", "\n%", "\n", "\n%\n", "x\r\n%", "\n%\n%"};
    for (const std::string& tail : tails) {
        const std::string label = testing::PrintToString(tail);
        WriteBytes(m_path, "H\n%\nA" + tail);
        CArchive archive;
        archive.Load(m_path);
        archive.Add("B");
        expectAsFresh(archive, label + " Add");
        AppendOutside(tail);
        archive.AddMany({"C", "D"});
        expectAsFresh(archive, label + " AddMany after another writer");
        archive.Add("E");
        expectAsFresh(archive, label + " Add again");
    }
}

// The stored bytes of every fortune, as a deletion's undo keeps them.
std::vector<std::string> StoredTexts(CArchive& archive, const std::vector<int32_t>& indexes)
{
    const zrv::CArchiveSnapshot snapshot = archive.Snapshot();
    std::vector<std::string> texts;
    for (const int32_t index : indexes)
        texts.emplace_back(snapshot.Stored(index));
    return texts;
}

TEST_F(Batch, deleteManyUndoneByInsertMany_restoresTheFileByteForByte)
{
    const std::vector<std::string> files = {
        "H\r\n\n%\none\r\ntwo  \n%\n\n%\n  three \n%\nfour\r\n\n%\nfive",
        "\n%\nno header\n%\n\n%\n\r\nlast\r\n\n%\n%x\n%\n",
        "header\n%\n%\n%\nx\r\n%\r\n\n%\n \n%\n\t\n%\n",
    };
    const std::vector<std::vector<int32_t>> deletions = {
        {1}, {5}, {1, 5}, {2, 3}, {3}, {1, 2, 3, 4, 5}, {2, 4}, {4, 5}};
    for (const std::string& file : files) {
        for (const std::vector<int32_t>& indexes : deletions) {
            const std::string label =
                testing::PrintToString(file) + testing::PrintToString(indexes);
            WriteBytes(m_path, file);
            CArchive archive;
            archive.Load(m_path);
            ASSERT_EQ(archive.Count(), 5) << label;
            const std::vector<std::string> texts = StoredTexts(archive, indexes);
            archive.DeleteMany(indexes);
            ASSERT_NE(ReadBytes(m_path), file) << label;
            archive.InsertMany(indexes, texts, CArchive::AddMode::Exact);
            EXPECT_EQ(ReadBytes(m_path), file) << label;
            ExpectIndexedAsFresh(archive, label);
        }
    }
}

TEST_F(Batch, insertMany_placesTextsAtTheirFinalIndexes)
{
    struct Case {
        std::vector<int32_t> indexes;
        std::vector<std::string> texts;
        CArchive::AddMode mode;
        std::string expected;
    };
    const auto exact = CArchive::AddMode::Exact;
    const auto trimmed = CArchive::AddMode::Trimmed;
    const std::vector<Case> cases = {
        {{1}, {"x"}, trimmed, "H\n%\nx\n%\na\n%\nb"},
        {{3}, {"x"}, trimmed, "H\n%\na\n%\nb\n%\nx"},
        {{3, 4}, {"x", "y"}, trimmed, "H\n%\na\n%\nb\n%\nx\n%\ny"},
        {{1, 2, 3, 4}, {"w", "x", "y", "z"}, trimmed, "H\n%\nw\n%\nx\n%\ny\n%\nz\n%\na\n%\nb"},
        {{1, 3, 5}, {"x", "y", "z"}, trimmed, "H\n%\nx\n%\na\n%\ny\n%\nb\n%\nz"},
        {{2}, {"\r\n x \r\n"}, trimmed, "H\n%\na\n%\n x \n%\nb"},
        {{2}, {"\r\n x \r\n"}, exact, "H\n%\na\n%\n\r\n x \r\n\n%\nb"},
        {{1, 2}, {"", ""}, exact, "H\n%\n\n%\n\n%\na\n%\nb"},
        // An empty trimmed text adds nothing; the next keeps its place in the numbering.
        {{1, 3}, {"\r\n", "y"}, trimmed, "H\n%\na\n%\ny\n%\nb"},
        {{1, 2}, {"", "\n"}, trimmed, "H\n%\na\n%\nb"},
        {{}, {}, trimmed, "H\n%\na\n%\nb"},
    };
    for (const Case& c : cases) {
        const std::string label =
            testing::PrintToString(c.indexes) + testing::PrintToString(c.texts);
        WriteBytes(m_path, "H\n%\na\n%\nb");
        CArchive archive;
        archive.Load(m_path);
        archive.InsertMany(c.indexes, c.texts, c.mode);
        EXPECT_EQ(ReadBytes(m_path), c.expected) << label;
        ExpectIndexedAsFresh(archive, label);
    }
}

TEST_F(Batch, insertManyRefused_leavesTheFileByteIdentical)
{
    struct Case {
        std::vector<int32_t> indexes;
        std::vector<std::string> texts;
        CArchiveError::Kind kind;
        std::string named; // part of the reason
    };
    using Kind = CArchiveError::Kind;
    const std::vector<Case> cases = {
        {{0}, {"x"}, Kind::BadIndex, "index 1 (0)"},
        {{2, 2}, {"x", "y"}, Kind::BadIndex, "index 2 (2)"},
        {{3, 1}, {"x", "y"}, Kind::BadIndex, "index 2 (1)"},
        {{4}, {"x"}, Kind::BadIndex, "out of range"},
        {{1, 5}, {"x", "y"}, Kind::BadIndex, "out of range"},
        {{1}, {"x", "y"}, Kind::BadIndex, "one index for each text"},
        {{1, 2}, {"x", "a\0b"s}, Kind::RefusedText, "Text 2 "},
        {{1, 2}, {"x\n%", "y"}, Kind::RefusedText, "Text 1 "},
        {{2, 3}, {"x", "y\n%\nz"}, Kind::RefusedText, "Text 2 "},
    };
    const std::string original = "H\n%\na\n%\nb";
    for (const Case& c : cases) {
        const std::string label =
            testing::PrintToString(c.indexes) + testing::PrintToString(c.texts);
        WriteBytes(m_path, original);
        CArchive archive;
        archive.Load(m_path);
        try {
            archive.InsertMany(c.indexes, c.texts, CArchive::AddMode::Exact);
            ADD_FAILURE() << label << " was not refused";
        } catch (const CArchiveError& error) {
            EXPECT_EQ(error.GetKind(), c.kind) << label;
            EXPECT_NE(std::string(error.what()).find(c.named), std::string::npos)
                << label << ": " << error.what();
        }
        EXPECT_EQ(ReadBytes(m_path), original) << label;
        EXPECT_EQ(archive.Count(), 2) << label;
    }
}

TEST_F(Batch, insertManyAfterAnotherProgramsChange_keepsItsFortunes)
{
    WriteBytes(m_path, "H\n%\none\n%\ntwo");
    CArchive archive;
    archive.Load(m_path);
    ASSERT_EQ(archive.Snapshot().Count(), 2);
    AppendOutside("\n%\nother");
    archive.InsertMany({2, 5}, {"new", "end"});
    EXPECT_EQ(ReadBytes(m_path), "H\n%\none\n%\nnew\n%\ntwo\n%\nother\n%\nend");
    EXPECT_EQ(archive.Item(4), "other");
    // Indexes the file no longer has room for refuse the whole insertion.
    WriteBytes(m_path, "H\n%\nonly");
    EXPECT_THROW(archive.InsertMany({1, 4}, {"x", "y"}), CArchiveError);
    EXPECT_EQ(ReadBytes(m_path), "H\n%\nonly");
}

// Insertions at the end of a file ending in a line of only "%" are read as a
// fresh read does; elsewhere the index is shifted in place.
TEST_F(Batch, insertManyAtEveryPlace_indexesAsAFreshReadDoes)
{
    const std::vector<std::string> files = {"",           "H",         "H\n%",      "H\n%\nA",
                                            "H\n%\nA\n%", "H\n%\nA\n", "\n%\n\n%\n"};
    const std::vector<std::vector<int32_t>> places = {{1}, {1, 2}, {2}, {1, 3}, {2, 3}};
    for (const std::string& file : files) {
        for (const std::vector<int32_t>& indexes : places) {
            WriteBytes(m_path, file);
            CArchive archive;
            archive.Load(m_path);
            const int32_t count = archive.Count();
            if (indexes.back() > count + static_cast<int32_t>(indexes.size()))
                continue;
            const std::string label =
                testing::PrintToString(file) + testing::PrintToString(indexes);
            archive.InsertMany(indexes, std::vector<std::string>(indexes.size(), "%\r\nnew"),
                               CArchive::AddMode::Exact);
            ExpectIndexedAsFresh(archive, label);
        }
    }
}

TEST_F(Batch, withNoArchiveOpen_changesFailAndSnapshotIsEmpty)
{
    CArchive archive;
    EXPECT_EQ(archive.Snapshot().Count(), 0);
    EXPECT_THROW(archive.AddMany({"x"}), CArchiveError);
    EXPECT_THROW(archive.AddMany({""}, CArchive::AddMode::Exact), CArchiveError);
    EXPECT_THROW(archive.DeleteMany({1}), CArchiveError);
    EXPECT_THROW(archive.InsertMany({1}, {"x"}), CArchiveError);
    archive.InsertMany({1}, {"\n"});
    archive.AddMany({"", "\r\n"});
    archive.DeleteMany({});
    archive.Load(m_path + ".missing");
    EXPECT_EQ(archive.Snapshot().Count(), 0);
}

} // namespace
