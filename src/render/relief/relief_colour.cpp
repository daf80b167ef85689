#include "render/relief/relief_colour.h"

#include "palette/hsv.h"
#include "render/colour/colour_mapping.h"
#include "render/relief/horizon_strip.h"

#include <algorithm>
#include <cmath>

namespace vortimax {

namespace {

PackedBgr pack(int red, int green, int blue) {
    auto byte = [](int c) { return static_cast<PackedBgr>(std::clamp(c, 0, 255)); };
    return byte(blue) | byte(green) << 8 | byte(red) << 16;
}

} // namespace

ReliefColouring::ReliefColouring(const ReliefSettings& settings, const ColourTable& colours)
    : settings_(settings), colours_(colours),
      fixed_(rgbToHsv(settings.base[0], settings.base[1], settings.base[2])),
      background_(pack(settings.background[0], settings.background[1], settings.background[2])) {}

// As the true-colour image: HSV interpolation from the entry below the position to the
// next, 251 wrapping round to 0; reserved entries as they are.
HsvEntry ReliefColouring::baseColour(float position) const {
    if (settings_.fixedColour)
        return fixed_;
    double p = position;
    if (!(p >= 0.0 && p < 256.0))
        p = 0.0;
    const int i = static_cast<int>(p);
    if (i >= kCycleColours)
        return colours_.hsv[static_cast<std::size_t>(i)];
    const HsvEntry& next = colours_.hsv[static_cast<std::size_t>((i + 1) % kCycleColours)];
    return interpolateHsv(colours_.hsv[static_cast<std::size_t>(i)], next, p - i);
}

PackedBgr ReliefColouring::colour(float shade, float position) const {
    if (shade == kNoSurface)
        return background_;
    const HsvEntry base = baseColour(position);
    const double t = 255.0 * shade;
    const double s = settings_.saturation / 100.0;
    const double v = settings_.value / 100.0;
    const double saturation = std::trunc(base.saturation * (1.0 - s) + t * s);
    const double value = std::trunc((base.value * (1.0 - v) + t * v) * settings_.intensity);
    auto level = [](double x) { return static_cast<int>(std::clamp(x, -1024.0, 1024.0)); };
    const Rgb rgb = hsvToRgb(base.hue, level(saturation), level(value));
    return pack(rgb.red, rgb.green, rgb.blue);
}

} // namespace vortimax
