// Workbooks shown in the desktop's spreadsheet program: the editor's export
// sequence, when a workbook is written and opened, and when it never is.

#include "desktop/ShellExecute.h"
#include "sheet/io/WorkbookFiles.h"
#include "tests/sheet/io/ZipFiles.h"
#include "tests/sheet/server/SheetCaller.h"
#include "tests/support/ScriptedShell.h"
#include "tests/support/TempHome.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QStandardPaths>
#include <sstream>

namespace {

using zrv::sheet::CellKind;
using zrv::sheet::CellRef;
using zrv::sheet::ReadWorkbookFile;
using zrv::sheet::SheetData;
using zrv::sheet::WorkbookData;
using zrv::test::Call;
using zrv::test::GetObject;
using zrv::test::Put;
using zrv::test::Variant;

constexpr WORD kMethod = DISPATCH_METHOD;
constexpr WORD kGet = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

std::string Utf8(const std::u16string& text)
{
    return QString::fromStdU16String(text).toStdString();
}

std::string Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class Presentation : public testing::Test {
protected:
    void SetUp() override
    {
        zrv::test::UseDesktop(true, "calc.desktop");
        std::filesystem::remove_all(Documents());
    }

    static std::string Documents()
    {
        return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
    }

    // The editor's export: start settings, Visible, a new workbook whose
    // object is dropped at once, its sheet filled, column A 60 wide, B1
    // active. Nothing is shown while the sheet is held.
    void Export(IDispatch* application, const std::vector<std::u16string>& texts)
    {
        const size_t shown = m_shell.requests().size();
        Put(application, DISPID_XL_SHEETS_IN_NEW_WORKBOOK, Variant::Long(1));
        Put(application, DISPID_XL_SCREEN_UPDATING, Variant::Bool(true));
        Put(application, DISPID_XL_INTERACTIVE, Variant::Bool(true));
        Put(application, DISPID_XL_VISIBLE, Variant::Bool(true));
        EXPECT_EQ(Call(GetObject(application, DISPID_XL_WORKBOOKS).get(), u"Add", kMethod).hr,
                  S_OK);
        ComPtr<IDispatch> sheet = GetObject(application, DISPID_XL_ACTIVE_SHEET);
        ASSERT_TRUE(sheet);
        for (size_t r = 1; r <= texts.size(); ++r) {
            const std::u16string cell = u"A" + QString::number(r).toStdU16String();
            Put(GetObject(sheet.get(), DISPID_XL_RANGE, {Variant::Text(cell)}).get(), u"Value",
                Variant::Text(texts[r - 1]));
            Put(GetObject(sheet.get(), DISPID_XL_ROWS, {Variant::Long(static_cast<LONG>(r))}).get(),
                u"RowHeight", Variant::Short(30));
            QCoreApplication::processEvents(); // as a progress dialog does
        }
        EXPECT_EQ(Call(GetObject(sheet.get(), DISPID_XL_COLUMNS, {Variant::Text(u"A")}).get(),
                       u"Select", kMethod)
                      .hr,
                  S_OK);
        Put(GetObject(application, DISPID_XL_SELECTION).get(), u"ColumnWidth", Variant::Double(60));
        EXPECT_EQ(Call(GetObject(sheet.get(), DISPID_XL_RANGE, {Variant::Text(u"B1")}).get(),
                       u"Activate", kMethod)
                      .hr,
                  S_OK);
        EXPECT_EQ(m_shell.requests().size(), shown);
        sheet.reset();
    }

    zrv::test::ScriptedShell m_shell;
};

TEST_F(Presentation, export_showsNewBookWithTextsAndLayout_andNeverReplacesOne)
{
    const std::vector<std::u16string> texts = {
        u"Look before you leap.", u"A stitch in time\r\nsaves nine.\r\n  -- Proverb",
        u"   leading spaces stay", u"Grüße, naïve café — 你好", u"%"};
    const std::string book1 = Documents() + "/Book1.xlsx";
    m_shell.expectShell(zrv::desktop::kShellSuccess);
    {
        const ComPtr<IDispatch> application = zrv::test::CreateSheetApplication();
        Export(application.get(), texts);
        ASSERT_EQ(m_shell.requests().size(), 1u);
    }
    EXPECT_EQ(m_shell.requests().size(), 1u) << "releasing the application shows nothing again";
    EXPECT_EQ(m_shell.requests()[0].verb, "open");
    EXPECT_EQ(m_shell.requests()[0].file.toStdString(), book1);

    std::string error;
    const std::optional<WorkbookData> written = ReadWorkbookFile(book1, error);
    ASSERT_TRUE(written) << error;
    ASSERT_EQ(written->sheets.size(), 1u);
    const SheetData& sheet = written->sheets[0];
    ASSERT_EQ(sheet.cells.size(), texts.size());
    for (uint32_t r = 1; r <= texts.size(); ++r) {
        const auto cell = sheet.cells.find(CellRef{r, 1});
        ASSERT_NE(cell, sheet.cells.end());
        EXPECT_EQ(cell->second.kind, CellKind::Text);
        EXPECT_EQ(cell->second.text, Utf8(texts[r - 1]));
        EXPECT_EQ(sheet.rowHeights.at(r), 30);
    }
    EXPECT_EQ(sheet.columnWidths.at(1), 60);
    EXPECT_EQ(sheet.activeCell, (CellRef{1, 2}));

    // A second export (a new application, as the editor makes) takes the
    // next free name: Book1 stays as it was, a dangling link named Book2 is
    // neither followed nor replaced.
    const std::string before = Bytes(book1);
    const std::string outside = zrv::test::MakeTempDir("outside") + "/target.xlsx";
    std::filesystem::create_symlink(outside, Documents() + "/Book2.xlsx");
    m_shell.expectShell(zrv::desktop::kShellSuccess);
    Export(zrv::test::CreateSheetApplication().get(), {u"other"});
    ASSERT_EQ(m_shell.requests().size(), 2u);
    EXPECT_EQ(m_shell.requests()[1].file.toStdString(), Documents() + "/Book3.xlsx");
    EXPECT_EQ(Bytes(book1), before);
    EXPECT_FALSE(std::filesystem::exists(outside));
}

// A relative documents folder is not valid: the home folder's default stands
// in for it, and nothing is written below the current folder.
TEST_F(Presentation, relativeDocumentsFolder_isNotUsed_theHomesDefaultIs)
{
    const std::string home = getenv("HOME");
    const std::string dirs = std::string(getenv("XDG_CONFIG_HOME")) + "/user-dirs.dirs";
    const std::string current = zrv::test::MakeTempDir("current");
    const std::filesystem::path saved = std::filesystem::current_path();
    std::filesystem::current_path(current);
    const struct {
        const char* line;
        std::string folder;
    } cases[] = {
        {"docs", home + "/Documents"},
        {"./docs/", home + "/Documents"},
        {"$HOME/Texts", home + "/Texts"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::ofstream(dirs) << "XDG_DOCUMENTS_DIR=\"" << c.line << "\"\n";
        std::filesystem::remove_all(c.folder);
        const size_t shown = m_shell.requests().size();
        m_shell.expectShell(zrv::desktop::kShellSuccess);
        Export(zrv::test::CreateSheetApplication().get(), {u"x"});
        ASSERT_EQ(m_shell.requests().size(), shown + 1);
        EXPECT_EQ(m_shell.requests().back().file.toStdString(), c.folder + "/Book1.xlsx");
        EXPECT_TRUE(std::filesystem::is_regular_file(c.folder + "/Book1.xlsx"));
        EXPECT_TRUE(std::filesystem::is_empty(current));
    }
    std::filesystem::current_path(saved);
    std::filesystem::remove(dirs);
}

TEST_F(Presentation, releasingApplication_showsChangedAndUnshownBooks_invisibleShowsNothing)
{
    {
        // Invisible: nothing is written or shown, also at the end.
        const ComPtr<IDispatch> application = zrv::test::CreateSheetApplication();
        const ComPtr<IDispatch> book =
            GetObject(GetObject(application.get(), DISPID_XL_WORKBOOKS).get(), u"Add");
        Put(GetObject(GetObject(book.get(), u"ActiveSheet").get(), DISPID_XL_RANGE,
                      {Variant::Text(u"A1")})
                .get(),
            u"Value", Variant::Text(u"x"));
    }
    EXPECT_FALSE(std::filesystem::exists(Documents() + "/Book1.xlsx"));

    ComPtr<IDispatch> application = zrv::test::CreateSheetApplication();
    Put(application.get(), DISPID_XL_VISIBLE, Variant::Bool(true));
    const ComPtr<IDispatch> books = GetObject(application.get(), DISPID_XL_WORKBOOKS);
    const ComPtr<IDispatch> held = GetObject(GetObject(books.get(), u"Add").get(), u"ActiveSheet");
    Put(GetObject(held.get(), DISPID_XL_RANGE, {Variant::Text(u"A1")}).get(), u"Value",
        Variant::Double(42));
    EXPECT_EQ(Call(books.get(), u"Add", kMethod).hr, S_OK); // added, never changed
    EXPECT_TRUE(m_shell.requests().empty());

    m_shell.expectShell(zrv::desktop::kShellSuccess);
    m_shell.expectShell(zrv::desktop::kShellSuccess);
    application.reset();
    ASSERT_EQ(m_shell.requests().size(), 2u);
    std::string error;
    const std::optional<WorkbookData> first = ReadWorkbookFile(Documents() + "/Book1.xlsx", error);
    ASSERT_TRUE(first) << error;
    EXPECT_EQ(first->sheets[0].cells.at(CellRef{1, 1}).number, 42);
    EXPECT_TRUE(std::filesystem::exists(Documents() + "/Book2.xlsx"));
}

TEST_F(Presentation, visibleFails_withoutDisplayOrAssociatedProgram)
{
    struct Case {
        bool display;
        std::string program;
        std::u16string said;
    };
    for (const Case& c : {Case{false, "calc.desktop", u"display"}, Case{true, "", u"associated"}}) {
        zrv::test::UseDesktop(c.display, c.program);
        const ComPtr<IDispatch> application = zrv::test::CreateSheetApplication();
        const zrv::test::CallResult put = zrv::test::Invoke(
            application.get(), DISPID_XL_VISIBLE, DISPATCH_PROPERTYPUT, {Variant::Bool(true)});
        EXPECT_EQ(put.hr, DISP_E_EXCEPTION);
        EXPECT_NE(put.description.find(c.said), std::u16string::npos) << Utf8(put.description);
        const zrv::test::CallResult visible =
            zrv::test::Invoke(application.get(), DISPID_XL_VISIBLE, kGet);
        EXPECT_EQ(visible.value->boolVal, VARIANT_FALSE);
    }
}

TEST_F(Presentation, open_readsValuesOfTheActiveSheet_closeDiscards)
{
    WorkbookData data;
    data.sheets.resize(2);
    data.sheets[0].name = "Other";
    data.sheets[0].cells[CellRef{1, 1}] = {CellKind::Text, "not this sheet", 0, false};
    data.sheets[1].name = "Fortunes";
    auto& cells = data.sheets[1].cells;
    cells[CellRef{1, 1}] = {CellKind::Text, "two\r\nlines", 0, false};
    cells[CellRef{2, 1}] = {CellKind::Number, {}, 42, false};
    cells[CellRef{3, 1}] = {CellKind::Boolean, {}, 0, true};
    data.activeSheet = 1;
    const std::string file = zrv::test::MakeTempDir("open") + "/input.xlsx";
    std::string error;
    ASSERT_TRUE(zrv::sheet::WriteXlsxFile(data, file, error)) << error;

    const ComPtr<IDispatch> application = zrv::test::CreateSheetApplication();
    const ComPtr<IDispatch> books = GetObject(application.get(), DISPID_XL_WORKBOOKS);
    const ComPtr<IDispatch> book = GetObject(
        books.get(), u"Open", {Variant::Text(QString::fromStdString(file).toStdU16String())});
    const ComPtr<IDispatch> sheet = GetObject(application.get(), DISPID_XL_ACTIVE_SHEET);
    auto value = [&](const char16_t* address) {
        return Call(GetObject(sheet.get(), DISPID_XL_RANGE, {Variant::Text(address)}).get(),
                    u"Value", kGet);
    };
    EXPECT_EQ(value(u"A1").value.text(), u"two\r\nlines");
    EXPECT_EQ(value(u"A2").value->vt, VT_R8);
    EXPECT_EQ(value(u"A2").value->dblVal, 42);
    EXPECT_EQ(value(u"A3").value->vt, VT_BOOL);
    EXPECT_EQ(value(u"A3").value->boolVal, VARIANT_TRUE);
    EXPECT_EQ(value(u"A4").value->vt, VT_EMPTY);

    EXPECT_EQ(zrv::test::Invoke(book.get(), DISPID_XL_CLOSE, kMethod).hr, S_OK);
    const zrv::test::CallResult closed =
        zrv::test::Invoke(sheet.get(), DISPID_XL_RANGE, kGet, {Variant::Text(u"A1")});
    EXPECT_EQ(closed.hr, DISP_E_EXCEPTION);
    EXPECT_NE(closed.description.find(u"closed"), std::u16string::npos);
    EXPECT_EQ(zrv::test::Invoke(application.get(), DISPID_XL_ACTIVE_SHEET, kGet).hr,
              DISP_E_EXCEPTION);

    // Error values read as VT_ERROR, as CVErr gives them.
    const std::string errors = zrv::test::MakeTempDir("errors") + "/errors.xlsx";
    zrv::test::WriteZip(
        errors, zrv::test::XlsxPackage(R"(<row r="1"><c r="A1" t="e"><v>#DIV/0!</v></c></row>)"
                                       R"(<row r="2"><c r="A2" t="e"><v>#SPILL!</v></c></row>)"));
    const ComPtr<IDispatch> errorBook = GetObject(
        books.get(), u"Open", {Variant::Text(QString::fromStdString(errors).toStdU16String())});
    const ComPtr<IDispatch> errorSheet = GetObject(errorBook.get(), u"ActiveSheet");
    for (const auto& [address, number] : {std::pair{u"A1", 2007u}, std::pair{u"A2", 2042u}}) {
        const zrv::test::CallResult read =
            Call(GetObject(errorSheet.get(), DISPID_XL_RANGE, {Variant::Text(address)}).get(),
                 u"Value", kGet);
        EXPECT_EQ(read.value->vt, VT_ERROR);
        EXPECT_EQ(static_cast<uint32_t>(read.value->scode), 0x800A0000u + number);
    }

    // A NUL inside the name never opens the file named before it.
    std::u16string cut = QString::fromStdString(file).toStdU16String();
    cut += u'\0';
    cut += u"ignored";
    EXPECT_EQ(Call(books.get(), u"Open", kMethod, {Variant::Text(cut)}).hr, DISP_E_EXCEPTION);
    for (const std::string& bad : {file + ".missing", zrv::test::MakeTempDir("bad")}) {
        const zrv::test::CallResult open =
            Call(books.get(), u"Open", kMethod,
                 {Variant::Text(QString::fromStdString(bad).toStdU16String())});
        EXPECT_EQ(open.hr, DISP_E_EXCEPTION);
        EXPECT_NE(open.description.find(QString::fromStdString(bad).toStdU16String()),
                  std::u16string::npos)
            << Utf8(open.description);
    }
}

} // namespace
