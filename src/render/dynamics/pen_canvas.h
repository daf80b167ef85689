#pragma once

#include "render/dynamics/attractor_projection.h"

#include <array>
#include <cstdint>

namespace vortimax {

struct ImageBuffers;

// The bytes of one pixel: a palette index in the first byte for an 8-bit image, blue,
// green and red for a true-colour one.
using PixelColour = std::array<std::uint8_t, 3>;

// Draws in one colour into an image's pixel buffer: points and straight lines given in
// pixel positions that may lie anywhere, even far outside the image; only what falls
// inside the image is drawn. A position (x, y) lies in pixel (floor x, floor y).
class PenCanvas {
public:
    PenCanvas(ImageBuffers& buffers, PixelColour pen);

    // Every pixel of the image takes this colour.
    void fill(PixelColour colour);
    // The pixel of p, when it is inside the image.
    void dot(PixelPoint p);
    // The line joining the pixels of `from` and `to` (Bresenham), both ends included.
    void line(PixelPoint from, PixelPoint to);

private:
    void plot(int x, int y);

    ImageBuffers& buffers_;
    PixelColour pen_;
};

} // namespace vortimax
