#include "desktop/Prompts.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/frmMain.h"
#include "tests/editor/editing/FortuneFiles.h"
#include "tests/editor/shell/EditorTestEnvironment.h"
#include "tests/support/CRenameWatch.h"
#include "tests/support/ScriptedPrompts.h"

#include <functional>
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace zrv::desktop;
using zrv::test::EditorTestEnvironment;

namespace {

// Acts on the modal form the next command shows, once it is up.
void OnModalForm(std::function<void(QWidget&)> act)
{
    QTimer::singleShot(0, [act = std::move(act)] {
        QWidget* form = QApplication::activeModalWidget();
        ASSERT_NE(form, nullptr) << "no form was shown";
        act(*form);
    });
}

void TypeAndPress(QWidget& form, const QString& text, const char* button)
{
    auto* box = form.findChild<QPlainTextEdit*>("txtFortune");
    QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(box, text);
    form.findChild<QPushButton*>(button)->click();
}

class EditingCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        main = environment.StartEditor();
        FortuneFiles::MakeArchive(environment.ArchivePath("Ten"), "Ten fortunes",
                                  FortuneFiles::Numbered(10));
        main->OpenArchive("Ten");
    }
    QTreeView& List() const { return *main->List(); }
    void SelectRows(std::initializer_list<int> rows) const
    {
        for (const int row : rows)
            List().selectionModel()->select(List().model()->index(row - 1, 0),
                                            QItemSelectionModel::Select |
                                                QItemSelectionModel::Rows);
    }
    void MakeCurrent(int row) const { List().setCurrentIndex(List().model()->index(row - 1, 0)); }
    QStringList OnDisk() const
    {
        return FortuneFiles::Fortunes(
            FortuneFiles::LoadFortune(environment.ArchivePath("Ten")).get());
    }
    void Run(const char* menuItem) const { main->Commands().MenuItem(menuItem)->trigger(); }

    EditorTestEnvironment environment;
    std::unique_ptr<frmMain> main;
    zrv::test::ScriptedPrompts prompts;
};

} // namespace

TEST_F(EditingCommandsTest, addThroughTheCommand_reloadsTheList)
{
    OnModalForm([](QWidget& form) { TypeAndPress(form, "Eleventh", "cmdOK"); });
    Run("mnuActionsAdd");
    EXPECT_EQ(main->RowCount(), 11);
    EXPECT_EQ(main->RowText(10), "Eleventh");
    EXPECT_EQ(main->PanelText(2), "11 fortunes in archive");
}

TEST_F(EditingCommandsTest, okWithoutChange_doesNotReload)
{
    SelectRows({3});
    MakeCurrent(3);
    OnModalForm([](QWidget& form) {
        EXPECT_EQ(form.windowTitle(), "Edit a Fortune");
        EXPECT_EQ(form.findChild<QPlainTextEdit*>("txtFortune")->toPlainText(), "Fortune 3");
        form.findChild<QPushButton*>("cmdOK")->click();
    });
    Run("mnuActionsEdit");
    // A reload would have dropped the selection.
    EXPECT_EQ(main->SelectedCount(), 1);
}

TEST_F(EditingCommandsTest, editAndView_workOnTheCurrentRow)
{
    SelectRows({4});
    MakeCurrent(4);
    OnModalForm([](QWidget& form) { TypeAndPress(form, " edited", "cmdOK"); });
    Run("mnuActionsEdit");
    EXPECT_EQ(OnDisk().at(3), "Fortune 4 edited");
    EXPECT_EQ(main->SelectedCount(), 0);

    SelectRows({2});
    MakeCurrent(2);
    OnModalForm([](QWidget& form) {
        EXPECT_FALSE(form.findChild<QPlainTextEdit*>("txtFortune")->isEnabled());
        EXPECT_EQ(form.findChild<QPushButton*>("cmdCancel")->text(), "Close");
        form.findChild<QPushButton*>("cmdCancel")->click();
    });
    Run("mnuActionsView");
    EXPECT_EQ(main->SelectedCount(), 1);
}

TEST_F(EditingCommandsTest, doubleClickWithoutCurrentRow_showsNothing)
{
    main->Commands().Run(
        QStringLiteral("mnuActionsEdit")); // no current row: no form, so no timer is needed
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(OnDisk().size(), 10);
}

TEST_F(EditingCommandsTest, deletingTwoFiveAndThreeOfTen_keepsTheRestInOrder)
{
    SelectRows({2, 5, 3});
    prompts.expectMessageBox(vbYes);
    Run("mnuActionsDelete");
    ASSERT_EQ(prompts.records().size(), 1u);
    const PromptRecord& box = prompts.records().back();
    EXPECT_EQ(box.text, "Are you sure that you wish to delete the selected fortunes?");
    EXPECT_EQ(box.title, "Confirm Delete");
    EXPECT_EQ(box.buttons, vbYesNo);
    EXPECT_EQ(box.icon, vbQuestion);
    EXPECT_EQ(box.defaultButton, vbDefaultButton1);
    const QStringList expected = {"Fortune 1", "Fortune 4", "Fortune 6", "Fortune 7",
                                  "Fortune 8", "Fortune 9", "Fortune 10"};
    EXPECT_EQ(OnDisk(), expected);
    ASSERT_EQ(main->RowCount(), 7);
    EXPECT_EQ(main->RowText(1), "Fortune 4");
    EXPECT_EQ(main->SelectedCount(), 0);
}

TEST_F(EditingCommandsTest, deletingASelection_rewritesTheArchiveOnce)
{
    SelectRows({10, 1, 4, 7, 8});
    const QString path = environment.ArchivePath("Ten");
    zrv::test::CRenameWatch rewrites(QFileInfo(path).absolutePath().toStdString(), "Ten");
    prompts.expectMessageBox(vbYes);
    Run("mnuActionsDelete");
    EXPECT_EQ(rewrites.Count(), 1);
    const QStringList expected = {"Fortune 2", "Fortune 3", "Fortune 5", "Fortune 6", "Fortune 9"};
    EXPECT_EQ(OnDisk(), expected);
    ASSERT_EQ(main->RowCount(), 5);
    EXPECT_EQ(main->RowText(4), "Fortune 9");
}

TEST_F(EditingCommandsTest, answeringNo_deletesNothingAndKeepsSelection)
{
    SelectRows({1, 2});
    prompts.expectMessageBox(vbNo);
    Run("mnuActionsDelete");
    EXPECT_EQ(OnDisk().size(), 10);
    EXPECT_EQ(main->SelectedCount(), 2);
}

TEST_F(EditingCommandsTest, deleteKeyWithAnyModifiers_asksEvenWithNothingSelected)
{
    for (const Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier),
          Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier)}) {
        prompts.expectMessageBox(vbYes);
        QTest::keyClick(&List(), Qt::Key_Delete, modifiers);
    }
    EXPECT_EQ(prompts.records().size(), 3u);
    EXPECT_EQ(OnDisk().size(), 10);
    EXPECT_EQ(main->RowCount(), 10);
}

TEST_F(EditingCommandsTest, deletingEverything_leavesAnEmptyArchive)
{
    Run("mnuEditSelectAll");
    EXPECT_EQ(main->PanelText(1), "10 fortunes selected");
    prompts.expectMessageBox(vbYes);
    Run("mnuActionsDelete");
    EXPECT_TRUE(OnDisk().isEmpty());
    EXPECT_EQ(main->PanelText(2), "No fortunes in archive");
}

TEST_F(EditingCommandsTest, selectionCommands_refreshStatusAndCutCopy)
{
    Run("mnuEditSelectAll");
    EXPECT_TRUE(main->Commands().MenuItem("mnuEditCopy")->isEnabled());
    Run("mnuEditDeselectAll");
    EXPECT_EQ(main->PanelText(1), "No fortunes selected");
    EXPECT_FALSE(main->Commands().MenuItem("mnuEditCut")->isEnabled());
    SelectRows({1, 3});
    Run("mnuEditInvertSelection");
    EXPECT_EQ(main->PanelText(1), "8 fortunes selected");
    Run("mnuEditInvertSelection");
    EXPECT_EQ(main->PanelText(1), "2 fortunes selected");
}

TEST_F(EditingCommandsTest, headerCommand_refreshesTheHeadingOnly)
{
    SelectRows({5});
    OnModalForm([](QWidget& form) {
        EXPECT_EQ(form.windowTitle(), "Edit Archive Header");
        TypeAndPress(form, " and more", "cmdOK");
    });
    Run("mnuEditArchiveHeader");
    EXPECT_EQ(main->findChild<QLabel*>("lblHeading")->text(), "Ten fortunes and more");
    EXPECT_EQ(main->SelectedCount(), 1);
}

TEST_F(EditingCommandsTest, vanishedArchive_isReportedOnceAndNoFormShown)
{
    QFile::remove(environment.ArchivePath("Ten"));
    prompts.expectMessageBox(vbOK);
    Run("mnuActionsAdd");
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(prompts.records().back().text,
              "Archive does not exist anymore, removing archive from list.");
    EXPECT_EQ(main->CurrentArchiveName(), "");
    main->Commands().Run(QStringLiteral("mnuActionsDelete"));
    main->Commands().Run(QStringLiteral("mnuActionsView"));
    EXPECT_EQ(prompts.records().size(), 1u);
}
