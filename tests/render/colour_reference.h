#pragma once

#include "model/fractal_view.h"

#include <array>
#include <vector>

namespace vortimax::reference {

// The colouring as first written, one value at a time: palette position by the mapping
// rule, 8-bit index or HSV interpolation and conversion, and Floyd-Steinberg dithering
// with plain error rows. The optimised painters must match it pixel for pixel. One
// object per view: it keeps the dithering error rows between rows.
class Colourer {
public:
    void colourRow(FractalView& view, int x0, int row, int count, int blockSize);
    // Every row in the order recolourImage paints them, then the whole-image dither.
    void recolour(FractalView& view);

private:
    struct ErrorSet {
        int lastRow = -2;
        std::array<std::vector<float>, 3> current, next;
    };
    void ditherRow(FractalView& view, int row, bool downward);
    void ditherSweep(FractalView& view);
    static void clear(ErrorSet& set, int width);

    ErrorSet sets_[2];
};

} // namespace vortimax::reference
