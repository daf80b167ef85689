#pragma once

#include <array>
#include <cstdint>

namespace vortimax {

// One entry of a bitmap colour table: blue, green, red and a flag byte, in the order of
// a device-independent bitmap's colour table.
struct ColourEntry {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t flag = 0;
    bool operator==(const ColourEntry&) const = default;
};

// Hue 0..359, saturation 0..255 (256 in interpolation), value 0..255.
struct HsvEntry {
    std::int16_t hue = 0;
    std::int16_t saturation = 0;
    std::int16_t value = 0;
    bool operator==(const HsvEntry&) const = default;
};

// The colours a fractal's image is painted with: the palette in its display form
// (entries 0..251 rotated by the palette offset, 252 black, 253 white, 254 grey) and the
// HSV triple of every entry for true-colour interpolation.
struct ColourTable {
    std::array<ColourEntry, 256> entries{};
    std::array<HsvEntry, 256> hsv{};
    bool operator==(const ColourTable&) const = default;
};

} // namespace vortimax
