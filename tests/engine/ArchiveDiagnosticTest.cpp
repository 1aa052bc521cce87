// Failures the single operations pass over quietly reach the diagnostic hook
// with what failed, on which file and why, while the caller sees exactly what
// it saw without a hook.
#include "engine/CArchive.h"
#include "tests/engine/ArchiveFiles.h"
#include "tests/support/TempHome.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using zrv::CArchive;
using zrv::test::ReadBytes;
using zrv::test::WriteBytes;

constexpr char kOriginal[] = "H\n%\none\n%\ntwo";

std::vector<std::string> g_heard;

void Hear(const char* message)
{
    g_heard.emplace_back(message);
}

// Replaces "{path}", "{tmp}" and "{folder}" in `text`.
std::string Expand(std::string text, const std::string& folder)
{
    const std::pair<std::string, std::string> names[] = {{"{path}", folder + "/Proverbs"},
                                                         {"{tmp}", folder + "/Proverbs.zrv.tmp"},
                                                         {"{folder}", folder}};
    for (const auto& [name, value] : names)
        for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at))
            text.replace(at, name.size(), value);
    return text;
}

struct Dropped {
    const char* name;
    // Run with the archive loaded from {path} and the folder's path.
    std::function<void(CArchive&, const std::string&)> act;
    std::vector<std::string> heard;
    int32_t count; // what Count() answers afterwards
};

// A folder where the temporary file belongs: every rewrite is refused.
void BlockTemporary(const std::string& folder)
{
    std::filesystem::create_directory(folder + "/Proverbs.zrv.tmp");
}

const std::string kBlocked = "The temporary file was not removed ({tmp}): Is a directory";

const Dropped kDropped[] = {
    {"replaceRefused",
     [](CArchive& a, const std::string& f) { BlockTemporary(f), a.SetItem(1, "new"); },
     {kBlocked, "The fortune was not replaced ({path}): the archive could not be written (File "
                "exists)"},
     2},
    {"deleteRefused",
     [](CArchive& a, const std::string& f) { BlockTemporary(f), a.Delete(2); },
     {kBlocked, "The fortune was not deleted ({path}): the archive could not be written (File "
                "exists)"},
     2},
    {"headerRefused",
     [](CArchive& a, const std::string& f) { BlockTemporary(f), a.SetHeader("new"); },
     {kBlocked, "The header was not replaced ({path}): the archive could not be written (File "
                "exists)"},
     2},
    {"replaceOutOfRange",
     [](CArchive& a, const std::string&) { a.SetItem(3, "new"); },
     {"The fortune was not replaced ({path}): fortune 3 is out of range"},
     2},
    {"deleteOutOfRange",
     [](CArchive& a, const std::string&) { a.Delete(0); },
     {"The fortune was not deleted ({path}): fortune 0 is out of range"},
     2},
    {"renameOntoExistingFile",
     [](CArchive& a, const std::string& f) { WriteBytes(f + "/Other", "x"), a.Rename("Other"); },
     {"The archive was not renamed ({path}): File exists"},
     2},
    {"renameToPath",
     [](CArchive& a, const std::string&) { a.Rename("sub/Other"); },
     {"The archive was not renamed ({path}): not a bare file name"},
     2},
    {"appendToFolder",
     [](CArchive& a, const std::string& f) {
         std::filesystem::rename(f + "/Proverbs", f + "/Moved");
         std::filesystem::create_directory(f + "/Proverbs");
         a.Add("three");
     },
     {"The archive was not opened ({path}): Is a directory",
      "The fortune was not added ({path}): the archive file may not be written"},
     0},
    {"loadMissing",
     [](CArchive& a, const std::string& f) { a.Load(f + "/Missing"); },
     {"The archive was not opened ({folder}/Missing): No such file or directory"},
     0},
    {"loadFolder",
     [](CArchive& a, const std::string& f) { a.Load(f); },
     {"The archive was not opened ({folder}): Is a directory"},
     0},
    {"createInMissingFolder",
     [](CArchive& a, const std::string& f) { a.Create(f + "/none/New"); },
     {"The folder was not locked ({folder}/none): No such file or directory",
      "The archive was not created ({folder}/none/New): No such file or directory",
      "The archive was not opened ({folder}/none/New): No such file or directory"},
     0},
    {"changesWithNoArchiveOpen",
     [](CArchive& a, const std::string& f) {
         a.Load(f + "/Missing");
         g_heard.clear();
         a.Add("x");
         a.SetItem(1, "x");
         a.SetHeader("x");
         a.Rename("x");
     },
     {"The fortune was not added: no archive is open",
      "The fortune was not replaced: no archive is open",
      "The header was not replaced: no archive is open",
      "The archive was not renamed: no archive is open"},
     0},
};

class ArchiveDiagnostics : public testing::Test {
protected:
    void SetUp() override
    {
        m_folder = zrv::test::MakeTempDir("diag");
        m_path = m_folder + "/Proverbs";
        g_heard.clear();
    }
    void TearDown() override { CArchive::SetDiagnosticHook(nullptr); }

    // Runs `act` on a fresh archive; what the caller sees: the count, and
    // whether the archive bytes stayed.
    std::pair<int32_t, bool> Run(const std::function<void(CArchive&, const std::string&)>& act)
    {
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directory(m_folder);
        WriteBytes(m_path, kOriginal);
        CArchive archive;
        archive.Load(m_path);
        act(archive, m_folder);
        const int32_t count = archive.Count();
        const std::string kept =
            std::filesystem::is_regular_file(m_path) ? m_path : m_folder + "/Moved";
        return {count, ReadBytes(kept) == kOriginal};
    }

    std::string m_folder;
    std::string m_path;
};

TEST_F(ArchiveDiagnostics, droppedFailures_reachTheHookAndLeaveTheCallerAsBefore)
{
    for (const Dropped& c : kDropped) {
        SCOPED_TRACE(c.name);
        CArchive::SetDiagnosticHook(nullptr);
        const auto quiet = Run(c.act);
        CArchive::SetDiagnosticHook(&Hear);
        g_heard.clear();
        const auto heard = Run(c.act);
        std::vector<std::string> expected;
        for (const std::string& line : c.heard)
            expected.push_back(Expand(line, m_folder));
        EXPECT_EQ(g_heard, expected);
        EXPECT_EQ(heard, quiet);
        EXPECT_EQ(heard.first, c.count);
        EXPECT_TRUE(heard.second);
    }
}

TEST_F(ArchiveDiagnostics, successfulChanges_reportNothing)
{
    CArchive::SetDiagnosticHook(&Hear);
    const auto seen = Run([](CArchive& a, const std::string&) {
        a.Add("three");
        a.SetItem(1, "ONE");
        a.Delete(3);
        a.SetHeader("H");
        a.Rename("Renamed");
        a.Rename("Proverbs");
        a.AddMany({"three", "four"});
        a.DeleteMany({3, 4});
        a.SetItem(1, "one");
    });
    EXPECT_EQ(g_heard, std::vector<std::string>{});
    EXPECT_EQ(seen, std::make_pair(2, true));
}

TEST_F(ArchiveDiagnostics, throwingHook_leavesTheOperationQuiet)
{
    CArchive::SetDiagnosticHook([](const char*) { throw std::runtime_error("log full"); });
    EXPECT_NO_THROW(Run([](CArchive& a, const std::string& f) {
        BlockTemporary(f);
        a.SetItem(1, "new");
        a.Delete(7);
    }));
}

} // namespace
