#pragma once

// The top-level windows of every editor process of this user, reached with
// the calls the editor makes to walk and activate the desktop's windows.
// The walk goes through the processes in the order of their ids, and through
// each process's windows in the order they were registered. An editor that
// has died is skipped and its entry removed; one that does not answer within
// the timeout is skipped.

#include "desktop/WindowHandles.h"

#include <chrono>
#include <optional>
#include <sys/types.h>
#include <vector>

namespace zrv::desktop {

constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_CHILD = 5;

class EditorWindowDirectory final {
public:
    // The live editor processes, this one included, in walking order.
    static std::vector<pid_t> Editors();
    // A process's windows; nullopt when it did not answer in time.
    static std::optional<std::vector<WindowEntry>> WindowsOf(pid_t pid);
    static std::optional<WindowEntry> Find(HWND hWnd);
    // Asks the window's process to bring it to the front; true when it took the request.
    static bool Activate(HWND hWnd);

    static std::chrono::milliseconds Timeout();
    static void SetTimeout(std::chrono::milliseconds timeout);
};

// Shows a window of this process normally if minimised, raises and activates it.
bool BringWindowToFront(HWND hWnd);

// The desktop: its first child is the first window of the walk.
HWND GetDesktopWindow();
// GW_CHILD of the desktop and GW_HWNDFIRST: the first window of the walk;
// GW_HWNDNEXT: the window after hWnd. 0 when there is none.
HWND GetWindow(HWND hWnd, UINT cmd);
// Copy the caption or window class in the active code page into the buffer,
// cut to maxCount - 1 bytes and terminated; return the bytes copied, 0 for an
// unknown window.
int GetWindowTextA(HWND hWnd, char* buffer, int maxCount);
int GetClassNameA(HWND hWnd, char* buffer, int maxCount);
// Both ask the owner of the window to bring it to the front. SetActiveWindow
// returns the window of this process that was active before (0 when none or
// on failure); SetForegroundWindow TRUE when the request was taken.
HWND SetActiveWindow(HWND hWnd);
BOOL SetForegroundWindow(HWND hWnd);
// Processes the pending events of this process.
void DoEvents();

} // namespace zrv::desktop
