#include "palette/hsv.h"

#include <gtest/gtest.h>

using namespace vortimax;

namespace {

TEST(Hsv, ConversionsTruncateAndBreakTies) {
    // Equal channels (grey, red = green, red = blue, green = blue), hues truncated inside
    // their sector (23, 337) and a truncated saturation: (200 - 50) * 255 / 200 = 191.
    const std::pair<Rgb, HsvEntry> cases[] = {
        {{127, 127, 127}, {0, 0, 127}},   {{252, 252, 0}, {60, 255, 252}},
        {{50, 200, 50}, {120, 191, 200}}, {{0, 200, 200}, {180, 255, 200}},
        {{0, 0, 252}, {240, 255, 252}},   {{252, 0, 252}, {300, 255, 252}},
        {{252, 100, 0}, {23, 255, 252}},  {{252, 0, 100}, {337, 255, 252}}};
    for (const auto& [rgb, hsv] : cases) {
        EXPECT_EQ(rgbToHsv(rgb.red, rgb.green, rgb.blue), hsv) << hsv.hue;
        if (hsv.hue % 60 == 0) { // every sector's boundary converts back exactly
            EXPECT_EQ(hsvToRgb(hsv.hue, hsv.saturation, hsv.value), rgb) << hsv.hue;
        }
    }
}

TEST(Hsv, InterpolationTakesTheShortWayRound) {
    const HsvEntry a{350, 200, 100}, b{10, 100, 200};
    EXPECT_EQ(interpolateHsv(a, b, 0.5), (HsvEntry{0, 150, 150}));
    EXPECT_EQ(interpolateHsv(a, b, 0.25).hue, 355);
    EXPECT_EQ(interpolateHsv(b, a, 0.75).hue, 355);
    EXPECT_EQ(interpolateHsv(HsvEntry{100, 0, 0}, HsvEntry{200, 0, 0}, 0.5).hue, 150);
}

} // namespace
