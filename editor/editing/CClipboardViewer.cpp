#include "editor/editing/CClipboardViewer.h"

#include "desktop/ClipboardChain.h"

using namespace zrv::desktop;

CClipboardViewer::CClipboardViewer(QObject* parent) : QObject(parent) {}

CClipboardViewer::~CClipboardViewer()
{
    StopClipboardChangeNotification();
}

// The hooks are in place before the window joins, so the notification that
// greets a new viewer is raised as well.
void CClipboardViewer::InitClipboardChangeNotification(HWND& hWndA)
{
    StopClipboardChangeNotification();
    mhWnd = hWndA;
    if (mhWnd == 0)
        return;
    HookMessage(this, mhWnd, WM_CHANGECBCHAIN);
    HookMessage(this, mhWnd, WM_DRAWCLIPBOARD);
    mhWndNext = SetClipboardViewer(mhWnd);
    mbActive = true;
}

void CClipboardViewer::StopClipboardChangeNotification()
{
    if (mbActive && mhWnd != 0) {
        ChangeClipboardChain(mhWnd, mhWndNext);
        UnhookMessage(this, mhWnd, WM_CHANGECBCHAIN);
        UnhookMessage(this, mhWnd, WM_DRAWCLIPBOARD);
    }
    mbActive = false;
}

LRESULT CClipboardViewer::WindowProc(HWND, UINT iMsg, WPARAM wParam, LPARAM lParam)
{
    if (iMsg == WM_DRAWCLIPBOARD) {
        emit ClipboardChanged();
        SendMessageA(mhWndNext, WM_DRAWCLIPBOARD, wParam, lParam);
    } else if (iMsg == WM_CHANGECBCHAIN) {
        if (wParam == mhWndNext)
            mhWndNext = static_cast<HWND>(lParam);
        else if (mhWndNext != 0)
            SendMessageA(mhWndNext, WM_CHANGECBCHAIN, wParam, lParam);
    }
    return 0;
}

int32_t CClipboardViewer::MsgResponse() const
{
    return mlMsgResponse;
}

void CClipboardViewer::MsgResponse(int32_t emrA)
{
    mlMsgResponse = emrA;
}
