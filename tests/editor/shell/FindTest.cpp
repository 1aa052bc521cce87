// Finding in the main window (offscreen): the Find command and its bar, the
// rows a find lists with their archive keys, the commands acting on the rows
// shown, changes made while filtered, F3 / Shift+F3, Return and Esc.
#include "desktop/Prompts.h"
#include "editor/editing/modClipboardFortunes.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/frmMain.h"
#include "tests/editor/shell/EditorTestEnvironment.h"
#include "tests/support/ScriptedPrompts.h"

#include <functional>
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace zrv::desktop;
using zrv::test::EditorTestEnvironment;

namespace {

const QString kName = QStringLiteral("Fruit");
// The fortunes holding "apple" in some letter case: 1, 2 (on its second
// line), 4 and 6.
const QStringList kFruit = {
    "red apple", "green pear\r\nnot an apple", "plum", "Apple tart", "kiwi", "crab APPLE",
};

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FindTest : public testing::Test {
protected:
    void SetUp() override
    {
        main = environment.StartEditor();
        zrv::test::WriteArchive(environment.ArchivePath(kName), "Header", kFruit);
        main->OpenArchive(kName);
    }

    QLineEdit& FindText() const { return *main->findChild<QLineEdit*>("txtFind"); }
    QCheckBox& FilterOption() const { return *main->findChild<QCheckBox*>("chkFilter"); }
    bool BarShown() const { return main->findChild<QWidget*>("fraFind")->isVisible(); }
    QTreeView& List() const { return *main->List(); }
    void Run(const char* item) const { main->Commands().MenuItem(item)->trigger(); }

    // Ctrl+F, then the text typed over what the bar held.
    void Find(const QString& text) const
    {
        QTest::keyClick(&List(), Qt::Key_F, Qt::ControlModifier);
        EXPECT_TRUE(FindText().hasFocus());
        QTest::keyClick(&FindText(), Qt::Key_Backspace);
        QTest::keyClicks(&FindText(), text);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    QStringList Keys() const
    {
        QStringList keys;
        for (int row = 0; row < main->RowCount(); ++row)
            keys << main->RowKey(row);
        return keys;
    }
    void SelectRows(std::initializer_list<int> rows) const
    {
        for (const int row : rows)
            List().selectionModel()->select(List().model()->index(row, 0),
                                            QItemSelectionModel::Select |
                                                QItemSelectionModel::Rows);
    }
    // The archive's bytes as a file holding these fortunes lays them out.
    QByteArray Holding(const QStringList& fortunes) const
    {
        const QString path = environment.ArchivePath(QStringLiteral("expected"));
        zrv::test::WriteArchive(path, "Header", fortunes);
        const QByteArray bytes = Bytes(path);
        QFile::remove(path);
        return bytes;
    }
    QByteArray OnDisk() const { return Bytes(environment.ArchivePath(kName)); }

    EditorTestEnvironment environment;
    std::unique_ptr<frmMain> main;
    zrv::test::ScriptedPrompts prompts;
};

TEST_F(FindTest, findIsTheLastItemOfTheEditMenu_enabledWithAnArchive)
{
    const QAction* find = main->Commands().MenuItem("mnuEditFind");
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(find->text(), QStringLiteral("&Find..."));
    EXPECT_EQ(find->shortcut(), QKeySequence(QStringLiteral("Ctrl+F")));
    QStringList items;
    for (const QAction* item : main->menuBar()->findChild<QMenu*>("mnuEdit")->actions())
        items << item->objectName();
    EXPECT_EQ(items, (QStringList{"mnuEditUndo", "mnuEditRedo", "mnuEditSep0", "mnuEditSelectAll",
                                  "mnuEditInvertSelection", "mnuEditDeselectAll", "mnuEditSep1",
                                  "mnuEditCut", "mnuEditCopy", "mnuEditPaste", "mnuEditSep2",
                                  "mnuEditArchiveHeader", "mnuEditSep3", "mnuEditFind"}));
    EXPECT_TRUE(find->isEnabled());
    EXPECT_FALSE(BarShown());

    Run("mnuFileClose");
    EXPECT_FALSE(find->isEnabled());
    main->Commands().Run("mnuEditFind");
    EXPECT_FALSE(BarShown()) << "no archive, nothing to find in";
}

TEST_F(FindTest, typing_listsTheFortunesHoldingTheText_andCountsThem)
{
    const struct {
        const char* text;
        bool filter;
        QStringList keys;
        const char* status;
    } finds[] = {
        {"apple", true, {"I1", "I2", "I4", "I6"}, "4 of 6 fortunes"},
        {"APPLE", true, {"I1", "I2", "I4", "I6"}, "4 of 6 fortunes"},
        {"an a", true, {"I2"}, "1 of 6 fortunes"},
        {"pineapple", true, {}, "0 of 6 fortunes"},
        {"", true, {"I1", "I2", "I3", "I4", "I5", "I6"}, "6 fortunes in archive"},
        {"apple", false, {"I1", "I2", "I3", "I4", "I5", "I6"}, "4 of 6 fortunes"},
    };
    for (const auto& find : finds) {
        FilterOption().setChecked(find.filter);
        Find(QString::fromLatin1(find.text));
        EXPECT_EQ(Keys(), find.keys) << find.text;
        EXPECT_EQ(main->PanelText(2), QString::fromLatin1(find.status)) << find.text;
        EXPECT_EQ(main->FortuneCount(), 6);
    }
    FilterOption().setChecked(true);
    Find("apple");
    EXPECT_TRUE(BarShown());
    EXPECT_EQ(main->RowText(1), QStringLiteral("green pear"));
    EXPECT_GE(List().y(), main->findChild<QWidget*>("fraFind")->geometry().bottom())
        << "the bar sits above the list";
    EXPECT_TRUE(main->Commands().MenuItem("mnuActionsEdit")->isEnabled());
    Find("pineapple");
    EXPECT_FALSE(main->Commands().MenuItem("mnuActionsEdit")->isEnabled()) << "no row listed";
}

TEST_F(FindTest, selectionCommandsAndCopy_actOnTheRowsShown)
{
    Find("apple");
    Run("mnuEditSelectAll");
    EXPECT_EQ(main->SelectedCount(), 4);
    EXPECT_EQ(main->PanelText(1), QStringLiteral("4 fortunes selected"));
    Run("mnuEditCopy");
    std::vector<std::u16string> copied;
    ASSERT_TRUE(modClipboardFortunes::ParseClipboardFortunes(copied));
    QStringList texts;
    for (const std::u16string& text : copied)
        texts << QString::fromStdU16String(text);
    EXPECT_EQ(texts, (QStringList{kFruit[0], kFruit[1], kFruit[3], kFruit[5]}));
    Run("mnuEditInvertSelection");
    EXPECT_EQ(main->SelectedCount(), 0) << "the hidden rows were never selected";
}

TEST_F(FindTest, deletingWhileFiltered_deletesTheFortunesShown_andKeepsTheFilter)
{
    Find("apple");
    SelectRows({1, 3}); // I2 and I6
    prompts.expectMessageBox(vbYes);
    Run("mnuActionsDelete");
    EXPECT_EQ(OnDisk(), Holding({kFruit[0], kFruit[2], kFruit[3], kFruit[4]}));
    EXPECT_TRUE(BarShown());
    EXPECT_EQ(FindText().text(), QStringLiteral("apple"));
    EXPECT_EQ(Keys(), (QStringList{"I1", "I3"}));
    EXPECT_EQ(main->RowText(1), QStringLiteral("Apple tart"));
    EXPECT_EQ(main->PanelText(2), QStringLiteral("2 of 4 fortunes"));
    EXPECT_EQ(main->SelectedCount(), 0);
}

// A paste follows the window's change row by row; the new fortunes match on
// their whole text too, as they do once the archive is read again.
TEST_F(FindTest, pastingWhileFiltered_listsTheNewMatches)
{
    Find("apple");
    const CArchiveObject before = main->CurrentArchive();
    QGuiApplication::clipboard()->setText("//ZORVAFORTUNE//apple juice//ZORVAFORTUNE//lime"
                                          "//ZORVAFORTUNE//\r\nkiwi\npineapple\r\n"
                                          "//ZORVAFORTUNE//\n\n//ZORVAFORTUNE//pear\n\rApple");
    Run("mnuEditPaste");
    EXPECT_TRUE(main->CurrentArchive() == before) << "the archive was read again";
    const QStringList followed = {"I1", "I2", "I4", "I6", "I7", "I9", "I10"};
    EXPECT_EQ(Keys(), followed);
    EXPECT_EQ(main->RowText(5), QStringLiteral("kiwi"));
    EXPECT_EQ(main->PanelText(2), QStringLiteral("7 of 10 fortunes"));
    // The bare line feed became CR LF in the archive.
    FindText().setText("kiwi\r\npine");
    EXPECT_EQ(Keys(), (QStringList{"I9"}));
    main->OpenArchive(kName);
    EXPECT_EQ(Keys(), (QStringList{"I9"}));
    FindText().setText("apple");
    EXPECT_EQ(Keys(), followed);
}

// Pasted with no find, the fortunes are listed by their rows alone; a find
// then reads their whole texts.
TEST_F(FindTest, findingAfterAPaste_matchesThePastedFortunesWholeTexts)
{
    const CArchiveObject before = main->CurrentArchive();
    QGuiApplication::clipboard()->setText("//ZORVAFORTUNE//lime\r\nor apple"
                                          "//ZORVAFORTUNE//kiwi\npineapple");
    Run("mnuEditPaste");
    Find("apple");
    EXPECT_TRUE(main->CurrentArchive() == before) << "the archive was read again";
    EXPECT_EQ(Keys(), (QStringList{"I1", "I2", "I4", "I6", "I7", "I8"}));
    EXPECT_EQ(main->RowText(5), QStringLiteral("kiwi"));
}

TEST_F(FindTest, editingWhileFiltered_editsTheFortuneShown_andKeepsTheFilter)
{
    Find("apple");
    SelectRows({2});
    List().selectionModel()->setCurrentIndex(List().model()->index(2, 0),
                                             QItemSelectionModel::NoUpdate);
    QTimer::singleShot(0, [] {
        QWidget* form = QApplication::activeModalWidget();
        ASSERT_NE(form, nullptr);
        auto* text = form->findChild<QPlainTextEdit*>("txtFortune");
        QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(text, " with cream");
        form->findChild<QPushButton*>("cmdOK")->click();
    });
    Run("mnuActionsEdit");
    QStringList fortunes = kFruit;
    fortunes[3] = "Apple tart with cream";
    EXPECT_EQ(OnDisk(), Holding(fortunes));
    EXPECT_EQ(Keys(), (QStringList{"I1", "I2", "I4", "I6"}));
    EXPECT_EQ(main->RowText(2), QStringLiteral("Apple tart with cream"));
}

TEST_F(FindTest, f3AndShiftF3_stepThroughTheMatchesAndGoRound)
{
    Find("apple");
    FilterOption().setChecked(false);
    EXPECT_EQ(main->RowCount(), 6);
    const struct {
        Qt::KeyboardModifiers modifiers;
        int row;
    } steps[] = {
        {Qt::NoModifier, 0},    {Qt::NoModifier, 1},    {Qt::NoModifier, 3},
        {Qt::NoModifier, 5},    {Qt::NoModifier, 0},    {Qt::ShiftModifier, 5},
        {Qt::ShiftModifier, 3}, {Qt::ShiftModifier, 1}, {Qt::ShiftModifier, 0},
    };
    int step = 0;
    for (const auto& next : steps) {
        Key(Qt::Key_F3, next.modifiers);
        EXPECT_EQ(List().currentIndex().row(), next.row) << "step " << step;
        EXPECT_EQ(main->SelectedCount(), 1) << "step " << step;
        ++step;
    }
    EXPECT_TRUE(FindText().hasFocus()) << "typing goes on where it was";
    EXPECT_EQ(main->RowCount(), 6) << "stepping filters nothing";
}

TEST_F(FindTest, return_goesToTheListAtTheFirstMatchFromTheCurrentRow)
{
    Find("apple");
    FilterOption().setChecked(false);
    List().selectionModel()->setCurrentIndex(List().model()->index(2, 0),
                                             QItemSelectionModel::ClearAndSelect);
    FindText().setFocus();
    Key(Qt::Key_Return);
    EXPECT_TRUE(List().hasFocus());
    EXPECT_EQ(List().currentIndex().row(), 3);
    EXPECT_EQ(main->SelectedCount(), 1);
    Key(Qt::Key_F, Qt::ControlModifier);
    Key(Qt::Key_Return);
    EXPECT_EQ(List().currentIndex().row(), 3) << "a match stays current";
}

TEST_F(FindTest, esc_listsEveryFortune_keepingTheCurrentOneSelectedAndInView)
{
    QStringList fortunes;
    for (int i = 1; i <= 300; ++i)
        fortunes << (i == 250 ? QStringLiteral("the needle") : QStringLiteral("hay %1").arg(i));
    zrv::test::WriteArchive(environment.ArchivePath(kName), "Header", fortunes);
    main->OpenArchive(kName);
    Find("NEEDLE");
    ASSERT_EQ(Keys(), (QStringList{"I250"}));
    Key(Qt::Key_Return);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(BarShown());
    EXPECT_EQ(main->RowCount(), 300);
    EXPECT_EQ(main->PanelText(2), QStringLiteral("300 fortunes in archive"));
    const QModelIndex current = List().currentIndex();
    EXPECT_EQ(current.row(), 249);
    EXPECT_EQ(main->SelectedCount(), 1);
    EXPECT_TRUE(List().selectionModel()->isSelected(current));
    EXPECT_TRUE(List().viewport()->rect().contains(List().visualRect(current)));
    EXPECT_TRUE(List().hasFocus());

    Key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(Keys(), (QStringList{"I250"})) << "the bar opened again finds what it holds";
    EXPECT_EQ(FindText().selectedText(), QStringLiteral("NEEDLE"));
    EXPECT_EQ(main->SelectedCount(), 1);
    Find("hay 1");
    Key(Qt::Key_Escape);
    EXPECT_EQ(main->RowCount(), 300);
    EXPECT_EQ(main->SelectedCount(), 0) << "the find hid the current fortune";
}

TEST_F(FindTest, reloadKeepsTheFind_anotherArchiveOrClosingEndsIt)
{
    Find("apple");
    main->OpenArchive(kName);
    EXPECT_TRUE(BarShown());
    EXPECT_EQ(Keys(), (QStringList{"I1", "I2", "I4", "I6"}));

    zrv::test::WriteArchive(environment.ArchivePath("Other"), "Header", {"apple", "pear"});
    main->OpenArchive("Other");
    EXPECT_FALSE(BarShown());
    EXPECT_EQ(main->RowCount(), 2);
    EXPECT_EQ(main->PanelText(2), QStringLiteral("2 fortunes in archive"));

    Find("pear");
    Run("mnuFileClose");
    EXPECT_FALSE(BarShown());
    main->OpenArchive(kName);
    EXPECT_EQ(main->RowCount(), 6);
}

} // namespace
