#include "render/colour/true_colour_table.h"

#include "palette/hsv.h"

#include <cstdlib>

namespace vortimax {

namespace {

constexpr std::uint8_t kBlue = 0, kGreen = 8, kRed = 16;

// The largest, smallest and middle channel of each 60-degree sector, as in hsvToRgb.
constexpr std::uint8_t kSectorBytes[6][3] = {
    {kRed, kBlue, kGreen}, {kGreen, kBlue, kRed}, {kGreen, kRed, kBlue},
    {kBlue, kRed, kGreen}, {kBlue, kGreen, kRed}, {kRed, kGreen, kBlue},
};

} // namespace

const std::array<TrueColourTable::HueSlot, 360> TrueColourTable::kHueSlots = [] {
    std::array<HueSlot, 360> slots{};
    for (int hue = 0; hue < 360; ++hue) {
        int h = hue;
        while (h > 60)
            h -= 120;
        const std::uint8_t* sector = kSectorBytes[hue / 60];
        slots[static_cast<std::size_t>(hue)] = {sector[0], sector[1], sector[2],
                                                static_cast<std::uint8_t>(std::abs(h))};
    }
    return slots;
}();

TrueColourTable::TrueColourTable(const ColourTable& colours) {
    for (int i = 0; i < kCycleColours; ++i) {
        const HsvEntry& a = colours.hsv[static_cast<std::size_t>(i)];
        const HsvEntry& b =
            colours.hsv[static_cast<std::size_t>(i + 1 == kCycleColours ? 0 : i + 1)];
        int hueB = b.hue;
        if (std::abs(a.hue - hueB) > 180)
            hueB += a.hue > hueB ? 360 : -360;
        segments_[static_cast<std::size_t>(i)] = {
            static_cast<double>(a.hue),        static_cast<double>(hueB - a.hue),
            static_cast<double>(a.saturation), static_cast<double>(b.saturation - a.saturation),
            static_cast<double>(a.value),      static_cast<double>(b.value - a.value)};
    }
    for (std::size_t r = 0; r < reserved_.size(); ++r) {
        const HsvEntry& h = colours.hsv[kCycleColours + r];
        const Rgb rgb = hsvToRgb(h.hue, h.saturation, h.value);
        reserved_[r] = toByte(rgb.blue) | toByte(rgb.green) << 8 | toByte(rgb.red) << 16;
    }
}

} // namespace vortimax
