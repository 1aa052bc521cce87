// Operations of the archive object: what each writes, round trips through the
// format, and the quiet states of bad indexes and missing files.
#include "engine/CArchive.h"
#include "engine/CArchiveError.h"
#include "tests/engine/ArchiveFiles.h"
#include "tests/support/TempHome.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
using zrv::CArchive;
using zrv::CArchiveError;
using zrv::test::ReadBytes;
using zrv::test::WriteBytes;

class Operations : public testing::Test {
protected:
    void SetUp() override
    {
        m_folder = zrv::test::MakeTempDir("ops");
        m_path = m_folder + "/Proverbs";
    }

    // An archive of header "H" and the fortunes one, two, three.
    void MakeThree()
    {
        WriteBytes(m_path, "H\n%\none\n%\ntwo\n%\nthree");
        m_archive.Load(m_path);
    }

    std::string m_folder;
    std::string m_path;
    CArchive m_archive;
};

TEST_F(Operations, createHeaderAndAdds_writeTheDocumentedBytes)
{
    m_archive.Create(m_path);
    m_archive.SetHeader("Proverbs");
    m_archive.Add("Look before you leap.");
    m_archive.Add("A\r\nB");
    EXPECT_EQ(ReadBytes(m_path), "Proverbs\n%\nLook before you leap.\n%\nA\r\nB");
    EXPECT_EQ(ReadBytes(m_path).size(), 39u);
    EXPECT_EQ(m_archive.Count(), 2);
}

TEST_F(Operations, create_emptiesExistingArchiveAndKeepsItOpen)
{
    MakeThree();
    CArchive fresh;
    fresh.Create(m_path);
    EXPECT_EQ(ReadBytes(m_path), "");
    EXPECT_EQ(fresh.Name(), "Proverbs");
    EXPECT_EQ(fresh.Count(), 0);
    EXPECT_EQ(fresh.Name(), "Proverbs");
    fresh.Add("first");
    EXPECT_EQ(ReadBytes(m_path), "\n%\nfirst");
}

TEST_F(Operations, roundTrip_newObjectReadsWhatWasWritten)
{
    const std::vector<std::string> fortunes = {"Look before you leap.", "A\r\nB",
                                               "tab\tand  spaces", "\xe4\xf6\xfc \xc3\xa9",
                                               "100% sure\r\n%ok"};
    m_archive.Create(m_path);
    m_archive.SetHeader("Head line\r\nsecond");
    for (const std::string& text : fortunes)
        m_archive.Add(text);
    CArchive reader;
    reader.Load(m_path);
    ASSERT_EQ(reader.Count(), static_cast<int32_t>(fortunes.size()));
    EXPECT_EQ(reader.Header(), "Head line\r\nsecond");
    for (size_t k = 0; k < fortunes.size(); ++k)
        EXPECT_EQ(reader.Item(static_cast<int32_t>(k + 1)), fortunes[k]);
}

// Texts the format cannot hold so that they read back as given are refused
// whole, by every writing call, before anything is written.
TEST_F(Operations, unstorableTexts_areRefusedAndLeaveTheFileAsItWas)
{
    const std::vector<std::string> refused = {"a\r\n%",  "a\n%",         "x\r\n\r\n%", "x\n\n%",
                                              "a\n%\nb", "a\r\n%\nb",    "a\0hidden"s, "\0"s,
                                              "%\n%\nb", "a\r\nb\r\n%\n"};
    for (const std::string& text : refused) {
        MakeThree();
        const std::string before = ReadBytes(m_path);
        const auto expectRefused = [&](const auto& call, const char* name) {
            try {
                call();
                ADD_FAILURE() << name << " took " << testing::PrintToString(text);
            } catch (const CArchiveError& error) {
                EXPECT_EQ(error.GetKind(), CArchiveError::Kind::RefusedText);
                EXPECT_NE(std::string(error.what()).find("cannot be stored"), std::string::npos);
            }
            EXPECT_EQ(ReadBytes(m_path), before) << name << " " << testing::PrintToString(text);
        };
        expectRefused([&] { m_archive.Add(text); }, "Add");
        expectRefused([&] { m_archive.SetItem(2, text); }, "SetItem");
        expectRefused([&] { m_archive.SetHeader(text); }, "SetHeader");
        expectRefused([&] { m_archive.AddMany({"fine", text}); }, "AddMany");
        EXPECT_EQ(m_archive.Count(), 3);
    }
    // Fortunes are judged as trimmed.
    EXPECT_THROW(m_archive.Add("a\r\n%\r\n\r\n"), CArchiveError);
    // Texts that look close but read back exactly are stored.
    m_archive.Create(m_path);
    const std::vector<std::string> stored = {"%", "%\r\nx", "a\r%", "a\n%\r\nb", "100%"};
    for (const std::string& text : stored)
        m_archive.Add(text);
    m_archive.SetHeader("%\nH\n");
    CArchive reader;
    reader.Load(m_path);
    ASSERT_EQ(reader.Count(), static_cast<int32_t>(stored.size()));
    for (size_t k = 0; k < stored.size(); ++k)
        EXPECT_EQ(reader.Item(static_cast<int32_t>(k + 1)), CArchive::ToCrLf(stored[k]));
    EXPECT_EQ(reader.Header(), "%\r\nH\r\n");
}

TEST_F(Operations, outOfRangeIndexes_areQuietAndChangeNothing)
{
    MakeThree();
    const std::string before = ReadBytes(m_path);
    for (const int32_t index : {0, -1, -2147483647 - 1, 4, 2147483647}) {
        EXPECT_EQ(m_archive.Item(index), "") << index;
        m_archive.Delete(index);
        m_archive.SetItem(index, "new");
        EXPECT_EQ(ReadBytes(m_path), before) << index;
    }
    EXPECT_EQ(m_archive.Count(), 3);
}

TEST_F(Operations, setItem_replacesTrimmedTextInPlace)
{
    MakeThree();
    m_archive.SetItem(2, "\r\nTWO\r\nlines\r\n");
    EXPECT_EQ(ReadBytes(m_path), "H\n%\none\n%\nTWO\r\nlines\n%\nthree");
    m_archive.SetItem(3, "last");
    EXPECT_EQ(ReadBytes(m_path), "H\n%\none\n%\nTWO\r\nlines\n%\nlast");
}

TEST_F(Operations, setItemWithLineBreaksOnly_deletesTheFortune)
{
    MakeThree();
    m_archive.SetItem(1, "\r\n\n\r");
    EXPECT_EQ(ReadBytes(m_path), "H\n%\ntwo\n%\nthree");
    EXPECT_EQ(m_archive.Count(), 2);
}

TEST_F(Operations, delete_movesLaterFortunesDownAndKeepsHeader)
{
    MakeThree();
    m_archive.Delete(2);
    EXPECT_EQ(m_archive.Count(), 2);
    EXPECT_EQ(m_archive.Item(2), "three");
    EXPECT_EQ(m_archive.Header(), "H");
    m_archive.Delete(2);
    m_archive.Delete(1);
    EXPECT_EQ(ReadBytes(m_path), "H");
    EXPECT_EQ(m_archive.Count(), 0);
}

TEST_F(Operations, addOfNothing_leavesFileUnchanged)
{
    MakeThree();
    const std::string before = ReadBytes(m_path);
    for (const std::string text : {"", "\r\n", "\n\n\r\r"})
        m_archive.Add(text);
    EXPECT_EQ(ReadBytes(m_path), before);
    m_archive.Add("\r\nx\r\n");
    EXPECT_EQ(ReadBytes(m_path), before + "\n%\nx");
    EXPECT_EQ(m_archive.Count(), 4);
}

TEST_F(Operations, header_roundTripsAndIsWrittenAsGiven)
{
    MakeThree();
    m_archive.SetHeader("a\r\nb\r\n");
    EXPECT_EQ(m_archive.Header(), "a\r\nb\r\n");
    m_archive.SetHeader("\r\nbare\nfeeds\n");
    EXPECT_EQ(m_archive.Header(), "\r\nbare\r\nfeeds\r\n");
    EXPECT_EQ(ReadBytes(m_path), "\r\nbare\nfeeds\n\n%\none\n%\ntwo\n%\nthree");
    m_archive.SetHeader("");
    EXPECT_EQ(ReadBytes(m_path), "\n%\none\n%\ntwo\n%\nthree");
}

TEST_F(Operations, withNoArchiveOpen_everythingIsQuiet)
{
    m_archive.Add("x");
    m_archive.SetHeader("h");
    m_archive.SetItem(1, "x");
    m_archive.Delete(1);
    m_archive.Rename("Other");
    EXPECT_EQ(m_archive.Count(), 0);
    EXPECT_EQ(m_archive.Name(), "");
    EXPECT_EQ(m_archive.Item(1), "");
    EXPECT_TRUE(zrv::test::FolderEntries(m_folder).empty());
}

TEST_F(Operations, name_isTextAfterLastSlashOrBackslash)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"C:\\Data\\Proverbs", "Proverbs"},
        {m_folder + "/Proverbs", "Proverbs"},
        {"Plain", "Plain"},
        {"dir/a\\b", "b"},
    };
    for (const auto& [path, name] : cases) {
        CArchive archive;
        archive.Create(path.find('/') == 0 ? path : m_folder + "/" + path);
        EXPECT_EQ(archive.Name(), name) << path;
    }
}

TEST_F(Operations, vanishedFile_leavesNoArchiveOpen)
{
    MakeThree();
    ASSERT_EQ(m_archive.Count(), 3);
    std::remove(m_path.c_str());
    EXPECT_EQ(m_archive.Count(), 0);
    EXPECT_EQ(m_archive.Name(), "");
    EXPECT_EQ(m_archive.Item(1), "");
}

TEST_F(Operations, anotherProgramAppending_isSeenByNextCount)
{
    MakeThree();
    ASSERT_EQ(m_archive.Count(), 3);
    std::ofstream(m_path, std::ios::binary | std::ios::app) << "\n%\nfour";
    EXPECT_EQ(m_archive.Count(), 4);
    EXPECT_EQ(m_archive.Item(4), "four");
}

TEST_F(Operations, rename_movesArchiveWithinItsFolder)
{
    MakeThree();
    m_archive.Rename("Sayings");
    EXPECT_EQ(m_archive.Name(), "Sayings");
    EXPECT_EQ(zrv::test::FolderEntries(m_folder), std::vector<std::string>{"Sayings"});
    EXPECT_EQ(m_archive.Count(), 3);
    m_archive.Add("four");
    EXPECT_EQ(ReadBytes(m_folder + "/Sayings"), "H\n%\none\n%\ntwo\n%\nthree\n%\nfour");
}

TEST_F(Operations, renameOntoExistingFile_changesNothingAndKeepsName)
{
    MakeThree();
    WriteBytes(m_folder + "/Other", "other bytes");
    const std::string before = ReadBytes(m_path);
    m_archive.Rename("Other");
    EXPECT_EQ(m_archive.Name(), "Proverbs");
    EXPECT_EQ(ReadBytes(m_folder + "/Other"), "other bytes");
    EXPECT_EQ(ReadBytes(m_path), before);
    EXPECT_EQ(m_archive.Count(), 3);
}

TEST_F(Operations, failedRename_keepsOldName)
{
    MakeThree();
    for (const std::string name : {"", "sub/Name", "..", "missing/x"}) {
        m_archive.Rename(name);
        EXPECT_EQ(m_archive.Name(), "Proverbs") << name;
        EXPECT_EQ(m_archive.Count(), 3) << name;
    }
    EXPECT_EQ(zrv::test::FolderEntries(m_folder), std::vector<std::string>{"Proverbs"});
}

} // namespace
