#pragma once

#include "desktop/FramePlacement.h"
#include "desktop/ScreenMetrics.h"

#include <QWidget>

// Sizes and places the controls of a form in twips, as its layout routines
// state them.
namespace TwipsPlacement {

inline QSize Size(int width, int height)
{
    return {zrv::desktop::TwipsToPixelsX(width), zrv::desktop::TwipsToPixelsY(height)};
}

// A negative size is skipped, as a failing layout step would be.
inline void Place(QWidget* control, int left, int top, int width, int height)
{
    if (width < 0 || height < 0)
        return;
    control->setGeometry(zrv::desktop::TwipsToPixelsX(left), zrv::desktop::TwipsToPixelsY(top),
                         zrv::desktop::TwipsToPixelsX(width), zrv::desktop::TwipsToPixelsY(height));
}

inline int WidthOf(const QWidget* control)
{
    return zrv::desktop::PixelsToTwipsX(control->width());
}
inline int HeightOf(const QWidget* control)
{
    return zrv::desktop::PixelsToTwipsY(control->height());
}
inline int LeftOf(const QWidget* control)
{
    return zrv::desktop::PixelsToTwipsX(control->x());
}
inline int TopOf(const QWidget* control)
{
    return zrv::desktop::PixelsToTwipsY(control->y());
}

// top = (screen height - window height) / 2, then left likewise, in twips,
// by the outer size (again once the window manager has framed the window).
inline void CenterOnScreen(QWidget& form)
{
    zrv::desktop::PlaceByOuterSize(form, [](QSize outer) {
        const int height = zrv::desktop::PixelsToTwipsY(outer.height());
        const int width = zrv::desktop::PixelsToTwipsX(outer.width());
        return QPoint(
            zrv::desktop::TwipsToPixelsX((zrv::desktop::ScreenWidthTwips() - width) / 2),
            zrv::desktop::TwipsToPixelsY((zrv::desktop::ScreenHeightTwips() - height) / 2));
    });
}

} // namespace TwipsPlacement
