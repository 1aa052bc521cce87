#pragma once

// Twips (1/1440 inch) and the screen, as the editor measures its windows.

class QWidget;

namespace zrv::desktop {

enum FormWindowState : int { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };

// 1440 / logical DPI of the primary screen: 15 at 96 DPI.
double TwipsPerPixelX();
double TwipsPerPixelY();

// The primary screen's size in twips.
int ScreenWidthTwips();
int ScreenHeightTwips();

int PixelsToTwipsX(int pixels);
int PixelsToTwipsY(int pixels);
// Rounded to the nearest pixel.
int TwipsToPixelsX(int twips);
int TwipsToPixelsY(int twips);

// 0 normal, 1 minimised, 2 maximised.
int WindowStateOf(const QWidget& window);
// Applies 0, 1 or 2 and returns true; any other value changes nothing.
bool ApplyWindowState(QWidget& window, int state);

} // namespace zrv::desktop
