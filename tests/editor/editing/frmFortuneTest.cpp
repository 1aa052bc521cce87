#include "editor/editing/frmFortune.h"

#include "desktop/Prompts.h"
#include "editor/editing/modForms.h"
#include "tests/editor/editing/FortuneFiles.h"
#include "tests/support/FocusChain.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace zrv::desktop;
using FortuneFiles::Fortunes;
using zrv::test::NextTabStop;

namespace {

class FortuneFormTest : public testing::Test {
protected:
    void SetUp() override
    {
        path = QString::fromStdString(zrv::test::MakeTempDir("data")) + "/Quotes";
        archive = FortuneFiles::MakeArchive(path, "Header", {"one", "two\r\nlines", "three"});
    }

    // Shows a fresh form as ShowFortune would, without its modal loop.
    frmFortune& Show(bool rw, bool isNew, int32_t index)
    {
        form = std::make_unique<frmFortune>();
        form->setParameters(rw, isNew, CArchiveObject(archive), index);
        form->show();
        return *form;
    }
    QPlainTextEdit* Text() const { return form->findChild<QPlainTextEdit*>("txtFortune"); }
    QPushButton* Button(const char* name) const { return form->findChild<QPushButton*>(name); }
    void Type(const QString& text) const
    {
        QTest::keyClick(Text(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(Text(), text);
    }
    void ClearText() const
    {
        Text()->selectAll();
        QTest::keyClick(Text(), Qt::Key_Delete);
    }
    QStringList OnDisk() const { return Fortunes(FortuneFiles::LoadFortune(path).get()); }

    zrv::test::ScriptedPrompts prompts;
    QString path;
    ComPtr<IFortune> archive;
    std::unique_ptr<frmFortune> form;
};

} // namespace

TEST_F(FortuneFormTest, modes_setCaptionTextAndButtons)
{
    Show(true, true, 0);
    EXPECT_EQ(form->windowTitle(), "Add a Fortune");
    EXPECT_TRUE(Text()->toPlainText().isEmpty());
    EXPECT_TRUE(Text()->isEnabled());
    EXPECT_FALSE(Button("cmdApply")->isEnabled());

    Show(true, false, 2);
    EXPECT_EQ(form->windowTitle(), "Edit a Fortune");
    EXPECT_EQ(form->BoxText(), "two\r\nlines");
    EXPECT_FALSE(Button("cmdApply")->isEnabled());
    EXPECT_TRUE(Button("cmdOK")->isVisible());

    Show(false, false, 3);
    EXPECT_EQ(form->windowTitle(), "Edit a Fortune");
    EXPECT_EQ(form->BoxText(), "three");
    EXPECT_FALSE(Text()->isEnabled());
    EXPECT_FALSE(Button("cmdOK")->isVisible());
    EXPECT_FALSE(Button("cmdApply")->isVisible());
    EXPECT_EQ(Button("cmdCancel")->text(), "Close");
    EXPECT_EQ(Button("cmdCancel")->geometry(), Button("cmdApply")->geometry());
}

TEST_F(FortuneFormTest, layout_buttonsInOneRowAtBottomRightAndTabOrder)
{
    Show(true, false, 1);
    form->resize(500, 300);
    const QRect ok = Button("cmdOK")->geometry();
    const QRect cancel = Button("cmdCancel")->geometry();
    const QRect apply = Button("cmdApply")->geometry();
    const QRect text = Text()->geometry();
    EXPECT_EQ(apply.right() + 1 + 6, 500);
    EXPECT_EQ(apply.bottom() + 1 + 6, 300);
    EXPECT_EQ(cancel.right() + 1 + 6, apply.left());
    EXPECT_EQ(ok.right() + 1 + 6, cancel.left());
    EXPECT_EQ(ok.top(), apply.top());
    EXPECT_EQ(QPoint(6, 6), text.topLeft());
    EXPECT_EQ(text.right() + 1 + 6, 500);
    EXPECT_EQ(text.bottom() + 1 + 6, apply.top());

    EXPECT_EQ(NextTabStop(Text()), Button("cmdOK"));
    EXPECT_EQ(NextTabStop(Button("cmdOK")), Button("cmdCancel"));
    EXPECT_EQ(NextTabStop(Button("cmdCancel")), Button("cmdApply"));

    // Too small for the text box: its step fails and leaves it as it was,
    // while the buttons still move to the new bottom right corner.
    form->resize(40, 20);
    EXPECT_EQ(Text()->geometry(), text);
    EXPECT_EQ(Button("cmdApply")->geometry().bottomRight() + QPoint(1 + 6, 1 + 6), QPoint(40, 20));
}

TEST_F(FortuneFormTest, okWithoutChange_reportsNothingSaved)
{
    Show(true, false, 1);
    Button("cmdOK")->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->GetParameters());
    EXPECT_TRUE(prompts.records().empty());
}

TEST_F(FortuneFormTest, changeAndChangeBack_savesAgain)
{
    Show(true, false, 1);
    Type("x");
    QTest::keyClick(Text(), Qt::Key_Backspace);
    EXPECT_TRUE(Button("cmdApply")->isEnabled());
    Button("cmdOK")->click();
    EXPECT_TRUE(form->GetParameters());
    EXPECT_EQ(OnDisk(), (QStringList{"one", "two\r\nlines", "three"}));
}

TEST_F(FortuneFormTest, textIsHandedOnExactly_noBreakSpacesAndLoneCarriageReturns)
{
    const QString held = QString::fromUtf8("no\u00a0break\rlone CR\r\nline");
    archive = FortuneFiles::MakeArchive(path, "Header", {held});
    Show(true, false, 1);
    Type("!");
    Button("cmdOK")->click();
    EXPECT_EQ(OnDisk(), QStringList{held + "!"});

    const QString noBreakSpaces = QString::fromUtf8("\u00a0\u00a0");
    Show(true, true, 0);
    Type(noBreakSpaces);
    Button("cmdOK")->click();
    EXPECT_TRUE(prompts.records().empty()) << "refused as empty";
    EXPECT_EQ(OnDisk(), (QStringList{held + "!", noBreakSpaces}));
}

// Enter goes to the widget with the focus, as a person's key would.
TEST_F(FortuneFormTest, enterPressesTheFocusedButton_inTheTextBoxItBreaksTheLine)
{
    const auto enterOn = [](QWidget* widget) {
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_Return);
    };
    Show(true, false, 3);
    Type(" more");
    enterOn(Text());
    Type("line");
    enterOn(Button("cmdApply"));
    EXPECT_FALSE(Button("cmdApply")->isEnabled());
    EXPECT_EQ(OnDisk().last(), "three more\r\nline");
    Type("!");
    enterOn(Button("cmdOK"));
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(OnDisk().last(), "three more\r\nline!");

    Show(false, false, 1);
    enterOn(Button("cmdCancel"));
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(prompts.records().empty());
}

TEST_F(FortuneFormTest, applyThenCancel_asksNothingAndReportsSaved)
{
    Show(true, false, 3);
    Type(" more");
    Button("cmdApply")->click();
    EXPECT_FALSE(Button("cmdApply")->isEnabled());
    EXPECT_TRUE(form->isVisible());
    Button("cmdCancel")->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(form->GetParameters());
    EXPECT_TRUE(prompts.records().empty());
    EXPECT_EQ(OnDisk().last(), "three more");
}

TEST_F(FortuneFormTest, addTypeApplyTypeOk_appendsTwo)
{
    Show(true, true, 0);
    Type("first");
    QTest::keyClick(Text(), Qt::Key_Return);
    Type("line");
    Button("cmdApply")->click();
    Type(" and more");
    Button("cmdOK")->click();
    EXPECT_TRUE(form->GetParameters());
    EXPECT_EQ(OnDisk(), (QStringList{"one", "two\r\nlines", "three", "first\r\nline",
                                     "first\r\nline and more"}));
}

TEST_F(FortuneFormTest, emptyOrSpacesOnly_isRefusedWithTheMessage)
{
    const QString spaces = "   ";
    for (const QString& typed : {QString(), spaces}) {
        Show(true, true, 0);
        Type("x");
        ClearText();
        Type(typed);
        prompts.expectMessageBox(vbOK);
        const size_t before = prompts.records().size();
        Button(typed.isEmpty() ? "cmdOK" : "cmdApply")->click();
        ASSERT_EQ(prompts.records().size(), before + 1);
        const PromptRecord& box = prompts.records().back();
        EXPECT_EQ(box.text, "Please enter a Fortune.");
        EXPECT_EQ(box.title, "Invalid Fortune");
        EXPECT_EQ(box.buttons, vbOKOnly);
        EXPECT_EQ(box.icon, 0);
        EXPECT_TRUE(form->isVisible());
        EXPECT_TRUE(Button("cmdApply")->isEnabled());
        EXPECT_FALSE(form->GetParameters());
    }
    EXPECT_EQ(OnDisk().size(), 3);
}

TEST_F(FortuneFormTest, addNothingThenOk_closesQuietly)
{
    Show(true, true, 0);
    Button("cmdOK")->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->GetParameters());
    EXPECT_EQ(OnDisk().size(), 3);
}

TEST_F(FortuneFormTest, lineBreaksOnly_addAddsNothingAndEditDeletes)
{
    Show(true, true, 0);
    QTest::keyClick(Text(), Qt::Key_Return);
    QTest::keyClick(Text(), Qt::Key_Return);
    Button("cmdOK")->click();
    EXPECT_TRUE(form->GetParameters());
    EXPECT_EQ(OnDisk().size(), 3);

    Show(true, false, 2);
    ClearText();
    QTest::keyClick(Text(), Qt::Key_Return);
    Button("cmdOK")->click();
    EXPECT_TRUE(form->GetParameters());
    EXPECT_EQ(OnDisk(), (QStringList{"one", "three"}));
}

TEST_F(FortuneFormTest, viewMode_closesWithoutQuestion)
{
    Show(false, false, 1);
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->GetParameters());

    Show(false, false, 1);
    Button("cmdCancel")->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(prompts.records().empty());
}

TEST_F(FortuneFormTest, cancelWithChanges_asksAndNoKeepsTheText)
{
    Show(true, false, 1);
    Type(" changed");
    prompts.expectMessageBox(vbNo);
    QTest::keyClick(form.get(), Qt::Key_Escape);
    ASSERT_EQ(prompts.records().size(), 1u);
    const PromptRecord& box = prompts.records().back();
    EXPECT_EQ(box.text,
              "Are you sure you wish to discard the changes you have made to this Fortune?");
    EXPECT_EQ(box.title, "Discard Changes?");
    EXPECT_EQ(box.buttons, vbYesNo);
    EXPECT_EQ(box.icon, 0);
    EXPECT_EQ(box.defaultButton, vbDefaultButton1);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->BoxText(), "one changed");

    prompts.expectMessageBox(vbYes);
    Button("cmdCancel")->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->GetParameters());
    EXPECT_EQ(OnDisk().first(), "one");
}

TEST_F(FortuneFormTest, titleBarClose_dropsChangesWithoutQuestionButKeepsApplied)
{
    Show(true, false, 1);
    Type(" applied");
    Button("cmdApply")->click();
    Type(" dropped");
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(form->GetParameters());
    EXPECT_TRUE(prompts.records().empty());
    EXPECT_EQ(OnDisk().first(), "one applied");
}

TEST(ShowFortune, everyShowingStartsFresh)
{
    zrv::test::ScriptedPrompts prompts;
    const QString path = QString::fromStdString(zrv::test::MakeTempDir("data")) + "/A";
    const ComPtr<IFortune> archive = FortuneFiles::MakeArchive(path, "H", {"alpha"});
    QWidget owner;
    owner.setObjectName("frmMain");
    owner.show();

    QTimer::singleShot(0, [] {
        auto* form = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->objectName(), "frmFortune");
        EXPECT_EQ(form->parentWidget()->objectName(), "frmMain");
        QTest::keyClicks(form->findChild<QPlainTextEdit*>("txtFortune"), "beta");
        form->findChild<QPushButton*>("cmdOK")->click();
    });
    EXPECT_TRUE(ShowFortune(true, true, CArchiveObject(archive), 0, &owner));

    QTimer::singleShot(0, [] {
        auto* form = QApplication::activeModalWidget();
        ASSERT_NE(form, nullptr);
        EXPECT_TRUE(form->findChild<QPlainTextEdit*>("txtFortune")->toPlainText().isEmpty());
        form->findChild<QPushButton*>("cmdOK")->click();
    });
    EXPECT_FALSE(ShowFortune(true, true, CArchiveObject(archive), 0, &owner));
    EXPECT_EQ(Fortunes(FortuneFiles::LoadFortune(path).get()), (QStringList{"alpha", "beta"}));
    EXPECT_TRUE(owner.findChildren<QDialog*>().isEmpty());
}
