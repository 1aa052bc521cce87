#pragma once

#include <QRect>
#include <QSize>

// Form geometry given in twips, turned into pixels at the screen's logical DPI.
namespace TwipsGeometry {

int PixelsX(int twips);
int PixelsY(int twips);
int TwipsX(int pixels);
int TwipsY(int pixels);
QRect Rect(int left, int top, int width, int height);
QSize Size(int width, int height);
// The primary screen in pixels and in twips.
QSize ScreenPixels();
QSize ScreenTwips();

} // namespace TwipsGeometry
