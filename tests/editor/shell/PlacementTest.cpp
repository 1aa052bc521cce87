// The window placement on a desktop with a window manager (openbox): the
// program fortedit is started, maximised, restored, moved and resized by the
// window manager's keys, ended and started again; the stored placement and
// the window's real frame must agree at every step. The About box of this
// process is centred by its frame.

#include "editor/support/frmAbout.h"
#include "editor/support/TwipsGeometry.h"
#include "tests/editor/shell/EditorTestEnvironment.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QTest>

using zrv::test::EditorTestEnvironment;
using zrv::test::StoredSetting;
using zrv::test::WriteSetting;

// The session bus library keeps a buffer for the life of the process.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}

namespace {

constexpr int kPatience = 30000;

// Output of a tool of the X display; empty when it fails or hangs.
QString Tool(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(kPatience)) {
        tool.kill();
        tool.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

QString Xdotool(const QStringList& arguments)
{
    return Tool(QStringLiteral("xdotool"), arguments);
}

// Waits (xdotool --sync) for the window of the process named exactly caption.
QString AwaitWindow(qint64 pid, const QString& caption)
{
    return Xdotool({QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--all"),
                    QStringLiteral("--pid"), QString::number(pid), QStringLiteral("--name"),
                    u'^' + QRegularExpression::escape(caption) + u'$'})
        .section(u'\n', 0, 0);
}

// The window's outer rectangle on the screen: its own rectangle and the frame
// the window manager puts around it. Empty until the window is framed.
QRect FrameOf(const QString& window)
{
    const QString info = Tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window});
    const auto field = [&info](const char* name) {
        const QRegularExpression line(QLatin1String(name) + QStringLiteral(":\\s*(-?\\d+)"));
        return line.match(info).captured(1).toInt();
    };
    const QString extents = Tool(QStringLiteral("xprop"), {QStringLiteral("-id"), window,
                                                           QStringLiteral("_NET_FRAME_EXTENTS")});
    const QStringList sides = extents.section(u'=', 1).split(u',', Qt::SkipEmptyParts);
    if (sides.size() != 4)
        return {};
    const int left = sides[0].toInt(), right = sides[1].toInt(), top = sides[2].toInt(),
              bottom = sides[3].toInt();
    return {field("Absolute upper-left X") - left, field("Absolute upper-left Y") - top,
            field("Width") + left + right, field("Height") + top + bottom};
}

bool IsMaximised(const QString& window)
{
    return Tool(QStringLiteral("xprop"),
                {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_STATE")})
        .contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_VERT"));
}

int StoredNumber(const char* name)
{
    return StoredSetting(QString::fromLatin1(name)).value_or(QStringLiteral("-1")).toInt();
}

// The stored normal placement in pixels.
QRect StoredPlacement()
{
    return {TwipsGeometry::PixelsX(StoredNumber("Left")),
            TwipsGeometry::PixelsY(StoredNumber("Top")),
            TwipsGeometry::PixelsX(StoredNumber("Width")),
            TwipsGeometry::PixelsY(StoredNumber("Height"))};
}

// Waits, handling events, until done() holds; its last answer.
bool Await(const std::function<bool()>& done)
{
    const QDeadlineTimer deadline(kPatience);
    while (!done() && !deadline.hasExpired())
        QTest::qWait(50);
    return done();
}

std::string Describe(const QRect& rect)
{
    return QStringLiteral("%1,%2 %3x%4")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height())
        .toStdString();
}

class PlacementTest : public testing::Test {
protected:
    void SetUp() override
    {
        // The program runs from the test's editor folder, beside the player.
        mProgram = mEnvironment.EditorFolder() + QStringLiteral("/fortedit");
        ASSERT_TRUE(QFile::copy(QStringLiteral(ZRV_FORTEDIT), mProgram));
    }

    void TearDown() override
    {
        if (mEditor) {
            mEditor->kill();
            mEditor->waitForFinished();
        }
    }

    // Starts fortedit; its main window.
    QString Start()
    {
        mEditor = std::make_unique<QProcess>();
        mEditor->setProcessChannelMode(QProcess::ForwardedChannels);
        mEditor->start(mProgram, {});
        EXPECT_TRUE(mEditor->waitForStarted(kPatience));
        const QString window =
            AwaitWindow(mEditor->processId(), QStringLiteral("Zorva Fortune Editor"));
        EXPECT_FALSE(window.isEmpty()) << "fortedit shows no window";
        return window;
    }

    // File > Exit, by keyboard.
    void Exit(const QString& window)
    {
        Press(window, QStringLiteral("alt+f"));
        Xdotool({QStringLiteral("key"), QStringLiteral("x")});
        EXPECT_TRUE(mEditor->waitForFinished(kPatience)) << "fortedit did not end";
        mEditor.reset();
    }

    static void Press(const QString& window, const QString& keys)
    {
        Xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
        Xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
    }

    // The stored placement and the window's frame agree (and the state is
    // the normal one); false, with both described, when they never do.
    static testing::AssertionResult AwaitAgreement(const QString& window)
    {
        const bool agreed = Await([&] {
            return StoredSetting(QStringLiteral("WindowState")) == QStringLiteral("0") &&
                   !IsMaximised(window) && FrameOf(window) == StoredPlacement();
        });
        if (agreed)
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "stored " << Describe(StoredPlacement()) << ", frame "
                                           << Describe(FrameOf(window));
    }

    static void Maximise(const QString& window)
    {
        Press(window, QStringLiteral("ctrl+alt+Up"));
        ASSERT_TRUE(Await([&] {
            return IsMaximised(window) &&
                   StoredSetting(QStringLiteral("WindowState")) == QStringLiteral("2");
        })) << "not maximised";
    }

    EditorTestEnvironment mEnvironment;
    QString mProgram;
    std::unique_ptr<QProcess> mEditor;
};

TEST_F(PlacementTest, storedPlacementIsTheRealFrameAcrossMaximiseRestoreMoveAndRestart)
{
    WriteSetting(QStringLiteral("WindowState"), QStringLiteral("0"));
    WriteSetting(QStringLiteral("Left"), QStringLiteral("3000"));
    WriteSetting(QStringLiteral("Top"), QStringLiteral("1500"));
    WriteSetting(QStringLiteral("Width"), QStringLiteral("9000"));
    WriteSetting(QStringLiteral("Height"), QStringLiteral("6000"));
    const QRect placed(TwipsGeometry::PixelsX(3000), TwipsGeometry::PixelsY(1500),
                       TwipsGeometry::PixelsX(9000), TwipsGeometry::PixelsY(6000));

    QString window = Start();
    ASSERT_TRUE(AwaitAgreement(window)) << "at start";
    EXPECT_EQ(FrameOf(window), placed) << "the stored sizes are the outer ones";

    Maximise(window);
    EXPECT_EQ(StoredPlacement(), placed) << "maximised keeps the normal placement";
    Press(window, QStringLiteral("ctrl+alt+Down"));
    ASSERT_TRUE(AwaitAgreement(window)) << "after restoring";
    EXPECT_EQ(FrameOf(window), placed);

    Press(window, QStringLiteral("ctrl+alt+Right"));
    ASSERT_TRUE(AwaitAgreement(window)) << "after moving";
    const QRect moved = placed.translated(45, 30);
    EXPECT_EQ(FrameOf(window), moved);
    Press(window, QStringLiteral("ctrl+alt+End"));
    ASSERT_TRUE(AwaitAgreement(window)) << "after resizing";
    const QRect resized = moved.adjusted(0, 0, 60, 45);
    EXPECT_EQ(FrameOf(window), resized);
    Exit(window);

    window = Start();
    ASSERT_TRUE(AwaitAgreement(window)) << "after starting again";
    EXPECT_EQ(FrameOf(window), resized) << "the window grew or moved between sessions";

    // Ended maximised, the next session opens maximised and restores to the
    // same outer placement: the frame is not added once more.
    Maximise(window);
    Exit(window);
    window = Start();
    ASSERT_TRUE(Await([&] { return IsMaximised(window); }))
        << "the second session is not maximised";
    Press(window, QStringLiteral("ctrl+alt+Down"));
    ASSERT_TRUE(AwaitAgreement(window)) << "after restoring the maximised start";
    EXPECT_EQ(FrameOf(window), resized);
}

// Centred by its outer size: the frame's top margin is not the bottom's.
TEST(AboutBoxPlacement, isCentredByItsFrame)
{
    frmAbout about;
    about.show();
    const QString window = QString::number(about.winId());
    const QSize screen = TwipsGeometry::ScreenPixels();
    const auto centred = [&] {
        const QRect frame = FrameOf(window);
        return frame.isValid() && frame.height() > about.height() &&
               qAbs(frame.x() - (screen.width() - frame.width()) / 2) <= 1 &&
               qAbs(frame.y() - (screen.height() - frame.height()) / 2) <= 1;
    };
    EXPECT_TRUE(Await(centred)) << "frame " << Describe(FrameOf(window)) << " on a screen of "
                                << screen.width() << "x" << screen.height();
}

} // namespace
