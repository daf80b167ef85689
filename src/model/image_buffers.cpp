#include "model/image_buffers.h"

#include <algorithm>
#include <new>

namespace vortimax {

namespace {

constexpr std::uint8_t kBackgroundIndex = 252;

std::size_t cells(int columns, int rows) {
    return static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
}

// The number of elements of every buffer the layout needs; empty buffers count 0.
struct BufferCounts {
    std::size_t values = 0;
    std::size_t tierazon = 0; // each of the two extra value buffers
    std::size_t pixels = 0;
    std::size_t screen = 0;
    std::size_t ditherRows = 0;
    std::size_t heightField = 0;
    std::size_t image3D = 0;
    std::size_t image3D8 = 0;
    std::size_t rowWorkSmall = 0;
    std::size_t rowWorkLarge = 0;
};

BufferCounts countsOf(const BufferLayout& layout) {
    const int w = layout.width;
    const int h = layout.height;
    const int rowLength = bitmapRowLength(w);
    BufferCounts n;
    n.values = cells(w + 1, h);
    n.tierazon = layout.tierazon ? cells(w + 1, h) : 0;
    n.pixels = cells(rowLength, h) * static_cast<std::size_t>(layout.displayDepth / 8);
    if (layout.trueColourOn8Bit) {
        n.screen = cells(rowLength, h);
        // Two sets of error rows (below and at-or-above the middle row), each a current
        // and a next row of w floats per channel, and 16 bytes of state for the sets.
        n.ditherRows = cells(w, 12) * 4 + 16;
    }
    if (layout.dims) {
        n.heightField = cells(w + 1, h);
        n.image3D = cells(rowLength, h) * 3;
        n.image3D8 = layout.screenDepth <= 8 ? cells(rowLength, h) : 0;
    }
    n.rowWorkSmall = cells(h, 4);
    n.rowWorkLarge = cells(h, 20);
    return n;
}

void allocate(const BufferLayout& layout, ImageBuffers& b) {
    const BufferCounts n = countsOf(layout);
    b.width = layout.width;
    b.height = layout.height;
    b.rowLength = bitmapRowLength(layout.width);
    b.bytesPerPixel = layout.displayDepth / 8;
    b.values.assign(n.values, 0.0f);
    b.tierazon1.assign(n.tierazon, 0.0f);
    b.tierazon2.assign(n.tierazon, 0.0f);
    const std::uint8_t fill = b.bytesPerPixel == 1 ? kBackgroundIndex : 0;
    b.pixels.assign(n.pixels, fill);
    b.screen.assign(n.screen, kBackgroundIndex);
    b.ditherRows.assign(n.ditherRows, 0);
    b.heightField.assign(n.heightField, 0);
    b.image3D.assign(n.image3D, 0);
    b.image3D8.assign(n.image3D8, kBackgroundIndex);
    b.rowWorkSmall.assign(n.rowWorkSmall, 0);
    b.rowWorkLarge.assign(n.rowWorkLarge, 0);
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

std::size_t bufferBytes(const BufferLayout& layout) {
    const BufferCounts n = countsOf(layout);
    return (n.values + 2 * n.tierazon + n.heightField) * 4 + n.pixels + n.screen + n.ditherRows +
           n.image3D + n.image3D8 + n.rowWorkSmall + n.rowWorkLarge;
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
