#pragma once

#include "desktop/DesktopTypes.h"

#include <QString>

class QWidget;

// Finding and activating the main window of another editor process by its
// caption and window class.
namespace EditorWindows {

// The main window's window class.
inline const QString MainWindowClass = QStringLiteral("ThunderRT6FormDC");

// Walks the desktop's top-level windows; the first whose class and caption
// equal the given ones (letter case ignored) is the match.
bool FindEditorWindow(const QString& caption, const QString& windowClass,
                      zrv::desktop::HWND* rhWnd = nullptr);
// Makes the matching window active and then foreground; false when there is
// none or on any failure.
bool ActivateEditorWindow(const QString& caption, const QString& windowClass);
// When another editor's main window has the caption, asks over owner whether
// to switch to it and does, or reports that the archive was not opened; true
// then.
bool ShownElsewhere(const QString& caption, QWidget* owner);

} // namespace EditorWindows
