#pragma once

#include "model/colour_table.h"
#include "render/colour/colour_mapping.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace vortimax {

// One true-colour pixel packed as blue | green << 8 | red << 16, so that it is built and
// written without passing through memory byte by byte.
using PackedBgr = std::uint32_t;

// Writes a packed pixel as its three bytes blue, green, red.
inline void storeBgr(std::uint8_t* out, PackedBgr bgr) {
    out[0] = static_cast<std::uint8_t>(bgr);
    out[1] = static_cast<std::uint8_t>(bgr >> 8);
    out[2] = static_cast<std::uint8_t>(bgr >> 16);
}

// The true colours of the palette positions of one palette (see PaletteMapping): HSV
// interpolation between the entry below a position and the next one, 251 wrapping round
// to 0, then integer HSV to RGB, each channel held to 0 ... 255. Reserved entries
// (252 ... 255) are used as they are; positions outside the palette count as 0.
//
// Built once per coloured row: every cycle entry keeps its HSV triple and the step to
// the next entry as doubles, and the reserved colours are ready, so that a position
// costs three multiplications and a table-driven conversion. The results equal
// interpolateHsv followed by hsvToRgb bit for bit: the same operations in the same order.
class TrueColourTable {
public:
    explicit TrueColourTable(const ColourTable& colours);

    PackedBgr colour(double position) const {
        if (!(position >= 0.0 && position < 256.0))
            position = 0.0;
        const int i = static_cast<int>(position);
        if (i >= kCycleColours)
            return reserved_[static_cast<std::size_t>(i - kCycleColours)];
        const Segment& s = segments_[static_cast<std::size_t>(i)];
        const double f = position - i;
        int hue = static_cast<int>(s.hue + f * s.hueStep);
        while (hue < 0)
            hue += 360;
        while (hue >= 360)
            hue -= 360;
        // Between two 16-bit entries, so no narrowing is lost.
        const int saturation = static_cast<int>(s.saturation + f * s.saturationStep);
        const int value = static_cast<int>(s.value + f * s.valueStep);
        return convert(hue, saturation, value);
    }

private:
    // Entry i and the step to entry i + 1, the hue step the short way round.
    struct Segment {
        double hue, hueStep, saturation, saturationStep, value, valueStep;
    };
    // For every hue 0 ... 359: the shifts (0 blue, 8 green, 16 red) of the largest,
    // smallest and middle channel, and the hue's distance from its sector's pure colour.
    struct HueSlot {
        std::uint8_t largest, smallest, middle, distance;
    };
    static const std::array<HueSlot, 360> kHueSlots;

    static PackedBgr toByte(int channel) {
        return static_cast<PackedBgr>(std::clamp(channel, 0, 255));
    }
    // hsvToRgb for a hue in 0 ... 359.
    static PackedBgr convert(int hue, int saturation, int value) {
        const HueSlot& slot = kHueSlots[static_cast<std::size_t>(hue)];
        const int smallest = (256 - saturation) * value / 256;
        const int middle = smallest + (value - smallest) * slot.distance / 60;
        return toByte(value) << slot.largest | toByte(smallest) << slot.smallest |
               toByte(middle) << slot.middle;
    }

    std::array<Segment, kCycleColours> segments_;
    std::array<PackedBgr, 256 - kCycleColours> reserved_;
};

} // namespace vortimax
