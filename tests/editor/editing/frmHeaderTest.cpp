#include "editor/editing/frmHeader.h"

#include "desktop/Prompts.h"
#include "tests/editor/editing/FortuneFiles.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace zrv::desktop;

namespace {

class HeaderFormTest : public testing::Test {
protected:
    void SetUp() override
    {
        path = QString::fromStdString(zrv::test::MakeTempDir("data")) + "/Quotes";
        archive = FortuneFiles::MakeArchive(path, "Line 1\r\nLine 2", {"one"});
        form.setParameters(CArchiveObject(archive));
        form.show();
    }
    QPlainTextEdit* Text() { return form.findChild<QPlainTextEdit*>("txtFortune"); }
    QPushButton* Button(const char* name) { return form.findChild<QPushButton*>(name); }
    void ClearText()
    {
        Text()->selectAll();
        QTest::keyClick(Text(), Qt::Key_Delete);
    }
    QString OnDisk() const { return FortuneFiles::Header(FortuneFiles::LoadFortune(path).get()); }

    zrv::test::ScriptedPrompts prompts;
    QString path;
    ComPtr<IFortune> archive;
    frmHeader form;
};

} // namespace

TEST_F(HeaderFormTest, load_showsHeaderWithApplyDisabled)
{
    EXPECT_EQ(form.windowTitle(), "Edit Archive Header");
    EXPECT_EQ(form.BoxText(), "Line 1\r\nLine 2");
    EXPECT_FALSE(Button("cmdApply")->isEnabled());
    EXPECT_TRUE(Button("cmdOK")->isVisible());
    EXPECT_TRUE(Text()->isEnabled());
}

TEST_F(HeaderFormTest, clearedAndApplied_isStoredThenOkClosesAtOnce)
{
    ClearText();
    Button("cmdApply")->click();
    EXPECT_EQ(OnDisk(), "");
    EXPECT_FALSE(Button("cmdApply")->isEnabled());
    Button("cmdOK")->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.GetParameters());
    EXPECT_TRUE(prompts.records().empty());
}

TEST_F(HeaderFormTest, spacesOnlyApplied_isStoredUnchanged)
{
    ClearText();
    QTest::keyClicks(Text(), "  ");
    Button("cmdApply")->click();
    EXPECT_EQ(OnDisk(), "  ");
    EXPECT_TRUE(prompts.records().empty());
}

TEST_F(HeaderFormTest, clearedThenOk_isRefusedAndNothingStored)
{
    ClearText();
    prompts.expectMessageBox(vbOK);
    Button("cmdOK")->click();
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(prompts.records().back().text, "Please enter a Header.");
    EXPECT_EQ(prompts.records().back().title, "Invalid Header");
    EXPECT_EQ(prompts.records().back().icon, 0);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(OnDisk(), "Line 1\r\nLine 2");
}

TEST_F(HeaderFormTest, typedLinesAreStoredWithCrLf)
{
    QTest::keyClick(Text(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(Text(), Qt::Key_Return);
    QTest::keyClicks(Text(), "Line 3");
    Button("cmdOK")->click();
    EXPECT_TRUE(form.GetParameters());
    EXPECT_EQ(OnDisk(), "Line 1\r\nLine 2\r\nLine 3");
}

TEST_F(HeaderFormTest, cancelAsksAboutTheHeader_applyThenCancelDoesNot)
{
    QTest::keyClicks(Text(), "x");
    prompts.expectMessageBox(vbNo);
    Button("cmdCancel")->click();
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(prompts.records().back().text,
              "Are you sure you wish to discard the changes you have made to this Header?");
    EXPECT_TRUE(form.isVisible());

    Button("cmdApply")->click();
    Button("cmdCancel")->click();
    EXPECT_EQ(prompts.records().size(), 1u);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.GetParameters());
}
