#include "desktop/Prompts.h"
#include "editor/archives/CExcel.h"
#include "editor/archives/CExcelCommands.h"
#include "editor/archives/CVariant.h"
#include "editor/archives/modSpreadsheet.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/CMainWindowCommands.h"
#include "editor/shell/frmMain.h"
#include "editor/support/CRegistry.h"
#include "tests/editor/archives/SpreadsheetServer.h"
#include "tests/editor/editing/FortuneFiles.h"
#include "tests/editor/shell/EditorTestEnvironment.h"
#include "tests/support/ScriptedPrompts.h"

#include <cmath>
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace zrv::desktop;
using zrv::test::EditorTestEnvironment;
namespace Server = zrv::test::SpreadsheetServer;

namespace {

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class ExcelCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        Server::SetFileClass({{"", "Excel.Sheet.8"}});
        Server::RegisterBroken();
        main = environment.StartEditor();
    }
    void TearDown() override { main.reset(); }

    void Make(const QStringList& fortunes)
    {
        FortuneFiles::MakeArchive(environment.ArchivePath("Archive"), "Header", fortunes);
        main->OpenArchive("Archive");
    }
    QByteArray ArchiveBytes() const { return Bytes(environment.ArchivePath("Archive")); }
    bool Enabled(const char* item) const { return main->Commands().MenuItem(item)->isEnabled(); }
    const PromptRecord& LastPrompt() const { return prompts.records().back(); }

    // Answers the export options as they open: types the text, then OK or
    // Cancel.
    void AnswerExportOptions(const QString& typed, bool ok)
    {
        QTimer::singleShot(0, [typed, ok] {
            QWidget* form = QApplication::activeModalWidget();
            ASSERT_NE(form, nullptr);
            ASSERT_EQ(form->objectName(), "frmExport");
            QTest::keyClicks(form->findChild<QLineEdit*>("txtCharLength"), typed);
            form->findChild<QPushButton*>(ok ? "cmdOK" : "cmdCancel")->click();
        });
    }
    void ExpectStartFailure(const QString& text, const QString& title) const
    {
        EXPECT_EQ(LastPrompt().text, text);
        EXPECT_EQ(LastPrompt().title, title);
        EXPECT_EQ(LastPrompt().icon, vbCritical);
        EXPECT_EQ(LastPrompt().buttons, vbOKOnly);
    }

    EditorTestEnvironment environment;
    std::unique_ptr<frmMain> main;
    zrv::test::ScriptedPrompts prompts;
};

} // namespace

// The first value of HKLM\Software\Classes\.xls that names "Excel.Sheet.*"
// decides; its version must be a number above 4.
TEST_F(ExcelCommandsTest, presenceCheck_readsTheXlsFileClass)
{
    const struct {
        std::vector<std::pair<QString, QString>> values;
        bool installed;
    } cases[] = {
        {{{"", "Excel.Sheet.8"}}, true},
        {{{"Content Type", "application/vnd.ms-excel"}, {"", "excel.SHEET.5"}}, true},
        {{{"", "Excel.Sheet.4"}}, false},
        {{{"", "Excel.Sheet.x"}}, false},
        {{{"", "Excel.Sheet."}}, false},
        {{{"a", "Excel.Sheet.3"}, {"b", "Excel.Sheet.8"}}, false},
        {{{"", "OpenOffice.Sheet.8"}}, false},
        {{}, false},
    };
    for (const auto& c : cases) {
        Server::SetFileClass(c.values);
        EXPECT_EQ(modSpreadsheet::ExcelInstalled(), c.installed)
            << (c.values.empty() ? "no key" : c.values.back().second.toStdString());
    }
}

TEST_F(ExcelCommandsTest, commandsFollowThePresenceFoundAtStart)
{
    Make({"one"});
    EXPECT_TRUE(main->SpreadsheetAvailable());
    EXPECT_TRUE(Enabled("mnuActionsExport"));
    EXPECT_TRUE(Enabled("mnuActionsImport"));

    Server::SetFileClass({});
    main = environment.StartEditor();
    main->OpenArchive("Archive");
    EXPECT_FALSE(main->SpreadsheetAvailable());
    EXPECT_FALSE(Enabled("mnuActionsExport"));
    EXPECT_FALSE(Enabled("mnuActionsImport"));
    EXPECT_FALSE(main->Commands().Button("Export")->isEnabled());
}

// With an application that cannot start, any attempt would show its box, so
// these answers must end the commands before the application is asked.
TEST_F(ExcelCommandsTest, cancelNoOrCancelledFileDialog_startNothing)
{
    Make({"one", "two"});
    const QByteArray before = ArchiveBytes();
    AnswerExportOptions("5", false);
    main->Commands().Run(QStringLiteral("mnuActionsExport"));

    prompts.expectMessageBox(vbNo);
    main->Commands().Run(QStringLiteral("mnuActionsImport"));
    EXPECT_EQ(LastPrompt().text, "Warning! Do you really wish to append fortunes to the selected "
                                 "archive 'Archive' ?");
    EXPECT_EQ(LastPrompt().title, QApplication::applicationName());
    EXPECT_EQ(LastPrompt().icon, 0);
    EXPECT_EQ(LastPrompt().buttons, vbYesNo);

    prompts.expectMessageBox(vbYes);
    prompts.expectOpenFile("");
    main->Commands().Run(QStringLiteral("mnuActionsImport"));
    EXPECT_EQ(LastPrompt().kind, PromptRecord::Kind::OpenFile);
    EXPECT_EQ(LastPrompt().title, "");
    EXPECT_EQ(LastPrompt().initialFolder, main->AppPath());
    EXPECT_EQ(LastPrompt().filter, "");

    EXPECT_EQ(CMainWindowCommands::Of(*main)->ExcelCommands().Spreadsheet(), nullptr);
    EXPECT_EQ(ArchiveBytes(), before);
    EXPECT_EQ(main->RowCount(), 2);
}

TEST_F(ExcelCommandsTest, applicationThatCannotStart_isReportedAndNothingIsKept)
{
    Make({"one", "two"});
    const QByteArray before = ArchiveBytes();
    const QString sheet = environment.DataFolder() + "/../book.csv";
    QFile(sheet).open(QIODevice::WriteOnly);
    for (const auto registration : {&Server::RegisterBroken, &Server::RegisterUnknownClass}) {
        registration();
        AnswerExportOptions("", true);
        prompts.expectMessageBox(vbOK);
        main->Commands().Run(QStringLiteral("mnuActionsExport"));
        ExpectStartFailure("You must have Excel 97 of higher installed on your machine for the "
                           "export facility to work.",
                           "Export Failed: Excel not installed.");
        EXPECT_EQ(CMainWindowCommands::Of(*main)->ExcelCommands().Spreadsheet(), nullptr);

        prompts.expectMessageBox(vbYes);
        prompts.expectOpenFile(sheet);
        prompts.expectMessageBox(vbOK);
        main->Commands().Run(QStringLiteral("mnuActionsImport"));
        ExpectStartFailure("You must have Excel 97 of higher installed on your machine for the "
                           "import facility to work.",
                           "Import Failed: Excel not installed.");
        EXPECT_EQ(CMainWindowCommands::Of(*main)->ExcelCommands().Spreadsheet(), nullptr);
    }
    EXPECT_EQ(ArchiveBytes(), before);
    EXPECT_EQ(main->CurrentArchiveName(), "Archive");
}

CVariant Date(double serial)
{
    CVariant date;
    date.get()->vt = VT_DATE;
    date.get()->date = serial;
    return date;
}

// Numbers in their shortest form in the user's locale, dates in its date
// and time forms, booleans by name; an error value has no text, so an
// import stops there.
TEST(CellTextTest, valuesBecomeTextAsTheUsersLocaleWritesThem)
{
    const auto text = [](const CVariant& value) {
        const std::optional<QString> result = CExcelCommands::CellText(value.value());
        return result ? *result : QString("<none>");
    };
    CVariant error;
    error.get()->vt = VT_ERROR;
    error.get()->scode = static_cast<SCODE>(0x800A07E7);
    CVariant date;
    date.get()->vt = VT_DATE;
    date.get()->date = 2.5;
    EXPECT_EQ(text(CVariant::Double(42)), "42");
    EXPECT_EQ(text(CVariant::Double(3.5)), "3.5");
    EXPECT_EQ(text(CVariant::Double(-0.125)), "-0.125");
    EXPECT_EQ(text(CVariant::Double(1234567)), "1234567");
    EXPECT_EQ(text(CVariant::Double(0.1 + 0.2)), "0.30000000000000004");
    EXPECT_EQ(text(CVariant::Long(-7)), "-7");
    EXPECT_EQ(text(CVariant::Bool(true)), "True");
    EXPECT_EQ(text(CVariant::Bool(false)), "False");
    EXPECT_EQ(text(CVariant::Text(" a\r\nb ")), " a\r\nb ");
    EXPECT_EQ(text(CVariant()), "");
    EXPECT_EQ(text(error), "<none>");

    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(text(date), "1/1/1900 12:00:00 PM");
    EXPECT_EQ(text(Date(45366)), "3/15/2024");
    EXPECT_EQ(text(Date(45366 + 12.5 / 24)), "3/15/2024 12:30:00 PM");
    EXPECT_EQ(text(Date(0.75)), "6:00:00 PM");
    EXPECT_EQ(text(Date(-1.25)), "12/29/1899 6:00:00 AM");
    EXPECT_EQ(text(Date(std::nan(""))), "<none>");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(text(CVariant::Double(3.5)), "3,5");
    EXPECT_EQ(text(CVariant::Double(1234567)), "1234567");
    EXPECT_EQ(text(Date(45366 + 12.5 / 24)), "15.03.2024 12:30:00");
    QLocale::setDefault(QLocale::c());
}
