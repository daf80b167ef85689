#include "palette/hsv.h"

#include <gtest/gtest.h>

using namespace vortimax;

namespace {

TEST(Hsv, RgbToHsvWithItsTieBreaking) {
    EXPECT_EQ(rgbToHsv(0, 0, 0), (HsvEntry{0, 0, 0}));
    EXPECT_EQ(rgbToHsv(127, 127, 127), (HsvEntry{0, 0, 127}));
    EXPECT_EQ(rgbToHsv(252, 0, 0), (HsvEntry{0, 255, 252}));
    EXPECT_EQ(rgbToHsv(0, 252, 0), (HsvEntry{120, 255, 252}));
    EXPECT_EQ(rgbToHsv(0, 0, 252), (HsvEntry{240, 255, 252}));
    EXPECT_EQ(rgbToHsv(252, 252, 0), (HsvEntry{60, 255, 252}));
    EXPECT_EQ(rgbToHsv(252, 0, 252), (HsvEntry{300, 255, 252}));
    // Mid channel between: hue inside the sector, truncated.
    EXPECT_EQ(rgbToHsv(252, 100, 0), (HsvEntry{23, 255, 252}));
    EXPECT_EQ(rgbToHsv(252, 0, 100), (HsvEntry{337, 255, 252}));
    // Saturation truncates: (200 - 50) * 255 / 200.
    EXPECT_EQ(rgbToHsv(50, 200, 50).saturation, 191);
}

TEST(Hsv, HsvToRgbBySector) {
    EXPECT_EQ(hsvToRgb(0, 255, 252), (Rgb{252, 0, 0}));
    EXPECT_EQ(hsvToRgb(120, 256, 200), (Rgb{0, 200, 0}));
    EXPECT_EQ(hsvToRgb(240, 256, 200), (Rgb{0, 0, 200}));
    EXPECT_EQ(hsvToRgb(60, 256, 200), (Rgb{200, 200, 0}));
    EXPECT_EQ(hsvToRgb(0, 0, 127), (Rgb{127, 127, 127}));
    // Round trip of saturated colours stays within the integer rounding.
    for (int hue = 0; hue < 360; hue += 7) {
        Rgb rgb = hsvToRgb(hue, 256, 240);
        HsvEntry back = rgbToHsv(rgb.red, rgb.green, rgb.blue);
        EXPECT_NEAR(back.hue, hue, 4) << hue;
        EXPECT_EQ(back.value, 240);
    }
}

TEST(Hsv, InterpolationTakesTheShortWayRound) {
    HsvEntry a{350, 200, 100}, b{10, 100, 200};
    EXPECT_EQ(interpolateHsv(a, b, 0.5), (HsvEntry{0, 150, 150}));
    EXPECT_EQ(interpolateHsv(a, b, 0.25).hue, 355);
    EXPECT_EQ(interpolateHsv(b, a, 0.75).hue, 355);
    EXPECT_EQ(interpolateHsv(HsvEntry{100, 0, 0}, HsvEntry{200, 0, 0}, 0.5).hue, 150);
    EXPECT_EQ(interpolateHsv(a, b, 0.0), a);
}

} // namespace
