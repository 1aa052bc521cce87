#include "editor/support/TwipsGeometry.h"

#include "desktop/ScreenMetrics.h"

#include <QGuiApplication>
#include <QScreen>

using namespace zrv::desktop;

namespace TwipsGeometry {

int PixelsX(int twips)
{
    return TwipsToPixelsX(twips);
}

int PixelsY(int twips)
{
    return TwipsToPixelsY(twips);
}

int TwipsX(int pixels)
{
    return PixelsToTwipsX(pixels);
}

int TwipsY(int pixels)
{
    return PixelsToTwipsY(pixels);
}

QRect Rect(int left, int top, int width, int height)
{
    return {PixelsX(left), PixelsY(top), PixelsX(width), PixelsY(height)};
}

QSize Size(int width, int height)
{
    return {PixelsX(width), PixelsY(height)};
}

QSize ScreenPixels()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize();
}

QSize ScreenTwips()
{
    return {ScreenWidthTwips(), ScreenHeightTwips()};
}

} // namespace TwipsGeometry
