#include "desktop/WindowHandles.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <QWidget>
#include <unistd.h>
#include <vector>

using namespace zrv::desktop;

namespace {

constexpr UINT kMsg = 0x0308;
constexpr UINT kOtherMsg = 0x030D;

struct Call {
    HWND hWnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

class Recorder final : public IZorvaSubClass {
public:
    explicit Recorder(LRESULT result = 0) : m_result(result) {}
    LRESULT WindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) override
    {
        calls.push_back({hWnd, iMsg, wParam, lParam});
        if (onCall)
            onCall();
        return m_result;
    }
    int32_t MsgResponse() const override { return 0; }
    void MsgResponse(int32_t) override {}
    std::vector<Call> calls;
    std::function<void()> onCall;

private:
    LRESULT m_result;
};

bool Listed(HWND hWnd)
{
    const auto windows = RegisteredWindows();
    return std::any_of(windows.begin(), windows.end(),
                       [hWnd](const WindowEntry& w) { return w.handle == hWnd; });
}

TEST(WindowTable, handlesAreDistinctAndCarryTheProcessId)
{
    QWidget first;
    QWidget second;
    const HWND a = RegisterWindow(&first, QStringLiteral("ThunderRT6FormDC"));
    const HWND b = RegisterWindow(&second, QStringLiteral("ThunderRT6FormDC"));
    EXPECT_NE(a, 0u);
    EXPECT_NE(b, 0u);
    EXPECT_NE(a, b);
    EXPECT_EQ(ProcessOfWindow(a), static_cast<uint32_t>(getpid()));
    EXPECT_EQ(ProcessOfWindow(b), static_cast<uint32_t>(getpid()));
    EXPECT_EQ(RegisterWindow(&first, QStringLiteral("Other")), a);
    EXPECT_EQ(RegisterWindow(nullptr, QStringLiteral("X")), 0u);
}

TEST(WindowTable, handleAndWidgetFindEachOther)
{
    QWidget window;
    const HWND hWnd = RegisterWindow(&window, QStringLiteral("Form"));
    EXPECT_EQ(WindowFromHandle(hWnd), &window);
    EXPECT_EQ(HandleFromWindow(&window), hWnd);
    QWidget stranger;
    EXPECT_EQ(HandleFromWindow(&stranger), 0u);
    EXPECT_EQ(WindowFromHandle(hWnd + 1), nullptr);
}

TEST(WindowTable, destroyedWindowLosesItsHandleWhichIsNotReusedAtOnce)
{
    auto window = std::make_unique<QWidget>();
    const HWND old = RegisterWindow(window.get(), QStringLiteral("Form"));
    ASSERT_TRUE(Listed(old));
    window.reset();
    EXPECT_EQ(WindowFromHandle(old), nullptr);
    EXPECT_FALSE(Listed(old));

    QWidget next;
    EXPECT_NE(RegisterWindow(&next, QStringLiteral("Form")), old);
}

TEST(WindowTable, listFollowsRegistrationOrderAndCaptions)
{
    QWidget first;
    QWidget second;
    first.setWindowTitle(QStringLiteral("Zorva Fortune Editor"));
    const HWND b = RegisterWindow(&second, QStringLiteral("Dialog"));
    const HWND a = RegisterWindow(&first, QStringLiteral("ThunderRT6FormDC"));
    first.setWindowTitle(QStringLiteral("Zorva Fortune Editor - abc"));

    std::vector<WindowEntry> mine;
    for (const WindowEntry& entry : RegisteredWindows()) {
        if (entry.handle == a || entry.handle == b)
            mine.push_back(entry);
    }
    ASSERT_EQ(mine.size(), 2u);
    EXPECT_EQ(mine[0].handle, b);
    EXPECT_EQ(mine[0].windowClass, QStringLiteral("Dialog"));
    EXPECT_EQ(mine[1].handle, a);
    EXPECT_EQ(mine[1].windowClass, QStringLiteral("ThunderRT6FormDC"));
    EXPECT_EQ(mine[1].caption, QStringLiteral("Zorva Fortune Editor - abc"));
}

TEST(MessageHooks, hookedMessageReachesTheCallbackWithItsValues)
{
    QWidget window;
    const HWND hWnd = RegisterWindow(&window, QStringLiteral("Form"));
    Recorder recorder(0);
    HookMessage(&recorder, hWnd, kMsg);

    EXPECT_EQ(SendMessageA(hWnd, kMsg, 17, -5), 0);
    EXPECT_EQ(SendMessageA(hWnd, kOtherMsg, 1, 2), 0);
    ASSERT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(recorder.calls[0].hWnd, hWnd);
    EXPECT_EQ(recorder.calls[0].msg, kMsg);
    EXPECT_EQ(recorder.calls[0].wParam, 17u);
    EXPECT_EQ(recorder.calls[0].lParam, -5);

    UnhookMessage(&recorder, hWnd, kMsg);
    SendMessageA(hWnd, kMsg, 0, 0);
    EXPECT_EQ(recorder.calls.size(), 1u);
}

TEST(MessageHooks, everyHookGetsTheMessageOnceAndTheLastResultWins)
{
    QWidget window;
    const HWND hWnd = RegisterWindow(&window, QStringLiteral("Form"));
    Recorder first(11);
    Recorder second(22);
    HookMessage(&first, hWnd, kMsg);
    HookMessage(&first, hWnd, kMsg); // a second hook of the same triple adds nothing
    HookMessage(&second, hWnd, kMsg);
    EXPECT_EQ(SendMessageA(hWnd, kMsg, 0, 0), 22);
    EXPECT_EQ(first.calls.size(), 1u);
    EXPECT_EQ(second.calls.size(), 1u);
    UnhookMessage(&first, hWnd, kMsg);
    UnhookMessage(&second, hWnd, kMsg);
}

TEST(MessageHooks, callbackUnhookedDuringDeliveryIsNotCalled)
{
    QWidget window;
    const HWND hWnd = RegisterWindow(&window, QStringLiteral("Form"));
    Recorder first(1);
    Recorder second(2);
    first.onCall = [&] { UnhookMessage(&second, hWnd, kMsg); };
    HookMessage(&first, hWnd, kMsg);
    HookMessage(&second, hWnd, kMsg);
    EXPECT_EQ(SendMessageA(hWnd, kMsg, 0, 0), 1);
    EXPECT_TRUE(second.calls.empty());
    UnhookMessage(&first, hWnd, kMsg);
}

TEST(MessageHooks, hooksGoWithTheWindow)
{
    auto window = std::make_unique<QWidget>();
    const HWND hWnd = RegisterWindow(window.get(), QStringLiteral("Form"));
    Recorder recorder(5);
    HookMessage(&recorder, hWnd, kMsg);
    window.reset();
    EXPECT_EQ(SendMessageA(hWnd, kMsg, 0, 0), 0);
    EXPECT_TRUE(recorder.calls.empty());
    EXPECT_EQ(SendMessageA(0, kMsg, 0, 0), 0);
}

} // namespace
