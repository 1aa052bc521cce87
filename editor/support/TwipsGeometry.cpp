#include "editor/support/TwipsGeometry.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace TwipsGeometry {

namespace {

constexpr double kTwipsPerInch = 1440.0;

QScreen* Screen()
{
    return QGuiApplication::primaryScreen();
}

double DotsPerInchX()
{
    const QScreen* screen = Screen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

double DotsPerInchY()
{
    const QScreen* screen = Screen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

int Round(double value)
{
    return static_cast<int>(std::lround(value));
}

} // namespace

int PixelsX(int twips)
{
    return Round(twips * DotsPerInchX() / kTwipsPerInch);
}

int PixelsY(int twips)
{
    return Round(twips * DotsPerInchY() / kTwipsPerInch);
}

int TwipsX(int pixels)
{
    return Round(pixels * kTwipsPerInch / DotsPerInchX());
}

int TwipsY(int pixels)
{
    return Round(pixels * kTwipsPerInch / DotsPerInchY());
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
    const QScreen* screen = Screen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

QSize ScreenTwips()
{
    const QSize pixels = ScreenPixels();
    return {TwipsX(pixels.width()), TwipsY(pixels.height())};
}

} // namespace TwipsGeometry
