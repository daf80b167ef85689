#include "render/geometry/figure_canvas.h"

#include <algorithm>
#include <cmath>

namespace vortimax {

void FigureCanvas::clear() {
    const std::uint8_t fill = buffers_.bytesPerPixel == 1 ? kBackground : 0;
    std::fill(buffers_.pixels.begin(), buffers_.pixels.end(), fill);
    buffers_.clearValues();
}

void FigureCanvas::plot(int x, int y, int index) {
    if (!contains(x, y) || index < 0 || index > 255)
        return;
    std::uint8_t* row = buffers_.pixelRow(y);
    if (buffers_.bytesPerPixel == 1) {
        row[x] = static_cast<std::uint8_t>(index);
        return;
    }
    const ColourEntry& colour = colours_.entries[static_cast<std::size_t>(index)];
    std::uint8_t* pixel = row + static_cast<std::ptrdiff_t>(x) * buffers_.bytesPerPixel;
    pixel[0] = colour.blue;
    pixel[1] = colour.green;
    pixel[2] = colour.red;
}

float FigureCanvas::addDensity(int x, int y) {
    if (!contains(x, y))
        return 0.0f;
    return buffers_.value(x, y) += 1.0f;
}

int paletteIndexOf(double value) {
    constexpr int kColours = FigureCanvas::kBackground;
    // Counts and colours are mostly small whole numbers: integer arithmetic for them.
    if (value > -2147483648.0 && value < 2147483648.0) {
        const int index = static_cast<int>(value) % kColours;
        return index < 0 ? index + kColours : index;
    }
    const double index = std::fmod(std::trunc(value), kColours);
    if (!std::isfinite(index))
        return 0;
    return static_cast<int>(index < 0.0 ? index + kColours : index);
}

} // namespace vortimax
