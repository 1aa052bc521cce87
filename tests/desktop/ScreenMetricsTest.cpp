#include "desktop/ScreenMetrics.h"

#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

using namespace zrv::desktop;

namespace {

TEST(ScreenMetrics, twipsPerPixelComeFromTheLogicalDpi)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_DOUBLE_EQ(TwipsPerPixelX(), 1440.0 / screen->logicalDotsPerInchX());
    EXPECT_DOUBLE_EQ(TwipsPerPixelY(), 1440.0 / screen->logicalDotsPerInchY());
}

TEST(ScreenMetrics, screenSizeInTwipsIsThePrimaryGeometry)
{
    const QRect geometry = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(ScreenWidthTwips(), qRound(geometry.width() * TwipsPerPixelX()));
    EXPECT_EQ(ScreenHeightTwips(), qRound(geometry.height() * TwipsPerPixelY()));
    EXPECT_GT(ScreenWidthTwips(), 0);
}

TEST(ScreenMetrics, pixelsAndTwipsConvertBothWays)
{
    for (const int pixels : {0, 1, 7, 640, 1023}) {
        EXPECT_EQ(TwipsToPixelsX(PixelsToTwipsX(pixels)), pixels);
        EXPECT_EQ(TwipsToPixelsY(PixelsToTwipsY(pixels)), pixels);
    }
    // Part of a pixel rounds to the nearest one.
    const int twips = PixelsToTwipsX(10);
    EXPECT_EQ(TwipsToPixelsX(twips + static_cast<int>(TwipsPerPixelX() * 0.4)), 10);
    EXPECT_EQ(TwipsToPixelsX(twips + static_cast<int>(TwipsPerPixelX() * 0.6 + 0.5)), 11);
}

TEST(ScreenMetrics, windowStatesRoundTripAndOthersAreRefused)
{
    QWidget window;
    window.resize(200, 100);
    window.show();
    EXPECT_EQ(WindowStateOf(window), vbNormal);
    for (const int state : {vbMaximized, vbMinimized, vbNormal, vbMinimized}) {
        EXPECT_TRUE(ApplyWindowState(window, state));
        EXPECT_EQ(WindowStateOf(window), state);
    }
    for (const int state : {3, -1, 256}) {
        EXPECT_FALSE(ApplyWindowState(window, state));
        EXPECT_EQ(WindowStateOf(window), vbMinimized);
    }
}

} // namespace
