#pragma once

#include "model/colour_table.h"
#include "palette/hsv.h"

namespace vortimax {

class FractalView;

// Turns the values of one row into pixels: the values at columns x0, x0 + b, x0 + 2b, ...
// within `count` columns (clipped to the image width) each paint a b x b block whose
// lower-left pixel is the value's own, clipped to the image. An 8-bit image receives
// palette indices, a true-colour image (DisplayDepth 24) blue, green, red bytes
// interpolated between neighbouring palette entries. A true-colour image shown on an
// 8-bit screen is dithered as its rows are painted. Calls that do not fit the view's
// buffers paint nothing. Matches ViewHooks::colourRow.
void colourRow(FractalView& view, int x0, int row, int count, int blockSize);

// The true colour of a palette position (see PaletteMapping): HSV interpolation between
// the entry below the position and the next one, 251 wrapping round to 0. Reserved
// entries (252 ... 255) are used as they are, without blending into a neighbour.
// Positions outside the palette count as 0.
inline Rgb positionColour(const ColourTable& colours, double position) {
    if (!(position >= 0.0 && position < 256.0))
        position = 0.0;
    const int i = static_cast<int>(position);
    if (i >= 252) {
        const HsvEntry& h = colours.hsv[static_cast<std::size_t>(i)];
        return hsvToRgb(h.hue, h.saturation, h.value);
    }
    const int j = i == 251 ? 0 : i + 1;
    const HsvEntry h = interpolateHsv(colours.hsv[static_cast<std::size_t>(i)],
                                      colours.hsv[static_cast<std::size_t>(j)], position - i);
    return hsvToRgb(h.hue, h.saturation, h.value);
}

} // namespace vortimax
