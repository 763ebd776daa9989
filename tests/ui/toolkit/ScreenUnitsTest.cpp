#include "ui/toolkit/ScreenUnits.h"

#include <gtest/gtest.h>

namespace tintwell {
namespace {

TEST(ScreenUnits, NinetySixDpiIsFifteenTwipsPerPixel) {
    ScreenUnits u;
    EXPECT_EQ(u.TwipsPerPixelX(), 15.0);
    EXPECT_EQ(u.XToPixels(1920), 128);
    EXPECT_EQ(u.YToPixels(480), 32);
    EXPECT_EQ(u.XToTwips(128), 1920.0);
    EXPECT_EQ(u.RectToPixels(120, 120, 5535, 315), QRect(8, 8, 369, 21));
}

TEST(ScreenUnits, RoundsHalfToEven) {
    ScreenUnits u(10.0, 10.0);
    EXPECT_EQ(u.XToPixels(25), 2);  // 2.5 -> 2
    EXPECT_EQ(u.XToPixels(35), 4);  // 3.5 -> 4
    EXPECT_EQ(u.YToPixels(-25), -2);
    EXPECT_EQ(u.XToPixels(26), 3);
    EXPECT_EQ(ScreenUnits::Round(0.5), 0);
    EXPECT_EQ(ScreenUnits::Round(1.5), 2);
}

TEST(ScreenUnits, HighDpiScreenKeepsProportions) {
    ScreenUnits u(1440.0 / 144.0, 1440.0 / 144.0);  // 144 DPI: 10 twips per pixel
    EXPECT_EQ(u.XToPixels(6990), 699);
    EXPECT_EQ(u.YToPixels(5055), 506);  // 505.5 -> 506
}

TEST(ScreenUnits, NonPositiveScaleFallsBackToNinetySixDpi) {
    ScreenUnits u(0.0, -3.0);
    EXPECT_EQ(u.TwipsPerPixelX(), 15.0);
    EXPECT_EQ(u.TwipsPerPixelY(), 15.0);
}

TEST(ScreenUnits, HugeValuesSaturateInsteadOfOverflowing) {
    EXPECT_EQ(ScreenUnits::Round(1e300), INT_MAX);
    EXPECT_EQ(ScreenUnits::Round(-1e300), INT_MIN);
}

}  // namespace
}  // namespace tintwell
