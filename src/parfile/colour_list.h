#pragma once

#include "palette/palette.h"

#include <string_view>

namespace vortimax {

// Colours of a "colors=" list as other programs write palettes into parameter files:
// three characters per colour, each a 6-bit channel value ('0'..'9' are 0..9, 'A'..'Z'
// 10..35, '_'..'z' 36..63); "<n>" stands for n colours interpolated between the colour
// before and the colour after it. Decoding stops at the first character that is neither,
// at a '<' at the start or right after another interpolation, and after 256 colours.
// Entries the list does not reach are grey (40 in 6-bit terms); every channel is scaled
// to 8 bits by multiplying with 4.
RgbTriples decodeColourList(std::string_view text);

} // namespace vortimax
