#pragma once

#include "model/colour_table.h"

namespace vortimax {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

// Integer RGB to HSV with the palette's tie-breaking between equal channels.
HsvEntry rgbToHsv(int red, int green, int blue);

// Integer HSV to RGB: the sector of the hue picks the channels of the largest, smallest
// and middle value.
Rgb hsvToRgb(int hue, int saturation, int value);

// The HSV triple a fraction f (0 <= f < 1) of the way from a to b: hue the short way
// round the circle (350 to 10 passes through 0), every part truncated to an integer.
HsvEntry interpolateHsv(const HsvEntry& a, const HsvEntry& b, double f);

} // namespace vortimax
