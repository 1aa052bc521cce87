#pragma once

#include <functional>
#include <QPoint>
#include <QSize>

class QWidget;

namespace zrv::desktop {

// A window manager frames a top-level window only once it is shown, so the
// outer (frame) size of a window is not known before. These place a window by
// its outer rectangle at once, with the frame as far as it is known, and once
// more, with the frame known, when the window is first exposed in the normal
// state (a window shown maximised gets its outer size when it is restored).

// Gives the window the outer size, in pixels.
void SetOuterSize(QWidget& window, QSize outer);

// Moves the window's outer rectangle to position(outer size).
void PlaceByOuterSize(QWidget& window, std::function<QPoint(QSize)> position);

} // namespace zrv::desktop
