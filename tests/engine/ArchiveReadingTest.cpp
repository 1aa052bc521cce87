// Reading archives: where separators are recognised, what the header and each
// fortune hold, and that the block scanner matches the byte-at-a-time reader.
#include "engine/CArchive.h"
#include "engine/CArchiveError.h"
#include "engine/CSeparatorScanner.h"
#include "tests/engine/ArchiveFiles.h"
#include "tests/engine/CReferenceRecognizer.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace std::string_literals;
using zrv::CArchive;
using zrv::CSeparatorScanner;

struct ReadingCase {
    const char* name;
    std::string bytes;
    std::string header;
    std::vector<std::string> fortunes; // raw stored texts
};

void PrintTo(const ReadingCase& c, std::ostream* os)
{
    *os << c.name;
}

const std::vector<ReadingCase> kReadingCases = {
    {"emptyFile", "", "", {}},
    {"textWithoutSeparator", "just a header\nof two lines\n", "just a header\nof two lines\n", {}},
    {"startsWithSeparator", "\n%\nA", "", {"A"}},
    {"twoFortunes",
     "Proverbs\n%\nLook before you leap.\n%\nA\r\nB",
     "Proverbs",
     {"Look before you leap.", "A\r\nB"}},
    {"onlyLastOfSeveralLineFeedsBelongs", "word\n\n%\nsecond", "word\n", {"second"}},
    {"endsWithSeparator", "H\n%\nA\n%\n", "H", {"A", ""}},
    {"onlySeparatorEndsFile", "Head\n%\n", "Head", {""}},
    {"closingLineFeedOpensNothing", "H\n%\n%\nx", "H", {"%\nx"}},
    {"chainOfPercentLines", "\n%\n%\n%\n", "", {"%", ""}},
    {"percentLineAtStartIsHeader", "%\nA\n%\nB", "%\nA", {"B"}},
    {"carriageReturnStaysWithText", "A\r\n%\nB", "A\r", {"B"}},
    {"percentThenCarriageReturnIsText", "A\n%\r\nB", "A\n%\r\nB", {}},
    {"crlfFileIsAllHeader",
     "Head\r\n%\r\nOne\r\n%\r\nTwo\r\n",
     "Head\r\n%\r\nOne\r\n%\r\nTwo\r\n",
     {}},
    {"percentNotAloneOnLine", "A\n%x\n%\nB", "A\n%x", {"B"}},
    {"unfinishedSeparatorAtEnd", "A\n%", "A\n%", {}},
    {"emptyFortunesInARow", "\n%\n\n%\n\n%\nz", "", {"", "", "z"}},
    {"highBytesAndNul", "\x80\xff\0\n%\n\0x\n%\n\xe9t\xe9"s, "\x80\xff\0"s, {"\0x"s, "\xe9t\xe9"}},
};

std::vector<std::string> FortunesOf(const std::string& bytes, const std::vector<int64_t>& offsets)
{
    std::vector<std::string> fortunes;
    for (size_t k = 0; k < offsets.size(); ++k) {
        const int64_t end =
            k + 1 < offsets.size() ? offsets[k + 1] - 3 : static_cast<int64_t>(bytes.size());
        fortunes.push_back(
            bytes.substr(static_cast<size_t>(offsets[k]), static_cast<size_t>(end - offsets[k])));
    }
    return fortunes;
}

class ReadingTable : public testing::TestWithParam<ReadingCase> {
protected:
    // Writes the case's bytes as an archive file and loads it; returns its path.
    std::string LoadCase(CArchive& archive) const
    {
        const std::string path = zrv::test::MakeTempDir("read") + "/Proverbs";
        zrv::test::WriteBytes(path, GetParam().bytes);
        archive.Load(path);
        return path;
    }
};

TEST_P(ReadingTable, referenceRecognizer_matchesExpected)
{
    const ReadingCase& c = GetParam();
    const zrv::test::CReferenceRecognizer reference(c.bytes);
    EXPECT_EQ(reference.Header(), c.header);
    EXPECT_EQ(FortunesOf(c.bytes, reference.Offsets()), c.fortunes);
}

TEST_P(ReadingTable, scanner_sameForEveryBlockSize)
{
    const ReadingCase& c = GetParam();
    for (size_t block : {size_t{1}, size_t{2}, size_t{3}, size_t{5}, size_t{4096}}) {
        CSeparatorScanner scanner;
        for (size_t at = 0; at < c.bytes.size(); at += block)
            scanner.Feed(c.bytes.data() + at, std::min(block, c.bytes.size() - at));
        EXPECT_EQ(scanner.Header(), c.header) << "block " << block;
        EXPECT_EQ(FortunesOf(c.bytes, scanner.Offsets()), c.fortunes) << "block " << block;
    }
}

TEST_P(ReadingTable, archive_handsOutHeaderAndFortunes)
{
    const ReadingCase& c = GetParam();
    CArchive archive;
    LoadCase(archive);
    ASSERT_EQ(archive.Count(), static_cast<int32_t>(c.fortunes.size()));
    EXPECT_EQ(archive.Header(), CArchive::ToCrLf(c.header.substr(0, c.header.find('\0'))));
    for (size_t k = 0; k < c.fortunes.size(); ++k) {
        const std::string& raw = c.fortunes[k];
        EXPECT_EQ(archive.Item(static_cast<int32_t>(k + 1)),
                  CArchive::ToCrLf(raw.substr(0, raw.find('\0'))))
            << "fortune " << k + 1;
    }
}

TEST_P(ReadingTable, rewriteWithSameHeader_reproducesFileByteForByte)
{
    const ReadingCase& c = GetParam();
    CArchive archive;
    const std::string path = LoadCase(archive);
    // A header that could not be written back as read (a NUL, a last line
    // of "%") is refused, and the file stays as it was all the same.
    const bool storable = c.header.find('\0') == std::string::npos && !c.header.ends_with("\n%");
    if (storable)
        archive.SetHeader(c.header);
    else
        EXPECT_THROW(archive.SetHeader(c.header), zrv::CArchiveError);
    EXPECT_EQ(zrv::test::ReadBytes(path), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(Bytes, ReadingTable, testing::ValuesIn(kReadingCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(Scanner, randomBytesInRandomBlocks_matchReference)
{
    std::mt19937 random(20261208);
    const char alphabet[] = {'\n', '%', '\r', 'a', '\n', '%'};
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(random() % 120, '\0');
        for (char& b : bytes)
            b = alphabet[random() % sizeof alphabet];
        const zrv::test::CReferenceRecognizer reference(bytes);
        CSeparatorScanner scanner;
        for (size_t at = 0; at < bytes.size();) {
            const size_t block = std::min<size_t>(1 + random() % 9, bytes.size() - at);
            scanner.Feed(bytes.data() + at, block);
            at += block;
        }
        ASSERT_EQ(scanner.Header(), reference.Header()) << testing::PrintToString(bytes);
        ASSERT_EQ(scanner.Offsets(), reference.Offsets()) << testing::PrintToString(bytes);
    }
}

TEST(Reading, longFortunes_readBackWhole)
{
    const std::string path = zrv::test::MakeTempDir("long") + "/Long";
    std::string middle(70000, 'm');
    std::string last(123457, 'l');
    middle[5000] = 'X';
    last[last.size() - 1] = 'Z';
    zrv::test::WriteBytes(path, "H\n%\n" + middle + "\n%\n" + last);
    CArchive archive;
    archive.Load(path);
    ASSERT_EQ(archive.Count(), 2);
    EXPECT_EQ(archive.Item(1), middle);
    EXPECT_EQ(archive.Item(2), last);
}

TEST(Reading, missingFileOrFolder_leavesNoArchiveOpen)
{
    const std::string folder = zrv::test::MakeTempDir("none");
    for (const std::string& path : {folder + "/absent", folder}) {
        CArchive archive;
        archive.Load(path);
        EXPECT_EQ(archive.Count(), 0) << path;
        EXPECT_EQ(archive.Name(), "") << path;
        EXPECT_EQ(archive.Item(1), "") << path;
        EXPECT_EQ(archive.Header(), "") << path;
    }
}

// Opening a FIFO for reading or writing would wait for its other end.
TEST(Reading, fifo_isRefusedAtOnceLikeAMissingFile)
{
    const std::string fifo = zrv::test::MakeTempDir("fifo") + "/Pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int status = zrv::test::RunInChild([&] {
        ::alarm(20);
        CArchive loaded;
        loaded.Load(fifo);
        CArchive added;
        added.Create(fifo);
        added.Add("text");
        CArchive headed;
        headed.Create(fifo);
        headed.SetHeader("H");
        for (CArchive* archive : {&loaded, &added, &headed}) {
            if (archive->Count() != 0 || !archive->Name().empty())
                return 1;
        }
        return 0;
    });
    EXPECT_EQ(status, 0) << "-1: blocked until the alarm";
}

struct TextCase {
    std::string in;
    std::string out;
};

TEST(Text, toCrLf_addsCarriageReturnsOnlyWhereMissing)
{
    const std::vector<TextCase> cases = {
        {"", ""},
        {"a", "a"},
        {"a\nb", "a\r\nb"},
        {"a\r\nb", "a\r\nb"},
        {"\n\n", "\r\n\r\n"},
        {"a\rb", "a\rb"},
        {"\r\r\n\n", "\r\r\n\r\n"},
        {"x\n", "x\r\n"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(CArchive::ToCrLf(c.in), c.out) << testing::PrintToString(c.in);
}

TEST(Text, trimLineBreaks_cutsOnlyLineBreaksAtBothEnds)
{
    const std::vector<TextCase> cases = {
        {"", ""},           {"\r\n\r\n", ""},   {"\n", ""},
        {"\r\nx\r\n", "x"}, {" x \t", " x \t"}, {"\n\ra\r\n\r\nb\n\n\r", "a\r\n\r\nb"},
        {"a", "a"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(CArchive::TrimLineBreaks(c.in), c.out) << testing::PrintToString(c.in);
}

} // namespace
