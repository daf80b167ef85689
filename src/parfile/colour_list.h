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

// The "colors=" list of the first `count` entries (at most 256): each channel's top six
// bits, runs that the decoder's interpolation rebuilds exactly written as "<n>".
std::string encodeColourList(const RgbTriples& colours, std::size_t count);

// Whether the list of `count` entries carries every channel exactly (all multiples of 4).
bool colourListIsExact(const RgbTriples& colours, std::size_t count);

// The two low bits of each channel that a colour list drops, one character of the same
// alphabet per entry (red bits 5-4, green 3-2, blue 1-0), so that a palette of any
// colours comes back exactly. Applying them to decoded colours stops at the first
// character outside the alphabet.
std::string encodeLowBits(const RgbTriples& colours, std::size_t count);
void applyLowBits(RgbTriples& colours, std::string_view text);

} // namespace vortimax
