#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vortimax {

// What decides which buffers a view needs.
struct BufferLayout {
    int width = 0;
    int height = 0;
    int displayDepth = 8; // 8: palette indices, 24: blue, green, red bytes
    bool trueColourOn8Bit = false;
    bool tierazon = false; // types 11 and 12 keep two more value buffers
    bool dims = false;     // 3D transformation on
    int screenDepth = 24;
};

// The image buffers of one open fractal. Rows are bottom-up everywhere (row 0 is the
// bottom row).
struct ImageBuffers {
    int width = 0;
    int height = 0;
    int rowLength = 0;     // R: pixels per bitmap row, the next multiple of 4 above the width
    int bytesPerPixel = 1; // of the pixel buffer

    // One float per pixel, row stride width + 1; 0.0 means not yet calculated.
    std::vector<float> values;
    std::vector<float> tierazon1;
    std::vector<float> tierazon2;
    std::vector<std::uint32_t> heightField; // 3D only, (width + 1) x height
    std::vector<std::uint8_t> pixels;       // rowLength x height x bytesPerPixel
    std::vector<std::uint8_t> screen;       // 8-bit copy of a 24-bit image on an 8-bit screen
    std::vector<std::uint8_t> image3D;      // RGB, rowLength x height x 3
    std::vector<std::uint8_t> image3D8;     // 8-bit copy of the 3D image on an 8-bit screen
    std::vector<std::uint8_t> rowWorkSmall; // height x 4 bytes
    std::vector<std::uint8_t> rowWorkLarge; // height x 20 bytes
    std::vector<std::uint8_t> ditherRows;   // dithering error rows (true colour on 8 bit)

    int valueStride() const { return width + 1; }
    float& value(int x, int y) { return values[static_cast<std::size_t>(y) * valueStride() + x]; }
    float value(int x, int y) const {
        return values[static_cast<std::size_t>(y) * valueStride() + x];
    }
    std::uint8_t* pixelRow(int y) {
        return pixels.data() + static_cast<std::size_t>(y) * rowLength * bytesPerPixel;
    }
    bool has3D() const { return !image3D.empty(); }

    // Sets every value cell (and the Tierazon cells) back to "not calculated".
    void clearValues();
    // Clears the 3D image and its 8-bit copy.
    void clear3D();
};

// Bitmap row length for an image width: 324 for 320.
constexpr int bitmapRowLength(int width) {
    return ((width + 4) / 4) * 4;
}

// Largest width or height a view accepts; larger sizes are refused like a failed
// allocation rather than overflowing the size arithmetic.
constexpr int kMaxImageSide = 32768;

// The bytes allocateBuffers takes for the layout (a positive, allowed size).
std::size_t bufferBytes(const BufferLayout& layout);

// Allocates every buffer the layout needs (an 8-bit pixel buffer starts filled with
// palette index 252). Returns false, with `buffers` left empty, when memory is short or
// the size is not allowed.
bool allocateBuffers(const BufferLayout& layout, ImageBuffers& buffers);

} // namespace vortimax
