#include "desktop/ScreenMetrics.h"

#include "desktop/FramePlacement.h"

#include <cmath>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace zrv::desktop {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kFallbackDpi = 96.0;

const QScreen* Primary()
{
    return QGuiApplication::instance() ? QGuiApplication::primaryScreen() : nullptr;
}

double TwipsPerPixel(double dpi)
{
    return kTwipsPerInch / (dpi > 0 ? dpi : kFallbackDpi);
}

int Round(double value)
{
    return static_cast<int>(std::lround(value));
}

} // namespace

double TwipsPerPixelX()
{
    const QScreen* screen = Primary();
    return TwipsPerPixel(screen ? screen->logicalDotsPerInchX() : kFallbackDpi);
}

double TwipsPerPixelY()
{
    const QScreen* screen = Primary();
    return TwipsPerPixel(screen ? screen->logicalDotsPerInchY() : kFallbackDpi);
}

int ScreenWidthTwips()
{
    const QScreen* screen = Primary();
    return screen ? PixelsToTwipsX(screen->geometry().width()) : 0;
}

int ScreenHeightTwips()
{
    const QScreen* screen = Primary();
    return screen ? PixelsToTwipsY(screen->geometry().height()) : 0;
}

QSize ScreenSizePixels()
{
    const QScreen* screen = Primary();
    return screen ? screen->geometry().size() : QSize();
}

int PixelsToTwipsX(int pixels)
{
    return Round(pixels * TwipsPerPixelX());
}

int PixelsToTwipsY(int pixels)
{
    return Round(pixels * TwipsPerPixelY());
}

int TwipsToPixelsX(int twips)
{
    return Round(twips / TwipsPerPixelX());
}

int TwipsToPixelsY(int twips)
{
    return Round(twips / TwipsPerPixelY());
}

QSize TwipsToPixels(int width, int height)
{
    return {TwipsToPixelsX(width), TwipsToPixelsY(height)};
}

QRect TwipsToPixels(int left, int top, int width, int height)
{
    return {TwipsToPixelsX(left), TwipsToPixelsY(top), TwipsToPixelsX(width),
            TwipsToPixelsY(height)};
}

int LeftTwips(const QWidget& control)
{
    return PixelsToTwipsX(control.x());
}

int TopTwips(const QWidget& control)
{
    return PixelsToTwipsY(control.y());
}

int WidthTwips(const QWidget& control)
{
    return PixelsToTwipsX(control.width());
}

int HeightTwips(const QWidget& control)
{
    return PixelsToTwipsY(control.height());
}

bool MoveTwips(QWidget& control, int left, int top, int width, int height)
{
    if (width < 0 || height < 0)
        return false;
    control.setGeometry(TwipsToPixels(left, top, width, height));
    return true;
}

void CenterOnScreen(QWidget& window)
{
    // Again once the window manager has framed the window and its outer size is known.
    PlaceByOuterSize(window, [](QSize outer) {
        return QPoint(TwipsToPixelsX((ScreenWidthTwips() - PixelsToTwipsX(outer.width())) / 2),
                      TwipsToPixelsY((ScreenHeightTwips() - PixelsToTwipsY(outer.height())) / 2));
    });
}

int WindowStateOf(const QWidget& window)
{
    if (window.isMinimized())
        return vbMinimized;
    if (window.isMaximized())
        return vbMaximized;
    return vbNormal;
}

bool ApplyWindowState(QWidget& window, int state)
{
    Qt::WindowStates states = window.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    switch (state) {
    case vbNormal:
        break;
    case vbMinimized:
        states |= Qt::WindowMinimized;
        break;
    case vbMaximized:
        states |= Qt::WindowMaximized;
        break;
    default:
        return false;
    }
    window.setWindowState(states);
    return true;
}

} // namespace zrv::desktop
