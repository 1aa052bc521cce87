// Export and import against the real spreadsheet application, libzrvsheet.so,
// registered in the test's hives; workbooks it shows are read back from the
// documents folder with the spreadsheet file layer.
#include "desktop/Prompts.h"
#include "editor/archives/CExcel.h"
#include "editor/archives/CExcelCommands.h"
#include "editor/archives/modAutomation.h"
#include "editor/editing/TrimSpaces.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/CMainWindowCommands.h"
#include "editor/shell/frmMain.h"
#include "editor/support/CArchiveObject.h"
#include "sheet/io/WorkbookFiles.h"
#include "tests/editor/archives/SpreadsheetServer.h"
#include "tests/editor/editing/FortuneFiles.h"
#include "tests/editor/shell/EditorTestEnvironment.h"
#include "tests/support/CRenameWatch.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/ScriptedShell.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace zrv::desktop;
using zrv::sheet::CellKind;
using zrv::sheet::CellRef;
using zrv::test::EditorTestEnvironment;
namespace Server = zrv::test::SpreadsheetServer;

namespace {

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

zrv::sheet::CellData Text(const QString& text)
{
    return {CellKind::Text, text.toStdString(), 0, false};
}

// Writes column A of a one-sheet workbook.
QString WriteBook(const QString& path, const std::vector<zrv::sheet::CellData>& column)
{
    zrv::sheet::WorkbookData book;
    book.sheets.emplace_back();
    book.sheets[0].name = "Sheet1";
    for (size_t row = 0; row < column.size(); ++row)
        book.sheets[0].cells[{static_cast<uint32_t>(row + 1), 1}] = column[row];
    QFile::remove(path);
    std::string error;
    EXPECT_TRUE(zrv::sheet::WriteXlsxFile(book, path.toStdString(), error)) << error;
    return path;
}

class ExcelAutomationTest : public testing::Test {
protected:
    void SetUp() override
    {
        Server::RegisterReal();
        Server::PrepareDesktop();
        QDir(Server::DocumentsFolder()).removeRecursively();
        main = environment.StartEditor();
    }
    void TearDown() override { main.reset(); }

    void Make(const QStringList& fortunes, const QString& name = "Archive")
    {
        FortuneFiles::MakeArchive(environment.ArchivePath(name), "Header", fortunes);
        main->OpenArchive(name);
    }
    QString Path(const QString& name = "Archive") const { return environment.ArchivePath(name); }
    QStringList Fortunes(const QString& name = "Archive") const
    {
        return FortuneFiles::Fortunes(FortuneFiles::LoadFortune(Path(name)).get());
    }
    CExcel* Excel() const { return CMainWindowCommands::Of(*main)->ExcelCommands().Spreadsheet(); }
    bool Visible() const
    {
        return Automation::Get(Excel()->ExcelApp.get(), DISPID_XL_VISIBLE, "Visible")
                   .value()
                   .boolVal != 0;
    }

    // Export with the text typed in the options; the workbook it shows.
    zrv::sheet::SheetData Export(const QString& typed)
    {
        QTimer::singleShot(0, [typed] {
            QWidget* form = QApplication::activeModalWidget();
            ASSERT_NE(form, nullptr);
            QTest::keyClicks(form->findChild<QLineEdit*>("txtCharLength"), typed);
            form->findChild<QPushButton*>("cmdOK")->click();
        });
        const size_t shown = shell.requests().size();
        shell.expectShell(kShellSuccess);
        main->Commands().Run(QStringLiteral("mnuActionsExport"));
        EXPECT_EQ(shell.requests().size(), shown + 1);
        if (shell.requests().size() != shown + 1)
            return {};
        std::string error;
        const auto book =
            zrv::sheet::ReadWorkbookFile(shell.requests().back().file.toStdString(), error);
        EXPECT_TRUE(book) << error;
        return book ? book->sheets.at(book->activeSheet) : zrv::sheet::SheetData{};
    }
    // Import of the file; thenBox: a message box follows.
    void Import(const QString& file, bool thenBox = false)
    {
        prompts.expectMessageBox(vbYes);
        prompts.expectOpenFile(file);
        if (thenBox)
            prompts.expectMessageBox(vbOK);
        main->Commands().Run(QStringLiteral("mnuActionsImport"));
    }

    EditorTestEnvironment environment;
    std::unique_ptr<frmMain> main;
    zrv::test::ScriptedPrompts prompts;
    zrv::test::ScriptedShell shell;
};

QStringList ColumnA(const zrv::sheet::SheetData& sheet)
{
    QStringList texts;
    for (uint32_t row = 1; sheet.cells.count({row, 1}) != 0; ++row)
        texts.append(QString::fromStdString(sheet.cells.at({row, 1}).text));
    return texts;
}

// Long texts as their length and a digest, so that a difference reads.
QStringList Brief(const QStringList& texts)
{
    QStringList brief;
    for (const QString& text : texts) {
        const QByteArray digest =
            QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Md5).toHex().left(8);
        brief.append(
            text.size() <= 40 ? text : QString("<%1 characters, %2>").arg(text.size()).arg(digest));
    }
    return brief;
}

} // namespace

// Trimmed length strictly below the limit; rows 1..r without gaps, each 30
// high, column A 60 wide, B1 active; the application stays visible.
TEST_F(ExcelAutomationTest, exportLimits_rowsWithoutGaps_andTheSheetsLayout)
{
    Make({"123456789", "1234567890", "   ", "two\r\nline", "  eight8  "});
    const struct {
        const char* typed;
        QStringList rows;
    } cases[] = {
        {"", {"123456789", "1234567890", "   ", "two\r\nline", "  eight8  "}},
        {"1", {"   "}},
        {"10", {"123456789", "   ", "two\r\nline", "  eight8  "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const zrv::sheet::SheetData sheet = Export(c.typed);
        EXPECT_EQ(ColumnA(sheet), c.rows);
        EXPECT_EQ(sheet.cells.size(), static_cast<size_t>(c.rows.size()));
        std::map<uint32_t, double> heights;
        for (uint32_t row = 1; row <= static_cast<uint32_t>(c.rows.size()); ++row)
            heights[row] = 30;
        EXPECT_EQ(sheet.rowHeights, heights);
        EXPECT_EQ(sheet.columnWidths, (std::map<uint32_t, double>{{1, 60}}));
        EXPECT_EQ(sheet.activeCell, (CellRef{1, 2}));
        ASSERT_NE(Excel(), nullptr);
        EXPECT_TRUE(Visible());
    }
    EXPECT_EQ(QDir(Server::DocumentsFolder()).entryList(QDir::Files),
              (QStringList{"Book1.xlsx", "Book2.xlsx", "Book3.xlsx"}));
}

// Column A down to the first cell empty without its spaces (or holding an
// error value); numbers and booleans as text. Alone, the import runs the application invisibly.
TEST_F(ExcelAutomationTest, importAppendsColumnAUntilTheFirstEmptyCell)
{
    Make({"old"});
    const QString folder = environment.PlayerFolder();
    Import(WriteBook(folder + "/texts.xlsx", {Text("  a "), Text("b"), Text("   "), Text("c")}));
    EXPECT_EQ(Fortunes(), (QStringList{"old", "a", "b"}));
    EXPECT_EQ(main->RowCount(), 3);
    ASSERT_NE(Excel(), nullptr);
    EXPECT_FALSE(Visible());

    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Import(WriteBook(folder + "/values.xlsx", {{CellKind::Number, {}, 42, false},
                                               {CellKind::Number, {}, 3.5, false},
                                               {CellKind::Boolean, {}, 0, true},
                                               {CellKind::Number, {}, -0.125, false},
                                               {CellKind::Date, {}, 45366.5, false}}));
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(Fortunes(), (QStringList{"old", "a", "b", "42", "3.5", "True", "-0.125",
                                       "3/15/2024 12:00:00 PM"}));

    Import(WriteBook(folder + "/empty.xlsx", {Text(""), Text("never")}));
    EXPECT_EQ(Fortunes().size(), 8);

    // An error value has no text: the import ends there.
    Import(ZRV_EXCEL_TEST_DATA "/error.xlsx");
    EXPECT_EQ(Fortunes().size(), 9);
    EXPECT_EQ(Fortunes().back(), "before the error");
    EXPECT_TRUE(shell.requests().empty());
}

TEST_F(ExcelAutomationTest, importAfterExport_reusesTheVisibleApplication)
{
    Make({"one"});
    Export("");
    CExcel* const exported = Excel();
    Import(WriteBook(environment.PlayerFolder() + "/more.xlsx", {Text("two")}));
    EXPECT_EQ(Excel(), exported);
    EXPECT_TRUE(Visible());
    EXPECT_EQ(Fortunes(), (QStringList{"one", "two"}));

    // The next export replaces it; Exit lets it go before the process ends.
    Export("");
    EXPECT_NE(Excel(), nullptr);
    int ended = -1;
    frmMain::SetProcessEnd([&ended](int code) { ended = code; });
    main->Commands().Run(QStringLiteral("mnuFileExit"));
    frmMain::SetProcessEnd(nullptr);
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(Excel(), nullptr);
}

TEST_F(ExcelAutomationTest, fileThatIsNoSpreadsheet_isReportedAndTheApplicationStays)
{
    Make({"one"});
    const QByteArray before = Bytes(Path());
    const QString file = environment.PlayerFolder() + "/picture.png";
    QFile png(file);
    ASSERT_TRUE(png.open(QIODevice::WriteOnly));
    png.write(QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01", 20) + QByteArray(200, '\0'));
    png.close();
    Import(file, true);
    const PromptRecord& box = prompts.records().back();
    EXPECT_EQ(box.text, "Unable to load selected file.  Please check and make sure the file you "
                        "are trying to import is a valid Excel file.");
    EXPECT_EQ(box.title, "Import Failed: Failed to load file.");
    EXPECT_EQ(box.icon, vbCritical);
    EXPECT_NE(Excel(), nullptr);
    EXPECT_EQ(Bytes(Path()), before);
}

// Export, then import of the shown workbook gives back every fortune byte
// for byte, but for the spaces the import trims.
TEST_F(ExcelAutomationTest, importOfAnExportedWorkbook_givesBackTheSameFortunes)
{
    const QStringList fortunes = {"Look before you leap.",
                                  "  indented\r\n\r\n  twice  ",
                                  "Tabs\tstay\t",
                                  "%\r\nnot a separator",
                                  "Ünïcödé ✓ 漢字 🙂",
                                  "\"quoted\", 'and' <markup> &amp;",
                                  "0042",
                                  "=1+1",
                                  "TRUE"};
    Make(fortunes);
    Export("");
    const QString book = shell.requests().back().file;
    FortuneFiles::MakeArchive(Path("Copy"), "Header", {});
    main->OpenArchive("Copy");
    Import(book);

    QStringList trimmed;
    for (const QString& text : fortunes)
        trimmed.append(TrimSpaces(text));
    EXPECT_EQ(Fortunes("Copy"), trimmed);
    FortuneFiles::MakeArchive(Path("Expected"), "Header", trimmed);
    EXPECT_EQ(Bytes(Path("Copy")), Bytes(Path("Expected")));
}

// A fortune longer than a cell holds takes no row, and one message says how
// many were left out; the limit applies first. Characters count as the cell
// counts them: CR LF is one. The workbook imports as every other fortune.
TEST_F(ExcelAutomationTest, fortunesLongerThanACell_takeNoRowAndAreCounted)
{
    const QString fits(32767, 'f');
    const QString over(32768, 'o');
    const QString spaces(40000, ' ');
    const QString lines = QString("line\r\n").repeated(6000) + "end"; // 30,003 in a cell
    Make({"first", over, fits, spaces, "   padded   ", lines, "last"});
    const struct {
        const char* typed;
        QStringList rows;
        QString told;
    } cases[] = {
        {"",
         {"first", fits, "   padded   ", lines, "last"},
         "2 fortunes were longer than the 32,767 characters a spreadsheet cell holds and were "
         "left out."},
        {"7",
         {"first", "   padded   ", "last"},
         "1 fortune was longer than the 32,767 characters a spreadsheet cell holds and was left "
         "out."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const size_t before = prompts.records().size();
        prompts.expectMessageBox(vbOK);
        const zrv::sheet::SheetData sheet = Export(c.typed);
        EXPECT_EQ(Brief(ColumnA(sheet)), Brief(c.rows));
        EXPECT_EQ(sheet.cells.size(), static_cast<size_t>(c.rows.size()));
        EXPECT_EQ(sheet.rowHeights.size(), static_cast<size_t>(c.rows.size()));
        ASSERT_EQ(prompts.records().size(), before + 1);
        const PromptRecord& box = prompts.records().back();
        EXPECT_EQ(box.text, c.told);
        EXPECT_EQ(box.title, QCoreApplication::applicationName());
        EXPECT_EQ(box.icon, vbInformation);
        EXPECT_EQ(box.buttons, vbOKOnly);
    }

    FortuneFiles::MakeArchive(Path("Copy"), "Header", {});
    main->OpenArchive("Copy");
    Import(QDir(Server::DocumentsFolder()).filePath("Book1.xlsx"));
    EXPECT_EQ(Brief(Fortunes("Copy")), Brief({"first", fits, "padded", lines, "last"}));
}

// The archive's file goes away while the command runs: the window closes the
// archive and says so; no file is written in its place.
TEST_F(ExcelAutomationTest, archiveThatVanishes_isReportedAndNotWrittenAgain)
{
    Make({"one", "two"});
    QTimer::singleShot(0, [this] {
        QWidget* form = QApplication::activeModalWidget();
        ASSERT_NE(form, nullptr);
        QFile::remove(Path());
        form->findChild<QPushButton*>("cmdOK")->click();
    });
    prompts.expectMessageBox(vbOK);
    shell.expectShell(kShellSuccess);
    main->Commands().Run(QStringLiteral("mnuActionsExport"));
    EXPECT_EQ(prompts.records().back().text,
              "Archive does not exist anymore, removing archive from list.");
    EXPECT_EQ(main->CurrentArchiveName(), "");
    EXPECT_FALSE(QFile::exists(Path()));

    // Import: the file goes while the file dialog is open.
    Make({"one"});
    const QString book =
        WriteBook(environment.PlayerFolder() + "/rows.xlsx", {Text("x"), Text("y")});
    struct Vanisher final : IPromptResponder {
        QString archive, answer;
        IPromptResponder* next = nullptr;
        PromptAnswer Answer(const PromptRecord& prompt, QWidget* owner) override
        {
            if (prompt.kind == PromptRecord::Kind::OpenFile)
                QFile::remove(archive);
            return next->Answer(prompt, owner);
        }
    } vanisher;
    vanisher.archive = Path();
    vanisher.next = &prompts;
    SetPromptResponder(&vanisher);
    Import(book, true);
    SetPromptResponder(&prompts);
    EXPECT_EQ(prompts.records().back().title, "Archive does not exist");
    EXPECT_EQ(main->CurrentArchiveName(), "");
    EXPECT_FALSE(QFile::exists(Path()));
}

// Rows go to the archive in batches, not one write each; a batch
// holding a row the archive cannot store goes row by row, passing over that
// one and keeping the others in order.
TEST_F(ExcelAutomationTest, largeImport_appendsInBatchesAndPassesOverUnstorableRows)
{
    Make({"old"});
    std::vector<zrv::sheet::CellData> column;
    QStringList expected = {"old"};
    for (int row = 1; row <= 6000; ++row) {
        column.push_back(Text("Row " + QString::number(row)));
        expected.append("Row " + QString::number(row));
    }
    const QString folder = environment.PlayerFolder();
    const QString many = WriteBook(folder + "/many.xlsx", column);
    zrv::test::CRenameWatch rewrites(QFileInfo(Path()).absolutePath().toStdString(), "Archive");
    Import(many);
    EXPECT_EQ(Fortunes(), expected);
    EXPECT_EQ(main->RowCount(), expected.size());
    const int count = rewrites.Count();
    EXPECT_GE(count, 1);
    EXPECT_LE(count, 100) << "not a write per row";

    Import(
        WriteBook(folder + "/refused.xlsx", {Text("first"), Text("ends in\r\n%"), Text("last")}));
    expected << "first"
             << "last";
    EXPECT_EQ(Fortunes(), expected);
    EXPECT_EQ(main->RowCount(), expected.size());
}

// A long import shows its progress; Cancel stops after the current row and
// keeps what was appended, then shows the archive again. The part appended
// is one step to undo and redo.
TEST_F(ExcelAutomationTest, cancelledImport_keepsTheRowsAppendedSoFar)
{
    Make({"kept"});
    const QByteArray before = Bytes(Path());
    const QString csv = environment.PlayerFolder() + "/long.csv";
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const int rows = 200000; // far more than a second of appending
    for (int row = 1; row <= rows; ++row)
        file.write(QByteArray("Row ") + QByteArray::number(row) + "\n");
    file.close();

    bool shown = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* progress = QApplication::activeModalWidget();
        if (progress == nullptr || progress->objectName() != "frmProgress")
            return;
        shown = true;
        EXPECT_EQ(progress->windowModality(), Qt::ApplicationModal);
        progress->findChild<QPushButton*>()->click();
        poll.stop();
    });
    poll.start(20);
    Import(csv);
    EXPECT_TRUE(shown);
    QStringList appended = Fortunes();
    ASSERT_EQ(appended.takeFirst(), "kept");
    ASSERT_GT(appended.size(), 0);
    ASSERT_LT(appended.size(), rows);
    for (int i = 0; i < appended.size(); ++i)
        ASSERT_EQ(appended[i], "Row " + QString::number(i + 1));
    EXPECT_EQ(main->RowCount(), appended.size() + 1);

    const QByteArray imported = Bytes(Path());
    EXPECT_EQ(main->Commands().MenuItem("mnuEditUndo")->text(), QStringLiteral("&Undo Import"));
    main->Commands().Run(QStringLiteral("mnuEditUndo"));
    EXPECT_EQ(Bytes(Path()), before);
    EXPECT_EQ(main->RowCount(), 1);
    main->Commands().Run(QStringLiteral("mnuEditRedo"));
    EXPECT_EQ(Bytes(Path()), imported);
}

// An application object that no longer answers is started afresh before a
// workbook is added; start-up settings apply to the new one.
TEST_F(ExcelAutomationTest, applicationThatStoppedAnswering_isStartedAgain)
{
    CExcel excel;
    EXPECT_EQ(Automation::Get(excel.ExcelApp.get(), DISPID_XL_SHEETS_IN_NEW_WORKBOOK,
                              "SheetsInNewWorkbook")
                  .value()
                  .lVal,
              1);
    const ComPtr<IFortune> fortune = FortuneFiles::NewFortune();
    ComPtr<IDispatch> mute;
    ASSERT_TRUE(SUCCEEDED(fortune->QueryInterface(IID_IDispatch, mute.putVoid())));
    excel.ExcelApp = mute;
    const ComPtr<IDispatch> workbook = excel.NewWorkBook();
    EXPECT_TRUE(workbook);
    EXPECT_NE(excel.ExcelApp.get(), mute.get());
    const CVariant system =
        Automation::Get(excel.ExcelApp.get(), DISPID_XL_OPERATING_SYSTEM, "OperatingSystem");
    EXPECT_EQ(system.Type(), VT_BSTR);
    EXPECT_TRUE(excel.ActiveSheet());
}
