// Undo and Redo in the main window (offscreen), checked by the archive's
// bytes: every kind of step taken back and made again, the selection that
// comes back, the captions, an outside change that ends the history, and the
// history ending with its archive.
#include "desktop/Prompts.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/frmMain.h"
#include "tests/editor/shell/EditorTestEnvironment.h"
#include "tests/support/ScriptedPrompts.h"

#include <functional>
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace zrv::desktop;
using zrv::test::EditorTestEnvironment;

namespace {

const QString kName = QStringLiteral("Fruit");
const QStringList kFruit = {"red apple", "green pear\r\nnot an apple", "plum", "Apple tart",
                            "kiwi"};

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class UndoTest : public testing::Test {
protected:
    void SetUp() override
    {
        main = environment.StartEditor();
        zrv::test::WriteArchive(environment.ArchivePath(kName), "Header", kFruit);
        main->OpenArchive(kName);
    }

    QTreeView& List() const { return *main->List(); }
    QAction& Item(const char* name) const { return *main->Commands().MenuItem(name); }
    void Run(const char* item) const { Item(item).trigger(); }
    void SelectRows(std::initializer_list<int> rows) const
    {
        for (const int row : rows)
            List().selectionModel()->select(List().model()->index(row, 0),
                                            QItemSelectionModel::Select |
                                                QItemSelectionModel::Rows);
        List().selectionModel()->setCurrentIndex(List().model()->index(*rows.begin(), 0),
                                                 QItemSelectionModel::NoUpdate);
    }
    QStringList Rows() const
    {
        QStringList rows;
        for (int row = 0; row < main->RowCount(); ++row)
            rows << main->RowText(row);
        return rows;
    }
    QStringList SelectedKeys() const
    {
        QStringList keys;
        for (int row = 0; row < main->RowCount(); ++row) {
            if (List().selectionModel()->isRowSelected(row))
                keys << main->RowKey(row);
        }
        return keys;
    }
    // The next modal form gets `typed` at the end of its text, then OK.
    static void OnForm(const QString& typed)
    {
        QTimer::singleShot(0, [typed] {
            QWidget* form = QApplication::activeModalWidget();
            ASSERT_NE(form, nullptr);
            auto* text = form->findChild<QPlainTextEdit*>("txtFortune");
            QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClicks(text, typed);
            form->findChild<QPushButton*>("cmdOK")->click();
        });
    }
    QByteArray OnDisk() const { return Bytes(environment.ArchivePath(kName)); }
    void AppendOutside(const QByteArray& bytes) const
    {
        QFile file(environment.ArchivePath(kName));
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(bytes);
    }

    EditorTestEnvironment environment;
    std::unique_ptr<frmMain> main;
    zrv::test::ScriptedPrompts prompts;
};

TEST_F(UndoTest, deletingASelection_isUndoneWithItsSelection_andRedone)
{
    EXPECT_FALSE(Item("mnuEditUndo").isEnabled());
    EXPECT_EQ(Item("mnuEditRedo").shortcuts(),
              (QList<QKeySequence>{QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")}));
    const QByteArray original = OnDisk();
    SelectRows({3, 1});
    prompts.expectMessageBox(vbYes);
    QTest::keyClick(&List(), Qt::Key_Delete);
    const QByteArray deleted = OnDisk();
    ASSERT_NE(deleted, original);
    EXPECT_EQ(Item("mnuEditUndo").text(), QStringLiteral("&Undo Delete"));
    EXPECT_EQ(Item("mnuEditRedo").text(), QStringLiteral("&Redo"));

    const CArchiveObject object = main->CurrentArchive();
    QTest::keyClick(&List(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(OnDisk(), original);
    EXPECT_TRUE(main->CurrentArchive() == object) << "the list followed by its own rows";
    EXPECT_EQ(Rows(), (QStringList{"red apple", "green pear", "plum", "Apple tart", "kiwi"}));
    EXPECT_EQ(SelectedKeys(), (QStringList{"I2", "I4"}));
    EXPECT_EQ(main->RowKey(List().currentIndex().row()), QStringLiteral("I4"));
    EXPECT_EQ(main->PanelText(1), QStringLiteral("2 fortunes selected"));
    EXPECT_EQ(main->PanelText(2), QStringLiteral("5 fortunes in archive"));
    EXPECT_FALSE(Item("mnuEditUndo").isEnabled());
    EXPECT_EQ(Item("mnuEditRedo").text(), QStringLiteral("&Redo Delete"));

    QTest::keyClick(&List(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(OnDisk(), deleted);
    EXPECT_EQ(main->RowCount(), 3);
    EXPECT_TRUE(Item("mnuEditUndo").isEnabled());
    EXPECT_EQ(prompts.records().size(), 1U) << "only the deletion asked";
}

// Each kind of step, then all of them taken back newest first and made again
// oldest first: the file passes through exactly the same bytes.
TEST_F(UndoTest, everyKindOfStep_goesBackAndForthThroughTheSameBytes)
{
    const struct {
        const char* caption;
        std::function<void()> make;
    } steps[] = {
        {"Add", [this] { OnForm("fig"), Run("mnuActionsAdd"); }},
        {"Edit",
         [this] {
             SelectRows({2});
             OnForm(" and plum jam");
             Run("mnuActionsEdit");
         }},
        {"Header", [this] { OnForm(" of the orchard"), Run("mnuEditArchiveHeader"); }},
        {"Paste",
         [this] {
             QGuiApplication::clipboard()->setText("//ZORVAFORTUNE//lime//ZORVAFORTUNE//  "
                                                   "\r\nsloe\r\n");
             Run("mnuEditPaste");
         }},
        {"Cut",
         [this] {
             SelectRows({0, 5});
             prompts.expectMessageBox(vbYes);
             Run("mnuEditCut");
         }},
    };
    std::vector<QByteArray> states = {OnDisk()};
    for (const auto& step : steps) {
        step.make();
        states.push_back(OnDisk());
        EXPECT_NE(states.back(), states[states.size() - 2]) << step.caption;
        EXPECT_EQ(Item("mnuEditUndo").text(), QStringLiteral("&Undo ") + step.caption);
    }
    for (size_t i = std::size(steps); i-- > 0;) {
        Run("mnuEditUndo");
        EXPECT_EQ(OnDisk(), states[i]) << "undo " << steps[i].caption;
    }
    for (size_t i = 0; i < std::size(steps); ++i) {
        Run("mnuEditRedo");
        EXPECT_EQ(OnDisk(), states[i + 1]) << "redo " << steps[i].caption;
    }
    const QStringList followed = Rows();
    main->OpenArchive(kName);
    EXPECT_EQ(Rows(), followed) << "the list shows what a reload shows";
    EXPECT_EQ(followed.size(), 6);
}

// Another tool's archive: bare line feeds, tabs, a trailing separator. What
// an undo puts back is what the file stored (fortunes and header), not the
// text as shown.
TEST_F(UndoTest, aForeignArchive_comesBackByteForByte)
{
    const QByteArray foreign = "one\n\tline\n%\ntwo\n  lines\n%\nthree\n%\n";
    QFile file(environment.ArchivePath("Foreign"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(foreign);
    file.close();
    main->OpenArchive("Foreign");
    SelectRows({0, 1});
    prompts.expectMessageBox(vbYes);
    Run("mnuActionsDelete");
    Run("mnuEditUndo");
    EXPECT_EQ(Bytes(file.fileName()), foreign);

    SelectRows({1});
    OnForm(" more");
    Run("mnuActionsEdit");
    ASSERT_NE(Bytes(file.fileName()), foreign);
    Run("mnuEditUndo");
    EXPECT_EQ(Bytes(file.fileName()), foreign);

    OnForm(" more"); // the header: the text before the first separator
    Run("mnuEditArchiveHeader");
    ASSERT_NE(Bytes(file.fileName()), foreign);
    Run("mnuEditUndo");
    EXPECT_EQ(Bytes(file.fileName()), foreign);
}

// Undone while a find filters the list: the fortunes come back listed and
// selected among the matches, and the filter stays.
TEST_F(UndoTest, undoWhileFiltered_listsAndSelectsTheMatchesAgain)
{
    const QByteArray original = OnDisk();
    QTest::keyClick(&List(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "apple");
    ASSERT_EQ(main->RowCount(), 3);
    SelectRows({0, 2}); // I1 and I4
    prompts.expectMessageBox(vbYes);
    Run("mnuActionsDelete");
    ASSERT_EQ(main->RowCount(), 1);
    Run("mnuEditUndo");
    EXPECT_EQ(OnDisk(), original);
    EXPECT_EQ(main->RowCount(), 3) << "the filter stays";
    EXPECT_EQ(SelectedKeys(), (QStringList{"I1", "I4"}));
    EXPECT_EQ(main->PanelText(2), QStringLiteral("3 of 5 fortunes"));
}

TEST_F(UndoTest, anOutsideChange_refusesTheUndo_withOneMessage_andEndsTheHistory)
{
    SelectRows({0});
    prompts.expectMessageBox(vbYes);
    Run("mnuActionsDelete");
    AppendOutside("from elsewhere\n%\n");
    const QByteArray changed = OnDisk();
    prompts.expectMessageBox(vbOK);
    Run("mnuEditUndo");
    EXPECT_EQ(OnDisk(), changed) << "nothing was written";
    ASSERT_EQ(prompts.records().size(), 2U);
    EXPECT_EQ(prompts.records().back().text,
              QStringLiteral("The archive was changed outside this window; its changes can no "
                             "longer be undone."));
    EXPECT_FALSE(Item("mnuEditUndo").isEnabled());
    EXPECT_EQ(Item("mnuEditUndo").text(), QStringLiteral("&Undo"));
    EXPECT_EQ(main->FortuneCount(), 5) << "the list shows the file as it now is";
}

TEST_F(UndoTest, theHistoryEndsWithItsArchive_butNotWithAReload)
{
    OnForm("fig");
    Run("mnuActionsAdd");
    main->OpenArchive(kName);
    EXPECT_TRUE(Item("mnuEditUndo").isEnabled()) << "the same archive, read again";
    zrv::test::WriteArchive(environment.ArchivePath("Other"), "Header", {"one"});
    main->OpenArchive("Other");
    EXPECT_FALSE(Item("mnuEditUndo").isEnabled());
    main->OpenArchive(kName);
    EXPECT_FALSE(Item("mnuEditUndo").isEnabled());
    OnForm("fig");
    Run("mnuActionsAdd");
    Run("mnuFileClose");
    Run("mnuEditUndo");
    EXPECT_FALSE(Item("mnuEditUndo").isEnabled());
}

} // namespace
