#include "model/image_buffers.h"

#include <algorithm>
#include <new>

namespace vortimax {

namespace {

constexpr std::uint8_t kBackgroundIndex = 252;

std::size_t cells(int columns, int rows) {
    return static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
}

void allocate(const BufferLayout& layout, ImageBuffers& b) {
    const int w = layout.width;
    const int h = layout.height;
    b.width = w;
    b.height = h;
    b.rowLength = bitmapRowLength(w);
    b.bytesPerPixel = layout.displayDepth / 8;
    b.values.assign(cells(w + 1, h), 0.0f);
    if (layout.tierazon) {
        b.tierazon1.assign(cells(w + 1, h), 0.0f);
        b.tierazon2.assign(cells(w + 1, h), 0.0f);
    }
    const std::uint8_t fill = b.bytesPerPixel == 1 ? kBackgroundIndex : 0;
    b.pixels.assign(cells(b.rowLength, h) * b.bytesPerPixel, fill);
    if (layout.trueColourOn8Bit) {
        b.screen.assign(cells(b.rowLength, h), kBackgroundIndex);
        // Two sets of error rows (below and at-or-above the middle row), each a current
        // and a next row of w floats per channel, and 16 bytes of state for the sets.
        b.ditherRows.assign(cells(w, 12) * 4 + 16, 0);
    }
    if (layout.dims) {
        b.heightField.assign(cells(w + 1, h), 0);
        b.image3D.assign(cells(b.rowLength, h) * 3, 0);
        if (layout.screenDepth <= 8)
            b.image3D8.assign(cells(b.rowLength, h), kBackgroundIndex);
    }
    b.rowWorkSmall.assign(cells(h, 4), 0);
    b.rowWorkLarge.assign(cells(h, 20), 0);
}

} // namespace

void ImageBuffers::clearValues() {
    std::fill(values.begin(), values.end(), 0.0f);
    std::fill(tierazon1.begin(), tierazon1.end(), 0.0f);
    std::fill(tierazon2.begin(), tierazon2.end(), 0.0f);
}

void ImageBuffers::clear3D() {
    std::fill(image3D.begin(), image3D.end(), 0);
    std::fill(image3D8.begin(), image3D8.end(), kBackgroundIndex);
}

bool allocateBuffers(const BufferLayout& layout, ImageBuffers& buffers) {
    buffers = ImageBuffers{};
    bool sizeAllowed = layout.width > 0 && layout.height > 0 && layout.width <= kMaxImageSide &&
                       layout.height <= kMaxImageSide &&
                       (layout.displayDepth == 8 || layout.displayDepth == 24);
    if (!sizeAllowed)
        return false;
    try {
        allocate(layout, buffers);
        return true;
    } catch (const std::bad_alloc&) {
        buffers = ImageBuffers{};
        return false;
    }
}

} // namespace vortimax
