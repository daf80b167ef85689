#pragma once

#include "model/colour_table.h"
#include "model/image_buffers.h"

#include <cstdint>

namespace vortimax {

// The bitmap of a fractal as the figure types (IFS, L-systems) draw into it: an 8-bit
// image receives palette indices, a true-colour image the colour of the index in the
// fractal's palette. Rows count from the bottom. Points outside the image are dropped.
class FigureCanvas {
public:
    // The palette index of the background: black in the display form of every palette.
    static constexpr int kBackground = 252;

    FigureCanvas(ImageBuffers& buffers, const ColourTable& colours)
        : buffers_(buffers), colours_(colours) {}

    int width() const { return buffers_.width; }
    int height() const { return buffers_.height; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width() && y < height(); }

    // Every pixel to the background (index 252, or black in true colour) and every value
    // to 0.
    void clear();
    // Pixel (x, y) gets palette entry `index` (0 ... 255); nothing outside the image.
    void plot(int x, int y, int index);
    // Adds 1 to the pixel's cell of the value buffer and returns the new count (the
    // cell is a float: counts beyond 2^24 stop growing).
    float addDensity(int x, int y);

private:
    ImageBuffers& buffers_;
    const ColourTable& colours_;
};

// trunc(value) modulo 252 as a palette index 0 ... 251 (a negative value counts down from
// 252); 0 for a value that is not finite.
int paletteIndexOf(double value);

} // namespace vortimax
