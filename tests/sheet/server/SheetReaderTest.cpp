// Workbooks.Open reads files in the locked-down reader program: every way
// that process can end is one DISP_E_EXCEPTION with a description a person
// understands, nothing of a failed read reaches the workbooks, and no process
// or descriptor is left behind.

#include "tests/sheet/io/ZipFiles.h"
#include "tests/sheet/server/SheetCaller.h"
#include "tests/support/TempHome.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <QString>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using zrv::test::Call;
using zrv::test::CallResult;
using zrv::test::GetObject;
using zrv::test::Variant;

constexpr WORD kMethod = DISPATCH_METHOD;
constexpr WORD kGet = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

std::string Utf8(const std::u16string& text)
{
    return QString::fromStdU16String(text).toStdString();
}

std::u16string Wide(const std::string& text)
{
    return QString::fromStdString(text).toStdU16String();
}

long PeakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

std::size_t OpenDescriptors()
{
    const auto entries = std::filesystem::directory_iterator("/proc/self/fd");
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

// No child of this process is left, running or unreaped.
bool NoChildren()
{
    siginfo_t info{};
    return waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) != 0 && errno == ECHILD;
}

class Reader : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("ZRV_SHEET_READER", ZRV_FAULTY_READER, 1);
        setenv("ZRV_SHEET_READER_SECONDS", "2", 1);
        unsetenv("ZRV_SHEET_READER_MIB");
        m_application = zrv::test::CreateSheetApplication();
        ASSERT_TRUE(m_application);
        m_books = GetObject(m_application.get(), DISPID_XL_WORKBOOKS);
        m_folder = zrv::test::MakeTempDir("reader");
    }
    void TearDown() override
    {
        for (const char* name :
             {"ZRV_SHEET_READER", "ZRV_SHEET_READER_SECONDS", "ZRV_SHEET_READER_MIB"})
            unsetenv(name);
    }

    std::string File(const std::string& name, const std::string& bytes)
    {
        const std::string path = m_folder + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    CallResult Open(const std::string& path)
    {
        return Call(m_books.get(), u"Open", kMethod, {Variant::Text(Wide(path))});
    }

    LONG BookCount() { return Call(m_books.get(), u"Count", kGet).value->lVal; }

    // Column A of the active sheet, down to the first empty cell.
    std::vector<std::string> ColumnA()
    {
        const ComPtr<IDispatch> sheet = GetObject(m_application.get(), DISPID_XL_ACTIVE_SHEET);
        std::vector<std::string> texts;
        for (int row = 1;; ++row) {
            const std::u16string address = u"A" + QString::number(row).toStdU16String();
            const CallResult value =
                Call(GetObject(sheet.get(), DISPID_XL_RANGE, {Variant::Text(address)}).get(),
                     u"Value", kGet);
            if (value.value->vt != VT_BSTR)
                return texts;
            texts.push_back(Utf8(value.value.text()));
        }
    }

    // Opens the file and expects it to fail with `reason` after the file's
    // name, leaving no workbook, child process or descriptor behind.
    void ExpectRefused(const std::string& path, const std::string& reason)
    {
        const LONG books = BookCount();
        const std::size_t descriptors = OpenDescriptors();
        const CallResult open = Open(path);
        EXPECT_EQ(open.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(Utf8(open.description),
                  "The workbook '" + path + "' cannot be opened: " + reason);
        EXPECT_EQ(BookCount(), books);
        EXPECT_EQ(OpenDescriptors(), descriptors);
        EXPECT_TRUE(NoChildren());
    }

    ComPtr<IDispatch> m_application;
    ComPtr<IDispatch> m_books;
    std::string m_folder;
};

TEST_F(Reader, everyEnding_isOneReasonAndLeavesNothingBehind)
{
    const std::pair<const char*, const char*> endings[] = {
        {"zrv-reader-test:crash", "the reader stopped (signal 11)"},
        {"zrv-reader-test:stall", "reading it took longer than 2 s"},
        {"zrv-reader-test:memory", "it needs more memory than a spreadsheet file may take"},
        {"zrv-reader-test:garbage",
         "the reader's answer is damaged (more sheets than the limits allow)"},
        // The file's own reason, as the file layer gives it.
        {"caf\xE9\n", "not a spreadsheet file (neither xlsx, xls, ods nor UTF-8 text)"},
    };
    for (const auto& [bytes, reason] : endings) {
        SCOPED_TRACE(reason);
        ExpectRefused(File("file.xlsx", bytes), reason);
    }
}

TEST_F(Reader, fileIsCheckedHere_readerIsNeverStartedForIt)
{
    const std::string fifo = m_folder + "/pipe.xlsx";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ExpectRefused(fifo, fifo + " is not a file");
    ExpectRefused(m_folder, m_folder + " is not a file");
    setenv("ZRV_SHEET_READER", (m_folder + "/no-reader").c_str(), 1);
    const std::string csv = File("plain.csv", "a\n");
    ExpectRefused(csv, "the spreadsheet reader cannot be started (" + m_folder +
                           "/no-reader: No such file or directory)");
}

// The locked-down reader cannot open a file, create one, a socket or a
// process, or be traced, but may run threads, whatever the file's format; an
// xls file is read in that state, its code page texts too.
TEST_F(Reader, lockedDownReader_cannotOpenFilesSocketsOrPrograms)
{
    const std::vector<std::string> refused = {
        "open: Operation not permitted",   "create: Operation not permitted",
        "socket: Operation not permitted", "network: Operation not permitted",
        "exec: Operation not permitted",   "fork: Operation not permitted",
        "ptrace: Operation not permitted", "thread: allowed",
    };
    ASSERT_EQ(Open(File("probe.csv", "zrv-reader-test:probe")).hr, S_OK);
    EXPECT_EQ(ColumnA(), refused);

    // The same outcomes, then the file's texts: the faulty reader probes,
    // then reads an Excel 95 file whose class id asks for that, in one process.
    std::ifstream xlsFile(ZRV_SHEET_TEST_DATA "/gnumeric-codepage.xls", std::ios::binary);
    std::string xls{std::istreambuf_iterator<char>(xlsFile), {}};
    ASSERT_GT(xls.size(), 512u);
    xls.replace(8, 16, "zrv-reader-test:");
    ASSERT_EQ(Open(File("probe-then-read.xls", xls)).hr, S_OK);
    std::vector<std::string> read = refused;
    for (const char* text : {"caf\xC3\xA9",
                             "Gr\xC3\xB6\xC3\x9F"
                             "e \xE2\x80\x93 \xC3\xBCn\xC3\xAF"
                             "c\xC3\xB6"
                             "d\xC3\xA9",
                             "plain", "\xE2\x82\xAC sign \xE2\x80\xB0", "line one\r\nline two",
                             "\xE2\x80\x9Equotes\xE2\x80\x9C \xE2\x80\x98single\xE2\x80\x99"})
        read.push_back(text);
    EXPECT_EQ(ColumnA(), read);
    EXPECT_TRUE(NoChildren());
}

// The real reader, as installed beside the library: every format reads, an
// answer larger than the pipe comes whole, and its limits hold (here its
// address space, lowered for the test).
TEST_F(Reader, installedReader_readsEachFormat_withinItsAddressSpace)
{
    unsetenv("ZRV_SHEET_READER");
    std::string rows;
    std::vector<std::string> texts;
    for (int r = 1; r <= 12000; ++r) {
        texts.push_back("text " + std::to_string(r) + std::string(100, 'x'));
        rows += "<row r=\"" + std::to_string(r) + "\"><c r=\"A" + std::to_string(r) +
                "\" t=\"inlineStr\"><is><t>" + texts.back() + "</t></is></c></row>";
    }
    const std::string xlsx = File("big.xlsx", zrv::test::ZipBytes(zrv::test::XlsxPackage(rows)));
    ASSERT_EQ(Open(xlsx).hr, S_OK);
    EXPECT_EQ(ColumnA(), texts);

    std::ifstream xlsFile(ZRV_SHEET_TEST_DATA "/columnA.xls", std::ios::binary);
    const std::string xlsBytes{std::istreambuf_iterator<char>(xlsFile), {}};
    ASSERT_EQ(Open(File("columnA.xls", xlsBytes)).hr, S_OK);
    EXPECT_EQ(ColumnA(), (std::vector<std::string>{"Text one", "Line one\r\nLine two"}));

    setenv("ZRV_SHEET_READER_MIB", "1", 1);
    ExpectRefused(xlsx, "it needs more memory than a spreadsheet file may take");
}

// A reader is started for every file: it loads only C libraries, none whose
// start binds thousands of C++ symbols or runs a toolkit's constructors.
TEST_F(Reader, reader_loadsNoCxxOrToolkitLibrary)
{
    ASSERT_EQ(Open(File("libraries.csv", "zrv-reader-test:libraries")).hr, S_OK);
    const std::vector<std::string> libraries = ColumnA();
    EXPECT_NE(std::find_if(libraries.begin(), libraries.end(),
                           [](const std::string& name) { return name.starts_with("libc.so"); }),
              libraries.end());
    for (const std::string& name : libraries) {
        for (const char* heavy : {"libstdc++", "liborcus", "libboost", "libQt", "libixion"})
            EXPECT_FALSE(name.starts_with(heavy)) << name;
    }
}

// Tiny files that make a parser take gigabytes end as a reason, and the
// caller's memory stays where it was: the parsing happens elsewhere.
TEST_F(Reader, memoryBombs_endAsReasons_callerStaysSmall)
{
    unsetenv("ZRV_SHEET_READER");
    setenv("ZRV_SHEET_READER_MIB", "256", 1);
    std::string deep;
    for (int i = 0; i < 8000000; ++i)
        deep += "<a>";
    const std::pair<const char*, std::string> bombs[] = {
        {"array formula over a whole sheet",
         zrv::test::ZipBytes(zrv::test::XlsxPackage(
             R"(<row r="1"><c r="A1"><f t="array" ref="A1:XFD16384">1</f><v>1</v></c></row>)"))},
        {"ods nested 8 million deep",
         zrv::test::ZipBytes({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                              {"content.xml", deep}})},
    };
    deep = std::string();
    for (const auto& [what, bytes] : bombs) {
        SCOPED_TRACE(what);
        const std::string path = File("bomb", bytes);
        const long before = PeakResidentKiB();
        const CallResult open = Open(path);
        EXPECT_EQ(open.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(Utf8(open.description).find('\n'), std::string::npos);
        EXPECT_LT(PeakResidentKiB() - before, 300 * 1024);
        EXPECT_TRUE(NoChildren());
    }
}

} // namespace
