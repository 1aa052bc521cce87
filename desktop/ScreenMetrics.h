#pragma once

// Twips (1/1440 inch) and the screen, as the editor measures its windows and
// places its controls.

#include <QRect>
#include <QSize>

class QWidget;

namespace zrv::desktop {

enum FormWindowState : int { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };

// 1440 / logical DPI of the primary screen: 15 at 96 DPI.
double TwipsPerPixelX();
double TwipsPerPixelY();

// The primary screen's size in twips; in pixels (empty without a screen).
int ScreenWidthTwips();
int ScreenHeightTwips();
QSize ScreenSizePixels();

int PixelsToTwipsX(int pixels);
int PixelsToTwipsY(int pixels);
// Rounded to the nearest pixel.
int TwipsToPixelsX(int twips);
int TwipsToPixelsY(int twips);
QSize TwipsToPixels(int width, int height);
QRect TwipsToPixels(int left, int top, int width, int height);

// A control's place in twips, as a form's layout routine states it.
int LeftTwips(const QWidget& control);
int TopTwips(const QWidget& control);
int WidthTwips(const QWidget& control);
int HeightTwips(const QWidget& control);
// Moves and sizes the control. A negative width or height fails, as the
// home platform's Move does: the control stays as it was and false comes back.
bool MoveTwips(QWidget& control, int left, int top, int width, int height);
// Top = (screen height - outer height) / 2, then left likewise, in twips.
void CenterOnScreen(QWidget& window);

// 0 normal, 1 minimised, 2 maximised.
int WindowStateOf(const QWidget& window);
// Applies 0, 1 or 2 and returns true; any other value changes nothing.
bool ApplyWindowState(QWidget& window, int state);

} // namespace zrv::desktop
