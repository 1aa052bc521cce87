// Two editor processes on one X display: the program fortedit, driven with
// the keyboard through xdotool, and a main window of this test process.

#include "desktop/Prompts.h"
#include "editor/shell/CMainCommands.h"
#include "editor/shell/frmMain.h"
#include "editor/shell/modInstall.h"
#include "tests/editor/shell/EditorTestEnvironment.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempHome.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

using namespace zrv::desktop;
using zrv::test::EditorTestEnvironment;
using zrv::test::WriteArchive;

// The session bus library keeps a buffer for the life of the process.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}

namespace {

constexpr int kPatience = 30000;

QString Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QString Xdotool(const QStringList& arguments)
{
    return Run(QStringLiteral("xdotool"), arguments).trimmed();
}

// The X window of the process whose name is exactly caption; empty while
// there is none.
QString FindWindow(qint64 pid, const QString& caption)
{
    const QString found =
        Xdotool({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--pid"),
                 QString::number(pid), QStringLiteral("--name"),
                 u'^' + QRegularExpression::escape(caption) + u'$'});
    return found.section(u'\n', 0, 0);
}

QString AwaitWindow(qint64 pid, const QString& caption, int patience = kPatience)
{
    const QDeadlineTimer deadline(patience);
    QString window;
    while ((window = FindWindow(pid, caption)).isEmpty() && !deadline.hasExpired())
        QTest::qWait(100);
    return window;
}

QString FocusedWindow()
{
    return Xdotool({QStringLiteral("getwindowfocus")});
}

// The top-level windows, topmost first: the window manager's stacking list
// when one runs (it stacks its frames, not the windows), else the root's
// children as xwininfo lists them.
QList<WId> StackingOrder()
{
    QList<WId> order;
    const QString managed =
        Run(QStringLiteral("xprop"),
            {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
    const qsizetype hash = managed.indexOf(u'#');
    if (hash >= 0) {
        for (const QString& id : managed.mid(hash + 1).split(u',', Qt::SkipEmptyParts))
            order.prepend(id.trimmed().toULongLong(nullptr, 16));
        return order;
    }
    const QStringList lines =
        Run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-children")})
            .split(u'\n');
    for (const QString& line : lines) {
        if (line.trimmed().startsWith(QStringLiteral("0x")))
            order.append(line.trimmed().section(u' ', 0, 0).toULongLong(nullptr, 16));
    }
    return order;
}

bool IsAbove(WId upper, WId lower)
{
    const QList<WId> order = StackingOrder();
    const qsizetype up = order.indexOf(upper);
    const qsizetype down = order.indexOf(lower);
    return up >= 0 && down >= 0 && up < down;
}

// Waits, handling events, until done() holds; its last answer.
bool AwaitTrue(const std::function<bool()>& done)
{
    const QDeadlineTimer deadline(kPatience);
    while (!done() && !deadline.hasExpired())
        QTest::qWait(100);
    return done();
}

class TwoEditorsTest : public testing::Test {
protected:
    void SetUp() override
    {
        // The program runs from the test's editor folder, beside the player.
        mProgram = mEnvironment.EditorFolder() + QStringLiteral("/fortedit");
        ASSERT_TRUE(QFile::copy(QStringLiteral(ZRV_FORTEDIT), mProgram));
        mMain = mEnvironment.StartEditor();
        // Keys meant for the program must never open a dialog here.
        QObject::connect(&mWatchdog, &QTimer::timeout, [] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "a dialog opened in the test's own window: "
                              << dialog->objectName().toStdString();
                dialog->close();
            }
        });
        mWatchdog.start(200);
    }

    void TearDown() override
    {
        for (const auto& process : mPrograms) {
            process->kill();
            process->waitForFinished(5000);
        }
    }

    struct Program {
        qint64 pid = 0;
        QString window; // its main window
    };

    Program StartProgram()
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        // A program that exits while a clipboard manager takes its text can
        // leave Qt's D-Bus connection holding memory whose stack LeakSanitizer
        // cannot follow through Qt; the window's own leaks are checked in
        // process by the other editor tests.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const QString asan = environment.value(QStringLiteral("ASAN_OPTIONS"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
                           asan + (asan.isEmpty() ? "" : ":") + QStringLiteral("detect_leaks=0"));
        process->setProcessEnvironment(environment);
        process->start(mProgram, {});
        EXPECT_TRUE(process->waitForStarted(kPatience));
        const qint64 pid = process->processId();
        mPrograms.push_back(std::move(process));
        const QString window = AwaitWindow(pid, frmMain::Title);
        EXPECT_FALSE(window.isEmpty()) << "fortedit shows no window";
        return {pid, window};
    }

    // Asks the program to open the only archive of the data folder as a person
    // would with the keyboard: Ctrl+O, Space on the list's first entry, Enter.
    void RequestOnlyArchive(const Program& program)
    {
        // A window that has just appeared may not take keys yet: ask again, as a
        // person would.
        QString select;
        for (int attempt = 0; attempt < 5 && select.isEmpty(); ++attempt) {
            Press(program.window, QStringLiteral("ctrl+o"));
            select =
                AwaitWindow(program.pid, QStringLiteral("Select a Fortune archive"), kPatience / 5);
        }
        ASSERT_FALSE(select.isEmpty()) << "fortedit shows no archive selection";
        Press(select, QStringLiteral("space"));
        Press(select, QStringLiteral("Return"));
    }

    // Starts fortedit showing the only archive of the data folder.
    QString StartProgramShowing(const QString& archive)
    {
        const Program program = StartProgram();
        if (program.window.isEmpty())
            return {};
        RequestOnlyArchive(program);
        const QString shown = AwaitWindow(program.pid, frmMain::CaptionPrefix + archive);
        EXPECT_FALSE(shown.isEmpty()) << "fortedit did not open " << archive.toStdString();
        return shown;
    }

    static void Press(const QString& window, const QString& keys)
    {
        Xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        Xdotool({QStringLiteral("key"), keys});
    }

    void Hide(const QString& name)
    {
        ASSERT_TRUE(
            QFile::rename(mEnvironment.ArchivePath(name), mEnvironment.ArchivePath(u'.' + name)));
    }
    void Unhide(const QString& name)
    {
        ASSERT_TRUE(
            QFile::rename(mEnvironment.ArchivePath(u'.' + name), mEnvironment.ArchivePath(name)));
    }

    EditorTestEnvironment mEnvironment;
    QString mProgram;
    std::unique_ptr<frmMain> mMain;
    std::vector<std::unique_ptr<QProcess>> mPrograms;
    QTimer mWatchdog;
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
        const WId otherWindow = other.toULongLong();
        mMain->raise();
        mMain->activateWindow();
        ASSERT_TRUE(AwaitTrue([&] { return IsAbove(mMain->winId(), otherWindow); }));
        zrv::test::ScriptedPrompts prompts;
        prompts.expectMessageBox(vbYes);
        mMain->OpenArchive(QStringLiteral("abc"));
        EXPECT_EQ(prompts.records().size(), 1u);
        EXPECT_TRUE(AwaitTrue([&] { return IsAbove(otherWindow, mMain->winId()); }));
        EXPECT_TRUE(AwaitTrue([&] { return FocusedWindow() == other; }));
        EXPECT_EQ(mMain->windowTitle(), frmMain::Title);
    }
}

} // namespace

TEST_F(TwoEditorsTest, secondProgramIsRefusedTheArchiveTheFirstShows)
{
    WriteArchive(mEnvironment.ArchivePath(QStringLiteral("abc")), {}, {QStringLiteral("one")});
    const QString first = StartProgramShowing(QStringLiteral("abc"));
    ASSERT_FALSE(first.isEmpty());
    const Program second = StartProgram();
    ASSERT_FALSE(second.window.isEmpty());

    RequestOnlyArchive(second);
    QString question = AwaitWindow(second.pid, QStringLiteral("Switch to other instance?"));
    ASSERT_FALSE(question.isEmpty()) << "no question about the other window";
    Press(question, QStringLiteral("alt+n"));
    const QString failed = AwaitWindow(second.pid, QStringLiteral("Operation failed."));
    ASSERT_FALSE(failed.isEmpty()) << "No did not report the failure";
    Press(failed, QStringLiteral("Return"));
    EXPECT_TRUE(AwaitTrue(
        [&] { return FindWindow(second.pid, QStringLiteral("Operation failed.")).isEmpty(); }));
    EXPECT_FALSE(FindWindow(second.pid, frmMain::Title).isEmpty());

    ASSERT_TRUE(IsAbove(second.window.toULongLong(), first.toULongLong()));
    RequestOnlyArchive(second);
    question = AwaitWindow(second.pid, QStringLiteral("Switch to other instance?"));
    ASSERT_FALSE(question.isEmpty());
    Press(question, QStringLiteral("alt+y"));
    // Without a window manager the closing question box may hand the focus
    // back to its own window after the first editor took it; the stacking
    // order shows which window came to the front.
    EXPECT_TRUE(AwaitTrue([&] {
        return IsAbove(first.toULongLong(), second.window.toULongLong());
    })) << "the first editor did not come to the front";
    EXPECT_FALSE(FindWindow(second.pid, frmMain::Title).isEmpty())
        << "the second editor changed its archive";
}

namespace {

const QString kMarker = QStringLiteral("//ZORVAFORTUNE//");

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A program that runs until the test ends, started with the test's home.
std::unique_ptr<QProcess> StartHelper(const QString& program, const QStringList& arguments)
{
    auto process = std::make_unique<QProcess>();
    process->start(program, arguments);
    if (!process->waitForStarted(kPatience))
        return nullptr;
    return process;
}

class ClipboardTwoEditorsTest : public TwoEditorsTest {
protected:
    void SetUp() override
    {
        // The program ends through its own exit here; in a sanitizer build the
        // session bus library's buffer must not count as its leak.
        const QString suppressions = QString::fromStdString(zrv::test::MakeTempDir("lsan")) +
                                     QStringLiteral("/suppressions");
        QFile file(suppressions);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("leak:libdbus-1.so\n") > 0);
        file.close();
        qputenv("LSAN_OPTIONS", "suppressions=" + suppressions.toLocal8Bit());
        TwoEditorsTest::SetUp();
        WriteArchive(mEnvironment.ArchivePath(QStringLiteral("abc")), {},
                     {QStringLiteral("one"), QStringLiteral("x\r\ny")});
        mProgramWindow = StartProgramShowing(QStringLiteral("abc"));
        WriteArchive(mEnvironment.ArchivePath(QStringLiteral("def")), QStringLiteral("Mine"),
                     {QStringLiteral("d1")});
        mMain->OpenArchive(QStringLiteral("def"));
        QGuiApplication::clipboard()->setText(QStringLiteral("nothing"));
    }
    void TearDown() override
    {
        for (const auto& helper : mHelpers) {
            helper->kill();
            helper->waitForFinished(5000);
        }
        TwoEditorsTest::TearDown();
    }

    bool ClipboardCountIs(const QString& text)
    {
        return AwaitTrue([&] { return mMain->PanelText(3) == text; });
    }
    // Select All and Copy in the program, with its keys.
    void CopyAllInProgram()
    {
        Press(mProgramWindow, QStringLiteral("ctrl+a"));
        Press(mProgramWindow, QStringLiteral("ctrl+c"));
    }
    QString Path(const char* name) const
    {
        return mEnvironment.ArchivePath(QString::fromLatin1(name));
    }

    QString mProgramWindow;
    std::vector<std::unique_ptr<QProcess>> mHelpers;
};

} // namespace

TEST_F(ClipboardTwoEditorsTest, copyInOneEditorReachesTheOther_andSoDoesAThirdProgram)
{
    ASSERT_FALSE(mProgramWindow.isEmpty());
    ASSERT_TRUE(ClipboardCountIs(QStringLiteral("No fortunes on clipboard")));
    EXPECT_FALSE(mMain->Commands().MenuItem(QStringLiteral("mnuEditPaste"))->isEnabled());

    CopyAllInProgram();
    ASSERT_TRUE(ClipboardCountIs(QStringLiteral("2 fortunes on clipboard")));
    EXPECT_TRUE(mMain->Commands().MenuItem(QStringLiteral("mnuEditPaste"))->isEnabled());
    mMain->Commands().MenuItem(QStringLiteral("mnuEditPaste"))->trigger();
    EXPECT_EQ(FileBytes(Path("def")), QByteArray("Mine\n%\nd1\n%\none\n%\nx\r\ny"));

    auto xclip = StartHelper(
        QStringLiteral("xclip"),
        {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-quiet")});
    ASSERT_NE(xclip, nullptr) << "xclip does not start";
    xclip->write("//zorvafortune//from xclip");
    xclip->closeWriteChannel();
    mHelpers.push_back(std::move(xclip));
    ASSERT_TRUE(ClipboardCountIs(QStringLiteral("1 fortune on clipboard")));
    Press(mProgramWindow, QStringLiteral("ctrl+v"));
    EXPECT_TRUE(AwaitTrue([&] {
        return FileBytes(Path("abc")) == "\n%\none\n%\nx\r\ny\n%\nfrom xclip";
    })) << "the program did not paste what xclip offers";
}

// A clipboard manager keeps the text of a program that ends; parcellite
// records each text it takes in its history file.
TEST_F(ClipboardTwoEditorsTest, clipboardManagerKeepsTheFortunesOfAnEditorThatExits)
{
    ASSERT_FALSE(mProgramWindow.isEmpty());
    auto manager = StartHelper(QStringLiteral("parcellite"), {QStringLiteral("-n")});
    if (manager == nullptr)
        GTEST_SKIP() << "no clipboard manager (parcellite) here";
    mHelpers.push_back(std::move(manager));
    const QString history =
        qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/parcellite/history");
    ASSERT_TRUE(AwaitTrue([&] { return QFile::exists(history); })) << "parcellite keeps no history";

    CopyAllInProgram();
    const QString copied = kMarker + QStringLiteral("one") + kMarker + QStringLiteral("x\r\ny");
    ASSERT_TRUE(ClipboardCountIs(QStringLiteral("2 fortunes on clipboard")));
    ASSERT_TRUE(AwaitTrue([&] { return FileBytes(history).contains(copied.toUtf8()); }))
        << "parcellite did not take the text";

    Press(mProgramWindow, QStringLiteral("alt+f"));
    Xdotool({QStringLiteral("key"), QStringLiteral("x")});
    QProcess& program = *mPrograms.back();
    ASSERT_TRUE(program.waitForFinished(kPatience)) << "Exit did not end the program";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);

    EXPECT_TRUE(AwaitTrue([&] { return QGuiApplication::clipboard()->text() == copied; }))
        << "the fortunes left with the program";
    ASSERT_TRUE(ClipboardCountIs(QStringLiteral("2 fortunes on clipboard")));
    mMain->Commands().Run(QStringLiteral("mnuEditPaste"));
    EXPECT_EQ(FileBytes(Path("def")), QByteArray("Mine\n%\nd1\n%\none\n%\nx\r\ny"));
}
