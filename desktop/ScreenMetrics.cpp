#include "desktop/ScreenMetrics.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

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
