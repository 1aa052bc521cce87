// Two editor processes on one X display: the program fortedit, driven with
// the keyboard through xdotool, and a main window of this test process.

#include "desktop/Prompts.h"
#include "editor/shell/frmMain.h"
#include "editor/shell/modInstall.h"
#include "tests/editor/shell/EditorTestEnvironment.h"
#include "tests/support/ScriptedPrompts.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace zrv::desktop;
using zrv::test::EditorTestEnvironment;
using zrv::test::WriteArchive;

namespace {

constexpr int kPatience = 30000;

QString Xdotool(const QStringList& arguments)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), arguments);
    if (!xdotool.waitForFinished(10000))
        return {};
    return QString::fromLocal8Bit(xdotool.readAllStandardOutput()).trimmed();
}

// The X window whose name is exactly caption; empty while there is none.
QString FindWindow(const QString& caption)
{
    const QString found = Xdotool({QStringLiteral("search"), QStringLiteral("--name"),
                                   u'^' + QRegularExpression::escape(caption) + u'$'});
    return found.section(u'\n', 0, 0);
}

QString AwaitWindow(const QString& caption)
{
    const QDeadlineTimer deadline(kPatience);
    QString window;
    while ((window = FindWindow(caption)).isEmpty() && !deadline.hasExpired())
        QTest::qWait(100);
    return window;
}

QString FocusedWindowName()
{
    return Xdotool({QStringLiteral("getwindowfocus"), QStringLiteral("getwindowname")});
}

class TwoEditorsTest : public testing::Test {
protected:
    void SetUp() override
    {
        // The program runs from the test's editor folder, beside the player.
        mProgram = mEnvironment.EditorFolder() + QStringLiteral("/fortedit");
        ASSERT_TRUE(QFile::copy(QStringLiteral(ZRV_FORTEDIT), mProgram));
        mMain = mEnvironment.StartEditor();
    }

    void TearDown() override
    {
        for (const auto& process : mPrograms) {
            process->kill();
            process->waitForFinished(5000);
        }
    }

    // Starts fortedit and opens the only archive of the data folder with the
    // keyboard: Ctrl+O, the first entry, Enter.
    QString StartProgramShowing(const QString& archive)
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->start(mProgram, {});
        EXPECT_TRUE(process->waitForStarted(kPatience));
        mPrograms.push_back(std::move(process));
        const QString window = AwaitWindow(frmMain::Title);
        EXPECT_FALSE(window.isEmpty()) << "fortedit shows no window";
        Xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        Xdotool({QStringLiteral("key"), QStringLiteral("ctrl+o")});
        QTest::qWait(1500);
        Xdotool({QStringLiteral("key"), QStringLiteral("Down"), QStringLiteral("Return")});
        const QString shown = AwaitWindow(frmMain::CaptionPrefix + archive);
        EXPECT_FALSE(shown.isEmpty()) << "fortedit did not open " << archive.toStdString();
        return shown;
    }

    void Hide(const QString& name)
    {
        ASSERT_TRUE(QFile::rename(mEnvironment.ArchivePath(name), mEnvironment.ArchivePath(u'.' + name)));
    }
    void Unhide(const QString& name)
    {
        ASSERT_TRUE(QFile::rename(mEnvironment.ArchivePath(u'.' + name), mEnvironment.ArchivePath(name)));
    }

    EditorTestEnvironment mEnvironment;
    QString mProgram;
    std::unique_ptr<frmMain> mMain;
    std::vector<std::unique_ptr<QProcess>> mPrograms;
};

TEST_F(TwoEditorsTest, guardAcrossProcesses)
{
    const QStringList fortunes = {QStringLiteral("one"), QStringLiteral("two")};
    WriteArchive(mEnvironment.ArchivePath(QStringLiteral("abcd")), {}, fortunes);
    StartProgramShowing(QStringLiteral("abcd"));

    {
        SCOPED_TRACE("abcd shown elsewhere does not block abc");
        WriteArchive(mEnvironment.ArchivePath(QStringLiteral("abc")), {}, fortunes);
        zrv::test::ScriptedPrompts prompts;
        mMain->OpenArchive(QStringLiteral("abc"));
        EXPECT_TRUE(prompts.records().empty());
        EXPECT_EQ(mMain->windowTitle(), frmMain::CaptionPrefix + QStringLiteral("abc"));
        mMain->CloseArchive();
    }

    Hide(QStringLiteral("abc"));
    Hide(QStringLiteral("abcd"));
    WriteArchive(mEnvironment.ArchivePath(QStringLiteral("ABC")), {}, fortunes);
    const QString other = StartProgramShowing(QStringLiteral("ABC"));
    ASSERT_TRUE(QFile::remove(mEnvironment.ArchivePath(QStringLiteral("ABC"))));
    Unhide(QStringLiteral("abc"));

    {
        SCOPED_TRACE("ABC shown elsewhere blocks abc; No reports the failure");
        zrv::test::ScriptedPrompts prompts;
        prompts.expectMessageBox(vbNo);
        prompts.expectMessageBox(vbOK);
        mMain->OpenArchive(QStringLiteral("abc"));
        ASSERT_EQ(prompts.records().size(), 2u);
        EXPECT_EQ(prompts.records()[0].title, QStringLiteral("Switch to other instance?"));
        EXPECT_EQ(prompts.records()[1].text, QStringLiteral("Failed to open archive"));
        EXPECT_EQ(mMain->windowTitle(), frmMain::Title);
    }
    {
        SCOPED_TRACE("Yes brings the other editor to the front");
        mMain->activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(FocusedWindowName() == frmMain::Title, kPatience);
        zrv::test::ScriptedPrompts prompts;
        prompts.expectMessageBox(vbYes);
        mMain->OpenArchive(QStringLiteral("abc"));
        EXPECT_EQ(prompts.records().size(), 1u);
        QTRY_VERIFY_WITH_TIMEOUT(FocusedWindowName() == frmMain::CaptionPrefix + QStringLiteral("ABC"), kPatience);
        EXPECT_EQ(mMain->windowTitle(), frmMain::Title);
    }
}

} // namespace
