// The clipboard viewer chain with several watchers in one process, each for
// a window of its own.

#include "desktop/ClipboardChain.h"
#include "desktop/WindowHandles.h"
#include "editor/editing/CClipboardViewer.h"

#include <array>
#include <gtest/gtest.h>
#include <memory>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>
#include <QWidget>

using namespace zrv::desktop;

namespace {

struct Watched {
    QWidget window;
    HWND hWnd = RegisterWindow(&window, QStringLiteral("ThunderRT6FormDC"));
    std::unique_ptr<CClipboardViewer> viewer = std::make_unique<CClipboardViewer>();
    int changes = 0;

    Watched()
    {
        QObject::connect(viewer.get(), &CClipboardViewer::ClipboardChanged, [this] { ++changes; });
    }
    void Join() { viewer->InitClipboardChangeNotification(hWnd); }
};

class ClipboardViewerTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (auto& w : watched)
            w = std::make_unique<Watched>();
    }
    void TearDown() override
    {
        for (auto& w : watched)
            w->viewer.reset();
        EXPECT_EQ(GetClipboardViewer(), 0u) << "a watcher stayed in the chain";
    }

    // Delivers pending greetings, then counts what one change reaches.
    std::array<int, 3> ChangesReaching()
    {
        QCoreApplication::processEvents();
        for (auto& w : watched)
            w->changes = 0;
        QGuiApplication::clipboard()->setText(QStringLiteral("changed %1").arg(++mTexts));
        QCoreApplication::processEvents();
        return {watched[0]->changes, watched[1]->changes, watched[2]->changes};
    }

    std::array<std::unique_ptr<Watched>, 3> watched;
    int mTexts = 0;
};

} // namespace

TEST_F(ClipboardViewerTest, joiningWatchersFormAChainThatEveryChangeWalks)
{
    watched[0]->Join();
    QCoreApplication::processEvents();
    EXPECT_EQ(watched[0]->changes, 1) << "a new watcher starts from the present content";
    watched[1]->Join();
    watched[2]->Join();
    EXPECT_EQ(GetClipboardViewer(), watched[2]->hWnd);
    EXPECT_EQ(watched[2]->viewer->NextViewer(), watched[1]->hWnd);
    EXPECT_EQ(watched[1]->viewer->NextViewer(), watched[0]->hWnd);
    EXPECT_EQ(watched[0]->viewer->NextViewer(), 0u);
    EXPECT_EQ(ChangesReaching(), (std::array<int, 3>{1, 1, 1}));
    EXPECT_EQ(SendMessageA(watched[2]->hWnd, WM_DRAWCLIPBOARD, 0, 0), 0);
}

TEST_F(ClipboardViewerTest, leavingInTheMiddleOrAtTheEnd_keepsTheRestLinked)
{
    for (auto& w : watched)
        w->Join();
    watched[1]->viewer->StopClipboardChangeNotification();
    EXPECT_FALSE(watched[1]->viewer->Active());
    EXPECT_EQ(watched[2]->viewer->NextViewer(), watched[0]->hWnd)
        << "the successor's leaving is noted";
    EXPECT_EQ(ChangesReaching(), (std::array<int, 3>{1, 0, 1}));

    watched[0]->viewer.reset(); // the last one leaves as it goes
    EXPECT_EQ(watched[2]->viewer->NextViewer(), 0u);
    EXPECT_EQ(ChangesReaching()[2], 1);
    watched[2]->viewer->StopClipboardChangeNotification();
    EXPECT_EQ(GetClipboardViewer(), 0u);
    EXPECT_EQ(ChangesReaching(), (std::array<int, 3>{0, 0, 0}));
}

TEST_F(ClipboardViewerTest, leavingTheHead_passesTheHeadOn)
{
    for (auto& w : watched)
        w->Join();
    watched[2]->viewer->StopClipboardChangeNotification();
    EXPECT_EQ(GetClipboardViewer(), watched[1]->hWnd);
    EXPECT_EQ(ChangesReaching(), (std::array<int, 3>{1, 1, 0}));
}

TEST_F(ClipboardViewerTest, reinitialisingAnActiveWatcher_leavesFirstAndJoinsAtTheHead)
{
    for (auto& w : watched)
        w->Join();
    watched[0]->Join();
    EXPECT_EQ(GetClipboardViewer(), watched[0]->hWnd);
    EXPECT_EQ(watched[0]->viewer->NextViewer(), watched[2]->hWnd);
    EXPECT_EQ(watched[1]->viewer->NextViewer(), 0u);
    EXPECT_EQ(ChangesReaching(), (std::array<int, 3>{1, 1, 1})) << "each watcher is told once";

    HWND none = 0;
    watched[1]->viewer->InitClipboardChangeNotification(none);
    EXPECT_FALSE(watched[1]->viewer->Active());
    EXPECT_EQ(watched[2]->viewer->NextViewer(), 0u);
    EXPECT_EQ(ChangesReaching(), (std::array<int, 3>{1, 0, 1}));
}
