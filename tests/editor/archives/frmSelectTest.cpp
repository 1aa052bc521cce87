#include "editor/archives/frmSelect.h"

#include "desktop/Prompts.h"
#include "editor/archives/modForms.h"
#include "tests/support/FocusChain.h"
#include "tests/support/ScriptedPrompts.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace zrv::desktop;
using zrv::test::NextTabStop;

namespace {

class SelectFormTest : public testing::Test {
protected:
    QListWidget* List() { return form.findChild<QListWidget*>("lstFortunes"); }
    QPushButton* Button(const char* name) { return form.findChild<QPushButton*>(name); }
    QString Chosen() const
    {
        QString name = "untouched";
        form.GetParameters(name);
        return name;
    }

    zrv::test::ScriptedPrompts prompts;
    frmSelect form;
};

} // namespace

TEST_F(SelectFormTest, listsTheNamesInTheirOrder)
{
    form.setParameters({"zeta", " spaced ", "alpha"});
    form.show();
    EXPECT_EQ(form.windowTitle(), "Select a Fortune archive");
    ASSERT_EQ(List()->count(), 3);
    EXPECT_EQ(List()->item(0)->text(), "zeta");
    EXPECT_EQ(List()->item(1)->text(), " spaced ");
    EXPECT_EQ(List()->item(2)->text(), "alpha");
    EXPECT_EQ(Chosen(), "");
}

TEST_F(SelectFormTest, okWithoutChoice_saysSoAndStays)
{
    form.setParameters({});
    form.show();
    prompts.expectMessageBox(vbOK);
    QTest::keyClick(&form, Qt::Key_Return);
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(prompts.records().back().text, "Please select a Fortune archive.");
    EXPECT_EQ(prompts.records().back().icon, 0);
    EXPECT_EQ(prompts.records().back().buttons, vbOKOnly);
    EXPECT_TRUE(form.isVisible());
    QString name;
    EXPECT_FALSE(form.GetParameters(name));
}

TEST_F(SelectFormTest, okOrDoubleClick_choosesTheSelectedName)
{
    form.setParameters({"one", "two"});
    form.show();
    List()->setCurrentRow(1);
    Button("cmdOK")->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Chosen(), "two");

    frmSelect second;
    second.setParameters({"one", "two"});
    second.show();
    auto* list = second.findChild<QListWidget*>("lstFortunes");
    list->setCurrentRow(0);
    emit list->itemDoubleClicked(list->item(0));
    EXPECT_FALSE(second.isVisible());
    QString name;
    EXPECT_TRUE(second.GetParameters(name));
    EXPECT_EQ(name, "one");
}

// Keys go where a person's keys go: to the widget that has the focus. The
// focus frame starts on the only entry, so Down cannot move it further.
TEST_F(SelectFormTest, arrowKeysSelect_downThenEnterOpens)
{
    form.setParameters({"only"});
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    ASSERT_EQ(QApplication::focusWidget(), List());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Chosen(), "only");
}

TEST_F(SelectFormTest, enterOnFocusedCancel_cancels)
{
    form.setParameters({"one", "two"});
    form.show();
    List()->setCurrentRow(0);
    Button("cmdCancel")->setFocus();
    QTest::keyClick(Button("cmdCancel"), Qt::Key_Return);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Chosen(), "");
}

TEST_F(SelectFormTest, cancelEscOrClose_chooseNothing)
{
    form.setParameters({"one"});
    form.show();
    List()->setCurrentRow(0);
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Chosen(), "");

    form.show();
    List()->setCurrentRow(0);
    form.close();
    EXPECT_EQ(Chosen(), "");
}

TEST_F(SelectFormTest, layout_listAboveButtonsAtBottomRight)
{
    form.setParameters({"one"});
    form.show();
    form.resize(300, 250);
    const QRect ok = Button("cmdOK")->geometry();
    const QRect cancel = Button("cmdCancel")->geometry();
    EXPECT_EQ(cancel.right() + 1 + 6, 300);
    EXPECT_EQ(cancel.bottom() + 1 + 6, 250);
    EXPECT_EQ(ok.right() + 1 + 6, cancel.left());
    EXPECT_EQ(List()->geometry(), QRect(6, 6, 300 - 12, cancel.top() - 12));
    EXPECT_EQ(NextTabStop(List()), Button("cmdOK"));
}

TEST(ShowSelect, emptyFolderThenCancel_returnsNothing)
{
    zrv::test::ScriptedPrompts prompts;
    QTimer::singleShot(0, [] {
        QWidget* form = QApplication::activeModalWidget();
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->findChild<QListWidget*>("lstFortunes")->count(), 0);
        form->findChild<QPushButton*>("cmdCancel")->click();
    });
    QString chosen = "before";
    EXPECT_FALSE(ShowSelect({}, chosen, nullptr));
    EXPECT_EQ(chosen, "");
}
