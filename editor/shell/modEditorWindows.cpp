#include "editor/shell/modEditorWindows.h"

#include "desktop/EditorWindowDirectory.h"
#include "desktop/Prompts.h"
#include "editor/support/Logging.h"

#include <exception>

using namespace zrv::desktop;

namespace EditorWindows {

namespace {

constexpr int kTextLength = 256;

QString WindowText(HWND hWnd, int (*read)(HWND, char*, int))
{
    char buffer[kTextLength] = {};
    const int length = read(hWnd, buffer, kTextLength);
    return QString::fromLocal8Bit(buffer, length > 0 ? length : 0);
}

} // namespace

bool FindEditorWindow(const QString& caption, const QString& windowClass, HWND* rhWnd)
{
    for (HWND hWnd = GetWindow(GetDesktopWindow(), GW_CHILD); hWnd != 0;
         hWnd = GetWindow(hWnd, GW_HWNDNEXT)) {
        const QString text = WindowText(hWnd, &GetWindowTextA);
        const QString className = WindowText(hWnd, &GetClassNameA);
        if (className.compare(windowClass, Qt::CaseInsensitive) == 0 &&
            text.compare(caption, Qt::CaseInsensitive) == 0) {
            if (rhWnd)
                *rhWnd = hWnd;
            return true;
        }
        DoEvents();
    }
    return false;
}

bool ActivateEditorWindow(const QString& caption, const QString& windowClass)
{
    try {
        HWND hWnd = 0;
        if (!FindEditorWindow(caption, windowClass, &hWnd))
            return false;
        SetActiveWindow(hWnd);
        SetForegroundWindow(hWnd);
        return true;
    } catch (const std::exception& error) {
        qCWarning(lcEditor) << "window" << caption << "not activated:" << error.what();
        return false;
    } catch (...) {
        qCWarning(lcEditor) << "window" << caption << "not activated";
        return false;
    }
}

bool ShownElsewhere(const QString& caption, QWidget* owner)
{
    if (!FindEditorWindow(caption, MainWindowClass))
        return false;
    const int answer =
        MsgBox(QStringLiteral(
                   "This archive is already open in another window.\r\nYou cannot edit the same "
                   "archive in two different instances of the Zorva Fortune Editor at the same "
                   "time.\r\nWould you like to switch to other instance?"),
               vbYesNo | vbQuestion, QStringLiteral("Switch to other instance?"), owner);
    if (answer == vbYes)
        ActivateEditorWindow(caption, MainWindowClass);
    else
        MsgBox(QStringLiteral("Failed to open archive"), vbOKOnly | vbInformation,
               QStringLiteral("Operation failed."), owner);
    return true;
}

} // namespace EditorWindows
