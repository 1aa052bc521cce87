#pragma once

// Window handles for the top-level forms of this process, and the message
// hooks of ZrvSubTm. A handle names one window on the whole machine: the
// process id sits in the high bits, a slot of this process in the low ones.

#include "desktop/DesktopTypes.h"

#include <QString>
#include <vector>

class QWidget;

namespace zrv::desktop {

constexpr unsigned kWindowSlotBits = 10;
constexpr uint32_t kWindowSlotMask = (1u << kWindowSlotBits) - 1;

constexpr uint32_t ProcessOfWindow(HWND hWnd)
{
    return hWnd >> kWindowSlotBits;
}

// Gives a top-level widget its handle; a widget registered before keeps its
// own. The handle is released when the widget is destroyed. Returns 0 for a
// null widget or when all slots are taken.
HWND RegisterWindow(QWidget* window, const QString& windowClass);
void UnregisterWindow(HWND hWnd);

// The widget of a handle of this process, or nullptr.
QWidget* WindowFromHandle(HWND hWnd);
// The handle of a registered widget, or 0.
HWND HandleFromWindow(const QWidget* window);

struct WindowEntry {
    HWND handle = 0;
    QString windowClass;
    QString caption; // follows the widget's window title
};

// The registered windows of this process, in the order they were registered.
// Safe to call from any thread.
std::vector<WindowEntry> RegisteredWindows();

// Callback of ZrvSubTm: receives the hooked messages of a window.
struct IZorvaSubClass {
    virtual ~IZorvaSubClass() = default;
    virtual LRESULT WindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) = 0;
    // A value the subclassing library may keep with the callback. This
    // realisation of ZrvSubTm delivers every hooked message alike and leaves
    // it as the callback set it.
    virtual int32_t MsgResponse() const = 0;
    virtual void MsgResponse(int32_t emrA) = 0;
};

// From now on message iMsg sent to hWnd reaches callback's WindowProc. Hooking
// the same triple twice has no further effect.
void HookMessage(IZorvaSubClass* callback, HWND hWnd, UINT iMsg);
void UnhookMessage(IZorvaSubClass* callback, HWND hWnd, UINT iMsg);

// Delivers the message to every hook placed on the window for it, in the order
// they were placed, and returns the last one's result; 0 when nobody listens.
LRESULT SendMessageA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

} // namespace zrv::desktop
