#pragma once

// The clipboard viewer chain of this process. The platform keeps only the
// chain's head; every viewer remembers its own successor and passes the two
// chain messages on. The head is sent WM_DRAWCLIPBOARD whenever the system
// clipboard changes, in this program or any other.

#include "desktop/DesktopTypes.h"

namespace zrv::desktop {

// Clipboard content changed; passed down the chain by each viewer.
constexpr UINT WM_DRAWCLIPBOARD = 0x0308;
// Window wParam leaves the chain, its successor is lParam; passed down the
// chain until it reaches the window whose successor is leaving.
constexpr UINT WM_CHANGECBCHAIN = 0x030D;

// Puts hWndNewViewer at the head of the chain and returns the former head
// (0 when the chain was empty). Once control is back in the event loop the
// new viewer is sent WM_DRAWCLIPBOARD, so that it starts from the
// clipboard's present content.
HWND SetClipboardViewer(HWND hWndNewViewer);

// Takes hWndRemove out of the chain. When it is the head, hWndNewNext
// becomes the head; otherwise the head is sent WM_CHANGECBCHAIN with
// hWndRemove and hWndNewNext. Returns the head's answer to that message
// (TRUE when the head was removed).
BOOL ChangeClipboardChain(HWND hWndRemove, HWND hWndNewNext);

// The head of the chain; 0 when it is empty.
HWND GetClipboardViewer();

} // namespace zrv::desktop
