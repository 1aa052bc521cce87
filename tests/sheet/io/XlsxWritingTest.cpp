// The xlsx writer, checked through the project's own reader: what is written
// comes back unchanged, over-long texts are refused, nothing is replaced.

#include "sheet/io/WorkbookFiles.h"
#include "tests/sheet/io/CellValues.h"
#include "tests/sheet/io/ZipFiles.h"
#include "tests/support/TempHome.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace zrv::sheet {
namespace {

namespace fs = std::filesystem;

WorkbookData ExportLikeWorkbook()
{
    WorkbookData workbook;
    SheetData first;
    first.name = "Sheet1";
    first.cells = {
        {{1, 1}, Text("One line")},
        {{2, 1}, Text("First line\r\nSecond line\r\n\r\nafter a blank line\r\n")},
        {{3, 1}, Text("   leading and trailing spaces  ")},
        {{4, 1},
         Text("Gr\xC3\xB6\xC3\x9F"
              "e \xE2\x80\x93 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80")},
        {{5, 1}, Text("tab\there, <markup> & \"quotes\", _x0041_ stays, lone\rCR, \x01")},
        {{6, 1}, Number(42)},
        {{7, 1}, Number(3.5)},
        {{8, 1}, Boolean(true)},
        {{9, 1}, Boolean(false)},
        // row 10 stays empty
        {{11, 1}, Text("after the gap")},
        {{11, 3}, Number(-0.25)},
        {{12, 1}, Error("#DIV/0!")},
    };
    for (uint32_t row = 1; row <= 5; ++row)
        first.rowHeights[row] = 30;
    first.columnWidths[1] = 60;
    first.activeCell = {1, 2};
    SheetData second;
    second.name = "Second";
    second.cells = {{{1, 1}, Text("on the second sheet")}};
    second.activeCell = {7, 3};
    workbook.sheets = {first, second};
    return workbook;
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(XlsxWriting, writeThenRead_givesBackValuesLayoutAndActiveCell)
{
    const std::string folder = test::MakeTempDir("xlsx");
    for (const std::size_t active : {0u, 1u}) {
        WorkbookData written = ExportLikeWorkbook();
        written.activeSheet = active;
        const std::string path = folder + "/Book" + std::to_string(active) + ".xlsx";
        std::string error;
        ASSERT_TRUE(WriteXlsxFile(written, path, error)) << error;

        const std::string strings = test::ReadZipEntry(path, "xl/sharedStrings.xml");
        EXPECT_NE(strings.find("First line\nSecond line\n\nafter a blank line\n<"),
                  std::string::npos)
            << "line breaks are single LFs in the file";
        EXPECT_EQ(strings.find_first_of("\r"), std::string::npos);

        const mode_t mask = umask(0);
        umask(mask);
        EXPECT_EQ(fs::status(path).permissions(), fs::perms(0666 & ~mask))
            << "an ordinary new file, not a private temporary one";

        const auto read = ReadWorkbookFile(path, error);
        ASSERT_TRUE(read) << error;
        EXPECT_EQ(read->activeSheet, active);
        ASSERT_EQ(read->sheets.size(), 2u);
        for (std::size_t i = 0; i < 2; ++i) {
            const SheetData& got = read->sheets[i];
            const SheetData& want = written.sheets[i];
            EXPECT_EQ(got.name, want.name);
            EXPECT_EQ(got.cells, want.cells) << "sheet " << i;
            EXPECT_EQ(got.rowHeights, want.rowHeights) << "sheet " << i;
            EXPECT_EQ(got.columnWidths, want.columnWidths) << "sheet " << i;
            EXPECT_EQ(got.activeCell, want.activeCell) << "sheet " << i;
        }
    }
}

TEST(XlsxWriting, textOverCellLimitOrUnknownError_isRefusedAndNothingIsWritten)
{
    const std::string folder = test::MakeTempDir("xlsx");
    std::string emoji;
    for (int i = 0; i < 16384; ++i)
        emoji += "\xF0\x9F\x98\x80"; // two UTF-16 units each
    struct Case {
        std::string text;
        std::string error; // empty: written
    };
    const Case cases[] = {
        // a CR LF is one character in the file
        {std::string(32766, 'x') + "\r\n", ""},
        {std::string(32768, 'x'), "cell A3 holds 32768 characters; a cell holds at most 32767"},
        {emoji, "cell A3 holds 32768 characters; a cell holds at most 32767"},
        {"bad \xC3 UTF-8", "cell A3 holds text that is not valid UTF-8"},
        {"", "cell A3 holds the unknown error value \"#BOGUS\""},
    };
    int n = 0;
    for (const Case& c : cases) {
        WorkbookData workbook;
        workbook.sheets.resize(1);
        workbook.sheets[0].cells[{3, 1}] = c.text.empty() ? Error("#BOGUS") : Text(c.text);
        const std::string path = folder + "/long" + std::to_string(n++) + ".xlsx";
        std::string error;
        EXPECT_EQ(WriteXlsxFile(workbook, path, error), c.error.empty()) << path;
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(fs::exists(path), c.error.empty());
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
        << "a refused write leaves no file behind";
}

TEST(XlsxWriting, existingTarget_isNeverReplaced)
{
    const std::string folder = test::MakeTempDir("xlsx");
    const std::string path = folder + "/Book1.xlsx";
    std::ofstream(path) << "the user's own file";
    WorkbookData workbook;
    workbook.sheets.resize(1);
    std::string error;
    EXPECT_FALSE(WriteXlsxFile(workbook, path, error));
    EXPECT_EQ(error, path + " already exists");
    EXPECT_EQ(ReadBytes(path), "the user's own file");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

// Another user of a shared folder: every regular file that appears in it
// (but the target) is at once replaced by a link to a file elsewhere.
class LinkPlanter final {
public:
    LinkPlanter(const std::string& folder, const std::string& spared, const std::string& outside)
        : m_inotify(inotify_init1(IN_CLOEXEC | IN_NONBLOCK))
    {
        EXPECT_GE(inotify_add_watch(m_inotify, folder.c_str(), IN_CREATE), 0);
        m_thread = std::thread([=, this] { Run(folder, spared, outside); });
    }
    ~LinkPlanter()
    {
        m_stop = true;
        m_thread.join();
        close(m_inotify);
    }
    LinkPlanter(const LinkPlanter&) = delete;
    LinkPlanter& operator=(const LinkPlanter&) = delete;

private:
    void Run(const std::string& folder, const std::string& spared, const std::string& outside)
    {
        alignas(inotify_event) char buffer[4096];
        while (!m_stop) {
            pollfd waiting{m_inotify, POLLIN, 0};
            if (poll(&waiting, 1, 10) <= 0)
                continue;
            const ssize_t got = read(m_inotify, buffer, sizeof buffer);
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                const std::string path = folder + "/" + event->name;
                if (event->len == 0 || path == spared ||
                    !fs::is_regular_file(fs::symlink_status(path)))
                    continue;
                fs::remove(path);
                fs::create_symlink(outside, path);
            }
        }
    }

    int m_inotify;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// The workbook is written where nobody else can put a link in its place, and
// whatever happens, only the target is left in the folder.
TEST(XlsxWriting, linksPlantedWhileWriting_areNeverFollowed_andNothingIsLeftBehind)
{
    const std::string outside = test::MakeTempDir("outside") + "/victim.xlsx";
    WorkbookData large;
    large.sheets.resize(1);
    for (uint32_t row = 1; row <= 30000; ++row)
        large.sheets[0].cells[{row, 1}] = Text("row " + std::to_string(row));
    WorkbookData badName;
    badName.sheets.resize(1);
    badName.sheets[0].name = "no[brackets]";
    const struct {
        const WorkbookData* workbook;
        bool written;
    } cases[] = {{&large, true}, {&badName, false}};
    for (const auto& c : cases) {
        const std::string folder = test::MakeTempDir("shared");
        const std::string path = folder + "/Book1.xlsx";
        std::string error;
        {
            const LinkPlanter planter(folder, path, outside);
            EXPECT_EQ(WriteXlsxFile(*c.workbook, path, error), c.written) << error;
        }
        EXPECT_FALSE(fs::exists(fs::symlink_status(outside)));
        EXPECT_EQ(fs::is_regular_file(fs::symlink_status(path)), c.written);
        if (c.written) {
            const std::optional<WorkbookData> read = ReadWorkbookFile(path, error);
            ASSERT_TRUE(read) << error;
            EXPECT_EQ(read->sheets.at(0).cells.size(), large.sheets[0].cells.size());
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()),
                  c.written ? 1 : 0);
    }
}

} // namespace
} // namespace zrv::sheet
