#include "desktop/ClipboardChain.h"

#include "desktop/WindowHandles.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <utility>

namespace zrv::desktop {

namespace {

// The head, and the connection that turns the toolkit's change reports
// into WM_DRAWCLIPBOARD. Touched on the GUI thread only.
class Chain final {
public:
    static Chain& Instance()
    {
        static Chain chain;
        return chain;
    }

    // The first viewer starts the watching of the system clipboard.
    HWND Join(HWND hWnd)
    {
        WatchClipboard();
        return std::exchange(m_head, hWnd);
    }

    void SetHead(HWND hWnd) { m_head = hWnd; }

    HWND Head() const { return m_head; }

private:
    // The toolkit reports changes made by this process at once and those of
    // other programs as the window system tells of them.
    void WatchClipboard()
    {
        QClipboard* const clipboard = QGuiApplication::clipboard();
        if (clipboard == nullptr || clipboard == m_watched)
            return;
        m_watched = clipboard;
        QObject::connect(clipboard, &QClipboard::dataChanged, clipboard, [this] {
            if (m_head != 0)
                SendMessageA(m_head, WM_DRAWCLIPBOARD, 0, 0);
        });
    }

    HWND m_head = 0;
    QPointer<QClipboard> m_watched;
};

} // namespace

HWND SetClipboardViewer(HWND hWndNewViewer)
{
    const HWND previous = Chain::Instance().Join(hWndNewViewer);
    if (hWndNewViewer != 0 && QCoreApplication::instance() != nullptr) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [hWndNewViewer] { SendMessageA(hWndNewViewer, WM_DRAWCLIPBOARD, 0, 0); },
            Qt::QueuedConnection);
    }
    return previous;
}

BOOL ChangeClipboardChain(HWND hWndRemove, HWND hWndNewNext)
{
    Chain& chain = Chain::Instance();
    const HWND head = chain.Head();
    if (head == 0)
        return FALSE;
    if (hWndRemove == head) {
        chain.SetHead(hWndNewNext);
        return TRUE;
    }
    const LRESULT answer =
        SendMessageA(head, WM_CHANGECBCHAIN, hWndRemove, static_cast<LPARAM>(hWndNewNext));
    return answer != 0 ? TRUE : FALSE;
}

HWND GetClipboardViewer()
{
    return Chain::Instance().Head();
}

} // namespace zrv::desktop
