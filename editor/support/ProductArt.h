#pragma once

#include <QCursor>
#include <QPixmap>

// The product's own pictures, painted at run time so they stay sharp and need
// no image files.
namespace ProductArt {

// Size of the logo and the About banner, in pixels.
inline constexpr int BannerWidth = 292;
inline constexpr int BannerHeight = 104;

// Main window logo: the fortune scroll with the product name.
QPixmap Logo();
// About box banner: the same scroll with the editor's name and its tag line.
QPixmap AboutBanner();
// Window icon: the scroll alone.
QPixmap AppIcon();
// Pointing hand shown over links; the hot spot is the fingertip.
QCursor HandCursor();

} // namespace ProductArt
