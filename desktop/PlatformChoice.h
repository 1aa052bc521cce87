#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace zrv::desktop {

// The Qt platform the editor asks for. Finding and activating another
// editor's window and hearing of clipboard changes made elsewhere need X11
// rules that a Wayland compositor denies to unfocused programs, so in a
// Wayland session that offers an X display (XWayland) the answer is "xcb".
// Empty leaves the choice to Qt: outside Wayland, without XWayland, or when
// the user chose a platform with QT_QPA_PLATFORM.
QString PreferredPlatform(const QProcessEnvironment& environment);

} // namespace zrv::desktop
