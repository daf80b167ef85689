#pragma once

#include "model/colour_table.h"
#include "model/image_buffers.h"

#include <cstdint>

namespace vortimax {

// The screen colours of an index image on a true-colour screen: each pixel's palette
// index looked up in the colour table, written as 0xFFRRGGBB words, `width` per row and
// rows top-down (the buffers keep them bottom-up). `out` holds width x height words.
// This is what a palette change costs an 8-bit fractal on a true-colour screen, once per
// cycling step.
void indexImageToRgb32(const ImageBuffers& buffers, const ColourTable& colours, std::uint32_t* out);

} // namespace vortimax
