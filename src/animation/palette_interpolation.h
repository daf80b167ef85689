#pragma once

#include "animation/anim_data.h"
#include "model/fractal_record.h"
#include "palette/palette.h"

#include <cstdint>
#include <vector>

namespace vortimax {

class PaletteList;

struct FramePalette {
    Palette palette; // unnamed; the caller names it
    int offset = 0;  // 0 <= offset < 252; 0 once applied
};

// The palette and palette offset of frame f, from the keys that set a palette: the first
// key and every later key naming an animation palette. Each such key brings the palette
// its animation palette name names (with PALOFFSETANIM), failing that the palette its
// palette name names (with PALOFFSET), failing that the default palette at offset 0. Every
// colour channel and the offset follow the curve through those keys at position f - 1;
// offsets are unwrapped first, so 250 -> 2 goes forward through 251, 0, 1. With `apply`
// the palette is rotated by the offset (entry i takes the colour at i - offset) and the
// offset is 0, as a running animation shows it.
FramePalette interpolatePalette(const std::vector<const FractalRecord*>& keys, const AnimData& data,
                                std::int64_t frame, const PaletteList& palettes, bool apply);

// Offsets moved by whole turns of 252 so that each lies less than 126 from its
// predecessor.
std::vector<double> unwrappedOffsets(std::vector<double> offsets);

} // namespace vortimax
