#include "desktop/Prompts.h"

#include "desktop/QtPromptResponder.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempHome.h"

#include <functional>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

using namespace zrv::desktop;
using zrv::test::ScriptedPrompts;

namespace {

struct StyleCase {
    int style;
    int buttons;
    int icon;
    int defaultButton;
};

class MsgBoxStyle : public testing::TestWithParam<StyleCase> {};

TEST_P(MsgBoxStyle, recordsButtonsIconAndDefaultOfTheStyle)
{
    const StyleCase& c = GetParam();
    ScriptedPrompts prompts;
    prompts.expectMessageBox(vbOK);
    MsgBox(QStringLiteral("text"), c.style, QStringLiteral("Title"));
    ASSERT_EQ(prompts.records().size(), 1u);
    const PromptRecord& record = prompts.records().front();
    EXPECT_EQ(record.kind, PromptRecord::Kind::MessageBox);
    EXPECT_EQ(record.buttons, c.buttons);
    EXPECT_EQ(record.icon, c.icon);
    EXPECT_EQ(record.defaultButton, c.defaultButton);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, MsgBoxStyle,
    testing::Values(StyleCase{vbOKOnly, vbOKOnly, 0, vbDefaultButton1},
                    StyleCase{vbOKOnly + vbCritical, vbOKOnly, vbCritical, vbDefaultButton1},
                    StyleCase{vbYesNo + vbQuestion, vbYesNo, vbQuestion, vbDefaultButton1},
                    StyleCase{vbYesNoCancel + vbExclamation + vbDefaultButton3, vbYesNoCancel,
                              vbExclamation, vbDefaultButton3},
                    StyleCase{vbOKCancel + vbInformation + vbDefaultButton2, vbOKCancel,
                              vbInformation, vbDefaultButton2},
                    StyleCase{vbRetryCancel, vbRetryCancel, 0, vbDefaultButton1}));

TEST(ScriptedPromptsTest, answersInQueueOrderAndRecordsTexts)
{
    ScriptedPrompts prompts;
    prompts.expectMessageBox(vbNo);
    prompts.expectInput(QStringLiteral("typed"));
    prompts.expectOpenFile(QStringLiteral("/tmp/chosen.xls"));

    EXPECT_EQ(MsgBox(QStringLiteral("Sure?"), vbYesNo + vbQuestion, QStringLiteral("Ask")), vbNo);
    EXPECT_EQ(InputBox(QStringLiteral("Name:"), QStringLiteral("New"), QStringLiteral("old")),
              QStringLiteral("typed"));
    EXPECT_EQ(ShowOpenFileDialog(QStringLiteral("/data"), QStringLiteral("Import"),
                                 QStringLiteral("Sheets|*.xls")),
              QStringLiteral("/tmp/chosen.xls"));

    ASSERT_EQ(prompts.records().size(), 3u);
    EXPECT_EQ(prompts.records()[0].title, QStringLiteral("Ask"));
    EXPECT_EQ(prompts.records()[0].text, QStringLiteral("Sure?"));
    EXPECT_EQ(prompts.records()[1].kind, PromptRecord::Kind::InputBox);
    EXPECT_EQ(prompts.records()[1].text, QStringLiteral("Name:"));
    EXPECT_EQ(prompts.records()[1].defaultText, QStringLiteral("old"));
    EXPECT_EQ(prompts.records()[2].kind, PromptRecord::Kind::OpenFile);
    EXPECT_EQ(prompts.records()[2].initialFolder, QStringLiteral("/data"));
    EXPECT_EQ(prompts.records()[2].filter, QStringLiteral("Sheets|*.xls"));
    EXPECT_EQ(prompts.pending(), 0u);
}

// Boxes without a title show the program's; a file dialog keeps the desktop's.
TEST(ScriptedPromptsTest, emptyTitleIsTheProgramTitle_butNotAFileDialogs)
{
    const QString saved = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("fortedit"));
    ScriptedPrompts prompts;
    prompts.expectMessageBox(vbOK);
    prompts.expectInput({});
    prompts.expectOpenFile({});
    MsgBox(QStringLiteral("plain"));
    InputBox(QStringLiteral("prompt"));
    ShowOpenFileDialog(QStringLiteral("/"));
    QCoreApplication::setApplicationName(saved);
    ASSERT_EQ(prompts.records().size(), 3u);
    EXPECT_EQ(prompts.records()[0].title, QStringLiteral("fortedit"));
    EXPECT_EQ(prompts.records()[1].title, QStringLiteral("fortedit"));
    EXPECT_EQ(prompts.records()[2].title, QString());
}

TEST(ScriptedPromptsTest, cancelledInputAndFileGiveEmptyText)
{
    ScriptedPrompts prompts;
    prompts.expectInput({});
    prompts.expectOpenFile({});
    EXPECT_TRUE(InputBox(QStringLiteral("p"), {}, QStringLiteral("default")).isEmpty());
    EXPECT_TRUE(ShowOpenFileDialog(QStringLiteral("/")).isEmpty());
}

TEST(ScriptedPromptsTest, unexpectedPromptFailsAndGetsTheSafeAnswer)
{
    static int answer = 0;
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompts prompts;
            answer = MsgBox(QStringLiteral("Delete everything?"), vbYesNo);
        },
        "Unexpected prompt: MessageBox");
    EXPECT_EQ(answer, vbNo);

    // Without a script of its own a test meets the test main's strict one.
    static QString text;
    EXPECT_NONFATAL_FAILURE(
        { text = InputBox(QStringLiteral("Name?"), {}, QStringLiteral("proposal")); },
        "Unexpected prompt: InputBox");
    EXPECT_TRUE(text.isEmpty());
}

TEST(ScriptedPromptsTest, promptOfAnotherKindFails)
{
    static int answer = 0;
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompts prompts;
            prompts.expectInput(QStringLiteral("text"));
            answer = MsgBox(QStringLiteral("Go on?"), vbOKCancel);
        },
        "Expected a InputBox but got MessageBox");
    EXPECT_EQ(answer, vbCancel);
}

TEST(ScriptedPromptsTest, answerLeftInTheQueueFailsAtTheEnd)
{
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompts prompts;
            prompts.expectMessageBox(vbYes);
        },
        "never shown");
}

TEST(ScriptedPromptsTest, safeAnswerNeverAgrees)
{
    PromptRecord record;
    const std::pair<int, int> cases[] = {
        {vbOKOnly, vbOK},          {vbOKCancel, vbCancel}, {vbAbortRetryIgnore, vbAbort},
        {vbYesNoCancel, vbCancel}, {vbYesNo, vbNo},        {vbRetryCancel, vbCancel}};
    for (const auto& [buttons, expected] : cases) {
        record.buttons = buttons;
        EXPECT_EQ(ScriptedPrompts::SafeAnswer(record).button, expected) << buttons;
    }
}

TEST(ScriptedPromptsTest, installsWhileAliveAndRestoresThePrevious)
{
    IPromptResponder* const strict = PromptResponder(); // the test main's
    ASSERT_NE(strict, nullptr);
    {
        ScriptedPrompts outer;
        EXPECT_EQ(PromptResponder(), &outer);
        {
            ScriptedPrompts inner;
            EXPECT_EQ(PromptResponder(), &inner);
        }
        EXPECT_EQ(PromptResponder(), &outer);
    }
    EXPECT_EQ(PromptResponder(), strict);
}

TEST(QtPromptResponderTest, commonDialogFilterBecomesQtFilter)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"Text files (*.txt);;All files (*)", "Text files (*.txt);;All files (*)"},
        {"Excel Files (*.xls)|*.xls", "Excel Files (*.xls)"},
        {"Sheets|*.xls;*.xlsx|All Files (*.*)|*.*", "Sheets (*.xls *.xlsx);;All Files (*)"},
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(QtPromptResponder::QtFilter(QString::fromUtf8(input)),
                  QString::fromUtf8(expected));
}

// Runs `act` on the first modal dialog of type Dialog that shows up while
// `show` runs. Never blocks: when none comes, every window is closed.
template <typename Dialog, typename Show>
auto WithModal(const std::function<void(Dialog&)>& act, Show show)
{
    QTimer timer;
    timer.setInterval(20);
    int ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            if (++ticks > 250)
                QApplication::closeAllWindows();
            return;
        }
        timer.stop();
        act(*dialog);
    });
    timer.start();
    IPromptResponder* const strict = PromptResponder();
    QtPromptResponder real;
    SetPromptResponder(&real);
    auto result = show();
    SetPromptResponder(strict);
    return result;
}

struct ShownBox {
    QList<QMessageBox::StandardButton> buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    int result = 0;
};

ShownBox ShowAndClick(int style, QMessageBox::StandardButton click)
{
    ShownBox shown;
    shown.result = WithModal<QMessageBox>(
        [&](QMessageBox& box) {
            for (QAbstractButton* button : box.buttons())
                shown.buttons << box.standardButton(button);
            shown.defaultButton = box.standardButton(box.defaultButton());
            shown.icon = box.icon();
            shown.title = box.windowTitle();
            shown.text = box.text();
            box.button(click)->click();
        },
        [&] { return MsgBox(QStringLiteral("Body"), style, QStringLiteral("Caption")); });
    return shown;
}

TEST(QtPromptResponderTest, realMessageBoxShowsTheStyleAndMapsTheClick)
{
    const ShownBox yesNo = ShowAndClick(vbYesNo + vbQuestion + vbDefaultButton2, QMessageBox::Yes);
    EXPECT_EQ(yesNo.result, vbYes);
    EXPECT_EQ(yesNo.buttons.size(), 2);
    EXPECT_TRUE(yesNo.buttons.contains(QMessageBox::Yes));
    EXPECT_TRUE(yesNo.buttons.contains(QMessageBox::No));
    EXPECT_EQ(yesNo.defaultButton, QMessageBox::No);
    EXPECT_EQ(yesNo.icon, QMessageBox::Question);
    EXPECT_EQ(yesNo.title, QStringLiteral("Caption"));
    EXPECT_EQ(yesNo.text, QStringLiteral("Body"));

    const ShownBox critical = ShowAndClick(vbOKOnly + vbCritical, QMessageBox::Ok);
    EXPECT_EQ(critical.result, vbOK);
    EXPECT_EQ(critical.buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
    EXPECT_EQ(critical.icon, QMessageBox::Critical);

    const ShownBox retry = ShowAndClick(vbRetryCancel + vbExclamation, QMessageBox::Cancel);
    EXPECT_EQ(retry.result, vbCancel);
    EXPECT_EQ(retry.defaultButton, QMessageBox::Retry);
    EXPECT_EQ(retry.icon, QMessageBox::Warning);

    const ShownBox three = ShowAndClick(vbYesNoCancel + vbDefaultButton3, QMessageBox::No);
    EXPECT_EQ(three.result, vbNo);
    EXPECT_EQ(three.buttons.size(), 3);
    EXPECT_EQ(three.defaultButton, QMessageBox::Cancel);
    EXPECT_EQ(three.icon, QMessageBox::NoIcon);
}

} // namespace

namespace {

TEST(QtPromptResponderTest, realInputBoxGivesTheTextOrNothing)
{
    QString label;
    const QString typed = WithModal<QInputDialog>(
        [&](QInputDialog& dialog) {
            label = dialog.labelText() + "|" + dialog.textValue() + "|" + dialog.windowTitle();
            dialog.setTextValue(QStringLiteral("new name"));
            dialog.accept();
        },
        [] {
            return InputBox(QStringLiteral("Name:"), QStringLiteral("New"), QStringLiteral("old"));
        });
    EXPECT_EQ(typed, QStringLiteral("new name"));
    EXPECT_EQ(label, QStringLiteral("Name:|old|New"));

    const QString cancelled = WithModal<QInputDialog>(
        [](QInputDialog& dialog) {
            dialog.setTextValue(QStringLiteral("typed, then cancelled"));
            dialog.reject();
        },
        [] { return InputBox(QStringLiteral("Name:")); });
    EXPECT_TRUE(cancelled.isEmpty());
}

TEST(QtPromptResponderTest, realFileDialogStartsInTheFolderAndGivesTheChoice)
{
    const QString folder = QString::fromStdString(zrv::test::MakeTempDir("open"));
    QFile file(folder + "/sheet.xls");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QString shownFolder;
    QStringList filters;
    QString title;
    const QString chosen = WithModal<QFileDialog>(
        [&](QFileDialog& dialog) {
            title = dialog.windowTitle();
            shownFolder = dialog.directory().absolutePath();
            filters = dialog.nameFilters();
            dialog.selectFile(folder + "/sheet.xls");
            static_cast<QDialog&>(dialog).accept();
        },
        [&] {
            return ShowOpenFileDialog(folder, QStringLiteral("Import"),
                                      QStringLiteral("Spreadsheets (*.xls)|*.xls"));
        });
    EXPECT_EQ(chosen, folder + "/sheet.xls");
    EXPECT_EQ(shownFolder, folder);
    EXPECT_EQ(filters, QStringList{QStringLiteral("Spreadsheets (*.xls)")});
    EXPECT_EQ(title, QStringLiteral("Import"));

    // Without a title of its own the dialog is titled as the desktop's.
    const QString cancelled = WithModal<QFileDialog>(
        [&](QFileDialog& dialog) {
            title = dialog.windowTitle();
            dialog.reject();
        },
        [&] { return ShowOpenFileDialog(folder); });
    EXPECT_TRUE(cancelled.isEmpty());
    EXPECT_EQ(title, QFileDialog().windowTitle());
    EXPECT_NE(title, QCoreApplication::applicationName());
}

} // namespace
