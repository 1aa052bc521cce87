#pragma once

// The editor's names for the twips measures of desktop/ScreenMetrics: form
// geometry given in twips, turned into pixels at the screen's logical DPI.

#include "desktop/ScreenMetrics.h"

#include <QWidget>

namespace TwipsGeometry {

inline int PixelsX(int twips)
{
    return zrv::desktop::TwipsToPixelsX(twips);
}
inline int PixelsY(int twips)
{
    return zrv::desktop::TwipsToPixelsY(twips);
}
inline int TwipsX(int pixels)
{
    return zrv::desktop::PixelsToTwipsX(pixels);
}
inline int TwipsY(int pixels)
{
    return zrv::desktop::PixelsToTwipsY(pixels);
}
inline QRect Rect(int left, int top, int width, int height)
{
    return zrv::desktop::TwipsToPixels(left, top, width, height);
}
inline QSize Size(int width, int height)
{
    return zrv::desktop::TwipsToPixels(width, height);
}
// The primary screen in pixels and in twips.
inline QSize ScreenPixels()
{
    return zrv::desktop::ScreenSizePixels();
}
inline QSize ScreenTwips()
{
    return {zrv::desktop::ScreenWidthTwips(), zrv::desktop::ScreenHeightTwips()};
}

// Controls of a form, placed as its layout routine states them; a negative
// size is skipped, as a failing layout step would be.
inline void Place(QWidget* control, int left, int top, int width, int height)
{
    zrv::desktop::MoveTwips(*control, left, top, width, height);
}
inline int WidthOf(const QWidget* control)
{
    return zrv::desktop::WidthTwips(*control);
}
inline int HeightOf(const QWidget* control)
{
    return zrv::desktop::HeightTwips(*control);
}
inline int LeftOf(const QWidget* control)
{
    return zrv::desktop::LeftTwips(*control);
}
inline int TopOf(const QWidget* control)
{
    return zrv::desktop::TopTwips(*control);
}
using zrv::desktop::CenterOnScreen;

} // namespace TwipsGeometry
