#include "desktop/Prompts.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/frmMain.h"
#include "tests/editor/shell/EditorTestEnvironment.h"
#include "tests/support/ScriptedPrompts.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTreeView>

using namespace zrv::desktop;
using zrv::test::EditorTestEnvironment;
using zrv::test::WriteArchive;

namespace {

QStringList Numbered(int count)
{
    QStringList fortunes;
    for (int i = 1; i <= count; ++i)
        fortunes << QStringLiteral("Fortune %1\r\nsecond line").arg(i);
    return fortunes;
}

class ArchiveWindowTest : public testing::Test {
protected:
    void SetUp() override { mMain = mEnvironment.StartEditor(); }

    QString HeaderBar() const
    {
        return mMain->findChild<QLabel*>(QStringLiteral("lblHeader"))->text();
    }
    QString HeaderText() const
    {
        return mMain->findChild<QLabel*>(QStringLiteral("lblHeading"))->text();
    }
    bool MenuEnabled(const char* name) const
    {
        return mMain->Commands().MenuItem(QString::fromLatin1(name))->isEnabled();
    }
    bool ButtonEnabled(const char* caption) const
    {
        return mMain->Commands().Button(QString::fromLatin1(caption))->isEnabled();
    }
    void SelectRows(std::initializer_list<int> rows)
    {
        QTreeView* list = mMain->List();
        for (const int row : rows)
            list->selectionModel()->select(list->model()->index(row, 0),
                                           QItemSelectionModel::Select);
    }

    EditorTestEnvironment mEnvironment;
    std::unique_ptr<frmMain> mMain;
};

TEST_F(ArchiveWindowTest, twelveFortunesAreKeyedI1ToI12)
{
    WriteArchive(mEnvironment.ArchivePath(QStringLiteral("Proverbs")),
                 QStringLiteral("Old sayings\r\nsecond"), Numbered(12));
    zrv::test::ScriptedPrompts prompts;
    mMain->OpenArchive(QStringLiteral("Proverbs"));
    EXPECT_TRUE(prompts.records().empty());
    EXPECT_EQ(mMain->windowTitle(), QStringLiteral("Zorva Fortune Editor - Proverbs"));
    EXPECT_EQ(HeaderBar(), QStringLiteral(" Archive Header - Proverbs"));
    EXPECT_EQ(HeaderText(), QStringLiteral("Old sayings\nsecond"));
    EXPECT_EQ(mMain->CurrentArchiveName(), QStringLiteral("Proverbs"));
    ASSERT_EQ(mMain->RowCount(), 12);
    for (int row = 0; row < 12; ++row) {
        EXPECT_EQ(mMain->RowKey(row), QStringLiteral("I%1").arg(row + 1));
        EXPECT_EQ(mMain->RowText(row), QStringLiteral("Fortune %1").arg(row + 1));
    }
    EXPECT_EQ(mMain->RowKey(9), QStringLiteral("I10"));
    EXPECT_EQ(mMain->PanelText(1), QStringLiteral("No fortunes selected"));
    EXPECT_EQ(mMain->PanelText(2), QStringLiteral("12 fortunes in archive"));
}

TEST_F(ArchiveWindowTest, rowsShowTheFirstLine)
{
    const QStringList fortunes = {
        QStringLiteral("two\r\nlines"),  QStringLiteral("\nstarts with a line feed"),
        QStringLiteral("ends in CR\r"),  QStringLiteral("bare\nline feed"),
        QStringLiteral("one line only"), QStringLiteral("tab\tinside"),
    };
    WriteArchive(mEnvironment.ArchivePath(QStringLiteral("Mixed")), {}, fortunes);
    mMain->OpenArchive(QStringLiteral("Mixed"));
    ASSERT_EQ(mMain->RowCount(), 6);
    EXPECT_EQ(mMain->RowText(0), QStringLiteral("two"));
    EXPECT_EQ(mMain->RowText(1), QString());
    EXPECT_EQ(mMain->RowText(2), QStringLiteral("ends in CR\r"));
    EXPECT_EQ(mMain->RowText(3), QStringLiteral("bare"));
    EXPECT_EQ(mMain->RowText(4), QStringLiteral("one line only"));
    EXPECT_EQ(mMain->RowText(5), QStringLiteral("tab\tinside"));
}

TEST_F(ArchiveWindowTest, statusTextsForNoneOneAndSeveral)
{
    WriteArchive(mEnvironment.ArchivePath(QStringLiteral("empty")), QStringLiteral("nothing yet"),
                 {});
    WriteArchive(mEnvironment.ArchivePath(QStringLiteral("single")), {}, {QStringLiteral("alone")});
    WriteArchive(mEnvironment.ArchivePath(QStringLiteral("three")), {}, Numbered(3));
    mMain->OpenArchive(QStringLiteral("empty"));
    EXPECT_EQ(mMain->PanelText(2), QStringLiteral("No fortunes in archive"));
    EXPECT_EQ(mMain->RowCount(), 0);
    mMain->OpenArchive(QStringLiteral("single"));
    EXPECT_EQ(mMain->PanelText(2), QStringLiteral("1 fortune in archive"));
    mMain->OpenArchive(QStringLiteral("three"));
    SelectRows({1});
    EXPECT_EQ(mMain->PanelText(1), QStringLiteral("1 fortune selected"));
    SelectRows({0, 2});
    EXPECT_EQ(mMain->PanelText(1), QStringLiteral("3 fortunes selected"));
    mMain->CloseArchive();
    EXPECT_EQ(mMain->PanelText(1), QStringLiteral("No fortunes selected"));
    EXPECT_EQ(mMain->PanelText(2), QStringLiteral("No current archive"));
    EXPECT_EQ(mMain->windowTitle(), QStringLiteral("Zorva Fortune Editor"));
    EXPECT_EQ(HeaderBar(), QStringLiteral(" Archive Header"));
    EXPECT_TRUE(HeaderText().isEmpty());
    EXPECT_EQ(mMain->RowCount(), 0);
}

TEST_F(ArchiveWindowTest, enablingTableFollowsTheWindowState)
{
    WriteArchive(mEnvironment.ArchivePath(QStringLiteral("empty")), {}, {});
    WriteArchive(mEnvironment.ArchivePath(QStringLiteral("three")), {}, Numbered(3));

    mMain->OpenArchive(QStringLiteral("empty"));
    for (const char* name :
         {"mnuFileClose", "mnuFileDelete", "mnuFileDuplicate", "mnuEditSelectAll",
          "mnuEditInvertSelection", "mnuEditDeselectAll", "mnuEditArchiveHeader", "mnuActionsAdd"})
        EXPECT_TRUE(MenuEnabled(name)) << name;
    EXPECT_TRUE(ButtonEnabled("Add"));
    for (const char* name :
         {"mnuActionsEdit", "mnuActionsDelete", "mnuActionsView", "mnuActionsExport",
          "mnuActionsImport", "mnuEditCut", "mnuEditCopy", "mnuEditPaste"})
        EXPECT_FALSE(MenuEnabled(name)) << name;
    for (const char* caption :
         {"Edit", "Delete", "View", "Export", "Import", "Cut", "Copy", "Paste"})
        EXPECT_FALSE(ButtonEnabled(caption)) << caption;

    mMain->OpenArchive(QStringLiteral("three"));
    for (const char* name : {"mnuActionsEdit", "mnuActionsDelete", "mnuActionsView"})
        EXPECT_TRUE(MenuEnabled(name)) << name;
    for (const char* caption : {"Edit", "Delete", "View"})
        EXPECT_TRUE(ButtonEnabled(caption)) << caption;
    // Without a spreadsheet application export and import stay off.
    EXPECT_FALSE(mMain->SpreadsheetAvailable());
    EXPECT_FALSE(MenuEnabled("mnuActionsExport"));
    EXPECT_FALSE(ButtonEnabled("Import"));
    EXPECT_FALSE(ButtonEnabled("Cut"));

    SelectRows({0, 1, 2});
    EXPECT_TRUE(MenuEnabled("mnuEditCut"));
    EXPECT_TRUE(MenuEnabled("mnuEditCopy"));
    EXPECT_TRUE(ButtonEnabled("Cut"));
    EXPECT_TRUE(ButtonEnabled("Copy"));
    EXPECT_FALSE(ButtonEnabled("Paste"));
    mMain->List()->clearSelection();
    EXPECT_FALSE(MenuEnabled("mnuEditCut"));
    EXPECT_FALSE(ButtonEnabled("Copy"));

    mMain->Commands().MenuItem(QStringLiteral("mnuFileClose"))->trigger();
    EXPECT_FALSE(MenuEnabled("mnuFileClose"));
    EXPECT_FALSE(ButtonEnabled("Add"));
    EXPECT_FALSE(ButtonEnabled("Edit"));
}

TEST_F(ArchiveWindowTest, selectionDoesNotSurviveAReload)
{
    WriteArchive(mEnvironment.ArchivePath(QStringLiteral("three")), {}, Numbered(3));
    mMain->OpenArchive(QStringLiteral("three"));
    SelectRows({0, 2});
    WriteArchive(mEnvironment.ArchivePath(QStringLiteral("three")), {}, Numbered(5));
    mMain->OpenArchive(mMain->CurrentArchiveName());
    EXPECT_EQ(mMain->RowCount(), 5);
    EXPECT_EQ(mMain->SelectedCount(), 0);
    EXPECT_EQ(mMain->PanelText(1), QStringLiteral("No fortunes selected"));
    EXPECT_EQ(mMain->PanelText(2), QStringLiteral("5 fortunes in archive"));
}

TEST_F(ArchiveWindowTest, nameInOtherLetterCaseReloadsWithoutAQuestion)
{
    WriteArchive(mEnvironment.ArchivePath(QStringLiteral("Proverbs")), {}, Numbered(2));
    mMain->OpenArchive(QStringLiteral("Proverbs"));
    WriteArchive(mEnvironment.ArchivePath(QStringLiteral("Proverbs")), {}, Numbered(4));
    zrv::test::ScriptedPrompts prompts;
    mMain->OpenArchive(QStringLiteral("PROVERBS"));
    EXPECT_TRUE(prompts.records().empty());
    EXPECT_EQ(mMain->RowCount(), 4);
    EXPECT_EQ(mMain->windowTitle(), QStringLiteral("Zorva Fortune Editor - PROVERBS"));
    EXPECT_EQ(mMain->CurrentArchiveName(), QStringLiteral("Proverbs"));
}

TEST_F(ArchiveWindowTest, missingArchiveCannotBeDisplayed)
{
    WriteArchive(mEnvironment.ArchivePath(QStringLiteral("three")), {}, Numbered(3));
    mMain->OpenArchive(QStringLiteral("three"));
    for (const char* name : {"nowhere", "..", ".", "../three", ""}) {
        zrv::test::ScriptedPrompts prompts;
        prompts.expectMessageBox(vbOK);
        mMain->OpenArchive(QString::fromLatin1(name));
        ASSERT_EQ(prompts.records().size(), 1u) << name;
        const PromptRecord& box = prompts.records().front();
        EXPECT_EQ(box.text, QStringLiteral("Failed to display Fortune archive"));
        EXPECT_EQ(box.title, QStringLiteral("fortedit"));
        EXPECT_EQ(box.buttons, vbOKOnly);
        EXPECT_EQ(box.icon, vbInformation);
        EXPECT_FALSE(mMain->CurrentArchive());
        EXPECT_EQ(mMain->PanelText(2), QStringLiteral("No current archive"));
        mMain->OpenArchive(QStringLiteral("three"));
    }
}

TEST_F(ArchiveWindowTest, vanishedArchiveIsClosedAndReported)
{
    WriteArchive(mEnvironment.ArchivePath(QStringLiteral("three")), {}, Numbered(3));
    mMain->OpenArchive(QStringLiteral("three"));
    ASSERT_TRUE(QFile::remove(mEnvironment.ArchivePath(QStringLiteral("three"))));
    zrv::test::ScriptedPrompts prompts;
    prompts.expectMessageBox(vbOK);
    EXPECT_FALSE(mMain->ArchiveExists(QStringLiteral("three")));
    ASSERT_EQ(prompts.records().size(), 1u);
    const PromptRecord& box = prompts.records().front();
    EXPECT_EQ(box.text,
              QStringLiteral("Archive does not exist anymore, removing archive from list."));
    EXPECT_EQ(box.title, QStringLiteral("Archive does not exist"));
    EXPECT_EQ(box.icon, vbCritical);
    EXPECT_EQ(box.buttons, vbOKOnly);
    EXPECT_FALSE(mMain->CurrentArchive());
    EXPECT_EQ(mMain->RowCount(), 0);
    EXPECT_EQ(mMain->windowTitle(), QStringLiteral("Zorva Fortune Editor"));
}

TEST_F(ArchiveWindowTest, openDropDownListsTheArchivesAndOpensTheChoice)
{
    QMenu* dropDown = mMain->Commands().OpenDropDown();
    emit dropDown->aboutToShow();
    EXPECT_TRUE(dropDown->actions().isEmpty());
    WriteArchive(mEnvironment.ArchivePath(QStringLiteral("Fish & Chips")), {}, Numbered(2));
    WriteArchive(mEnvironment.ArchivePath(QStringLiteral(".hidden")), {}, Numbered(2));
    emit dropDown->aboutToShow();
    ASSERT_EQ(dropDown->actions().size(), 1);
    dropDown->actions().front()->trigger();
    EXPECT_EQ(mMain->windowTitle(), QStringLiteral("Zorva Fortune Editor - Fish & Chips"));
    EXPECT_EQ(mMain->RowCount(), 2);
}

// Another editor window of this process stands in for another editor: the
// directory of editor windows lists both.
class GuardTest : public ArchiveWindowTest {
protected:
    void SetUp() override
    {
        ArchiveWindowTest::SetUp();
        for (const char* name : {"abc", "abcd", "other"})
            WriteArchive(mEnvironment.ArchivePath(QString::fromLatin1(name)), {}, Numbered(2));
        mOther = mEnvironment.StartEditor();
    }

    std::unique_ptr<frmMain> mOther;
};

TEST_F(GuardTest, archiveShownElsewhereAsksAndNoReportsFailure)
{
    mOther->OpenArchive(QStringLiteral("ABC"));
    mMain->OpenArchive(QStringLiteral("other"));
    zrv::test::ScriptedPrompts prompts;
    prompts.expectMessageBox(vbNo);
    prompts.expectMessageBox(vbOK);
    mMain->OpenArchive(QStringLiteral("abc"));
    ASSERT_EQ(prompts.records().size(), 2u);
    const PromptRecord& question = prompts.records()[0];
    EXPECT_EQ(question.title, QStringLiteral("Switch to other instance?"));
    EXPECT_EQ(question.text, QStringLiteral("This archive is already open in another "
                                            "window.\r\nYou cannot edit the same archive in two "
                                            "different instances of the Zorva Fortune Editor at "
                                            "the same time.\r\nWould you like to "
                                            "switch to other instance?"));
    EXPECT_EQ(question.buttons, vbYesNo);
    EXPECT_EQ(question.icon, vbQuestion);
    const PromptRecord& failure = prompts.records()[1];
    EXPECT_EQ(failure.title, QStringLiteral("Operation failed."));
    EXPECT_EQ(failure.text, QStringLiteral("Failed to open archive"));
    EXPECT_EQ(failure.icon, vbInformation);
    EXPECT_EQ(mMain->windowTitle(), QStringLiteral("Zorva Fortune Editor - other"));
}

TEST_F(GuardTest, yesActivatesTheOtherWindowAndLeavesThisOne)
{
    mOther->OpenArchive(QStringLiteral("abc"));
    zrv::test::ScriptedPrompts prompts;
    prompts.expectMessageBox(vbYes);
    mMain->OpenArchive(QStringLiteral("abc"));
    EXPECT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(mMain->windowTitle(), QStringLiteral("Zorva Fortune Editor"));
    EXPECT_FALSE(mMain->CurrentArchive());
}

TEST_F(GuardTest, longerNameDoesNotBlock)
{
    mOther->OpenArchive(QStringLiteral("abcd"));
    zrv::test::ScriptedPrompts prompts;
    mMain->OpenArchive(QStringLiteral("abc"));
    EXPECT_TRUE(prompts.records().empty());
    EXPECT_EQ(mMain->windowTitle(), QStringLiteral("Zorva Fortune Editor - abc"));
}

TEST_F(GuardTest, reloadOfTheCurrentArchiveSkipsTheGuard)
{
    mMain->OpenArchive(QStringLiteral("abc"));
    // Another window that shows the same archive too.
    mOther->setWindowTitle(QStringLiteral("Zorva Fortune Editor - abc"));
    WriteArchive(mEnvironment.ArchivePath(QStringLiteral("abc")), {}, Numbered(3));
    zrv::test::ScriptedPrompts prompts;
    mMain->OpenArchive(QStringLiteral("abc"));
    EXPECT_TRUE(prompts.records().empty());
    EXPECT_EQ(mMain->RowCount(), 3);
}

} // namespace
