#pragma once

#include <cstdint>
#include <span>

namespace vortimax {

// Moving an image by dx columns to the right and dy rows up keeps what stays visible and
// marks the uncovered strips as not yet calculated, so that only they are computed again.
// Every buffer has its rows bottom-up (row 0 is the bottom row).
//
// Value buffers hold one float per pixel with a row stride of width + 1. The spare last
// column of every row is cleared by a shift: it is calculated with the uncovered strips.
// Pixel buffers hold rows of pixelRowLength(width) pixels, 1 byte (palette index) or
// 3 bytes (blue, green, red) each; only the first width pixels of a row are shifted and the
// row padding is left alone.

// The value of a pixel that is not yet calculated.
inline constexpr float kUncalculatedValue = 0.0f;
// Palette index of the background in 8-bit pixel buffers (black).
inline constexpr std::uint8_t kBackgroundPaletteIndex = 252;

// Pixels per row of a pixel buffer: the next multiple of 4 above the width.
std::int64_t pixelRowLength(int width);

// Sizes a buffer needs (0 for a negative width or height).
std::int64_t valueBufferCells(int width, int height);
std::int64_t pixelBuffer8Bytes(int width, int height);
std::int64_t pixelBuffer24Bytes(int width, int height);

// A move this far keeps too little of the image to be worth shifting: everything is cleared.
bool moveClearsEverything(int width, int height, int dx, int dy);

// Each shift returns false and leaves the buffer untouched when the width or height is
// negative or the buffer is smaller than the size above.
bool shiftValueBuffer(std::span<float> values, int width, int height, int dx, int dy);
bool shiftPixels8(std::span<std::uint8_t> pixels, int width, int height, int dx, int dy);
bool shiftPixels24(std::span<std::uint8_t> pixels, int width, int height, int dx, int dy);

// The buffers of one image; empty spans are absent buffers.
struct MovedBuffers {
    std::span<const std::span<float>> values;
    std::span<std::uint8_t> pixels8;
    std::span<std::uint8_t> pixels24;
};

enum class BufferMoveResult {
    Shifted,  // the buffers were shifted
    Cleared,  // the move was too far: every cell was cleared
    Rejected, // a size did not fit: nothing was changed
};

// Shifts every buffer, or clears them all when moveClearsEverything says so.
BufferMoveResult moveImageBuffers(const MovedBuffers& buffers, int width, int height, int dx,
                                  int dy);

// Pixels of the width x height image (spare column excluded) whose value is calculated.
std::int64_t countCalculated(std::span<const float> values, int width, int height);

// Passes for the calculation that follows a move, from the number of pixels that still hold
// a value out of all pixels: the fewer are left, the coarser the first pass.
int restartPassCount(std::int64_t calculated, std::int64_t total);

} // namespace vortimax
