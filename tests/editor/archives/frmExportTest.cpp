#include "editor/archives/frmExport.h"

#include "desktop/Prompts.h"
#include "desktop/ScreenMetrics.h"
#include "editor/archives/modForms.h"
#include "tests/support/FocusChain.h"
#include "tests/support/ScriptedPrompts.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace zrv::desktop;

namespace {

QRect Twips(const QWidget* control)
{
    const QRect r = control->geometry();
    return {PixelsToTwipsX(r.x()), PixelsToTwipsY(r.y()), PixelsToTwipsX(r.width()),
            PixelsToTwipsY(r.height())};
}

// Twips are whole pixels here: 15 a pixel at 96 DPI.
QRect Rounded(int left, int top, int width, int height)
{
    return {PixelsToTwipsX(TwipsToPixelsX(left)), PixelsToTwipsY(TwipsToPixelsY(top)),
            PixelsToTwipsX(TwipsToPixelsX(width)), PixelsToTwipsY(TwipsToPixelsY(height))};
}

class ExportFormTest : public testing::Test {
protected:
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
    QLineEdit* Box(frmExport& form) { return form.findChild<QLineEdit*>("txtCharLength"); }
    QPushButton* Button(frmExport& form, const char* name)
    {
        return form.findChild<QPushButton*>(name);
    }

    zrv::test::ScriptedPrompts prompts;
};

} // namespace

TEST_F(ExportFormTest, layoutInTwips_labelOnTwoLines_boxFirstInTabOrder)
{
    QWidget owner;
    owner.setGeometry(200, 150, 800, 600);
    owner.show();
    frmExport form(&owner);
    form.show();
    EXPECT_EQ(form.windowTitle(), "Export Options");
    EXPECT_EQ(form.size(), QSize(TwipsToPixelsX(4860), TwipsToPixelsY(1410)));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(form.frameGeometry().center(), owner.frameGeometry().center());

    EXPECT_EQ(
        form.findChild<QLabel*>("lblCap")->text().split('\n'),
        (QStringList{"Maximum character length of Fortunes to export:", "(Leave blank for none)"}));
    const QLabel* caption = form.findChild<QLabel*>("lblCap");
    EXPECT_EQ(Twips(caption), Rounded(120, 270, 3525, 405));
    for (const QString& line : caption->text().split('\n'))
        EXPECT_LE(caption->fontMetrics().horizontalAdvance(line), caption->width())
            << line.toStdString();
    EXPECT_EQ(Twips(Box(form)), Rounded(3870, 240, 735, 375));
    EXPECT_EQ(Twips(Button(form, "cmdOK")), Rounded(2400, 960, 1125, 345));
    EXPECT_EQ(Twips(Button(form, "cmdCancel")), Rounded(3630, 960, 1125, 345));
    EXPECT_EQ(Button(form, "cmdOK")->text(), "OK");
    EXPECT_EQ(Button(form, "cmdCancel")->text(), "Cancel");
    EXPECT_EQ(Box(form)->text(), "");
    EXPECT_EQ(form.focusWidget(), Box(form));
    EXPECT_EQ(zrv::test::NextTabStop(Box(form)), Button(form, "cmdOK"));
    EXPECT_EQ(zrv::test::NextTabStop(Button(form, "cmdOK")), Button(form, "cmdCancel"));
}

// Enter is OK: accepted texts hide the form, refused ones tell why and stay.
TEST_F(ExportFormTest, okValidatesTheLength)
{
    const QString notANumber = "The character length must be a number.";
    const QString belowOne = "The character length must be greater than zero,";
    const struct {
        const char* text;
        QString refusal; // empty: accepted
        int32_t length;
    } cases[] = {
        {"", {}, -1},
        {"   ", {}, -1},
        {" 12 ", {}, 12},
        {"1", {}, 1},
        {"1.5", {}, 2},
        {"2.5", {}, 2},
        {"0.5", belowOne, 0},
        {"0.51", {}, 1},
        {"0", belowOne, 0},
        {"-3", belowOne, -3},
        {"99999", {}, 32767},
        {"1e9", {}, 32767},
        {"-1e9", belowOne, -32768},
        {"abc", notANumber, 0},
        {"12abc", notANumber, 0},
        {"1,5", notANumber, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        frmExport form;
        form.show();
        Box(form)->setText(c.text);
        if (!c.refusal.isEmpty())
            prompts.expectMessageBox(vbOK);
        QTest::keyClick(Box(form), Qt::Key_Return);
        EXPECT_EQ(form.isVisible(), !c.refusal.isEmpty());
        if (!c.refusal.isEmpty()) {
            ASSERT_FALSE(prompts.records().empty());
            EXPECT_EQ(prompts.records().back().text, c.refusal);
            EXPECT_EQ(prompts.records().back().title, "Invalid length");
            EXPECT_EQ(prompts.records().back().icon, vbInformation);
            EXPECT_EQ(prompts.records().back().buttons, vbOKOnly);
        }
        EXPECT_EQ(form.GetLength(), c.length);
    }
}

TEST_F(ExportFormTest, numbersFollowTheUsersLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    frmExport form;
    form.show();
    Box(form)->setText("2,5");
    QTest::keyClick(Box(form), Qt::Key_Return);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.GetLength(), 2);
}

// Cancel, Esc and Enter on a focused Cancel put "0" in the box; Enter on a
// focused OK is OK; the title bar's close button leaves the box as it is,
// unless OK would have refused it.
TEST_F(ExportFormTest, cancelEscAndTitleBarClose)
{
    const struct {
        const char* typed;
        const char* how;
        int32_t length;
        bool shown;
    } cases[] = {
        {"12", "cancel", 0, false},  {"12", "esc", 0, false},   {"12", "enterCancel", 0, false},
        {"12", "enterOK", 12, true}, {"", "close", -1, true},   {"12", "close", 12, true},
        {"abc", "close", 0, false},  {"-1", "close", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.how) + " " + c.typed);
        QWidget owner;
        owner.setObjectName("frmMain");
        owner.show();
        int32_t length = 99;
        QTimer::singleShot(0, [&] {
            auto* form = dynamic_cast<frmExport*>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            EXPECT_EQ(form->parentWidget(), &owner);
            QTest::keyClicks(Box(*form), c.typed);
            const std::string how = c.how;
            if (how == "enterCancel" || how == "enterOK") {
                QPushButton* button = Button(*form, how == "enterOK" ? "cmdOK" : "cmdCancel");
                form->activateWindow();
                EXPECT_TRUE(QTest::qWaitForWindowActive(form));
                button->setFocus();
                EXPECT_EQ(QApplication::focusWidget(), button);
                QTest::keyClick(button, Qt::Key_Return);
            } else if (how == "cancel")
                Button(*form, "cmdCancel")->click();
            else if (how == "esc")
                QTest::keyClick(Box(*form), Qt::Key_Escape);
            else
                form->close();
        });
        EXPECT_EQ(ShowExport(length, &owner), c.shown);
        EXPECT_EQ(length, c.length);
    }
    EXPECT_TRUE(prompts.records().empty());
}
