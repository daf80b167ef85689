#include "render/area/image_shift.h"

#include <algorithm>
#include <cstdlib>

namespace vortimax {

namespace {

// Cells of a buffer: each row holds `columns` cells of `cellSize` elements, rows start
// `rowStride` elements apart.
struct GridLayout {
    std::int64_t rowStride;
    std::int64_t columns;
    std::int64_t rows;
    std::int64_t cellSize;
};

// Writes one row shifted by dx cells from `source` (which may be the row itself).
template <typename T>
void shiftRow(T* row, const T* source, const GridLayout& grid, std::int64_t dx, T fill) {
    const std::int64_t size = grid.cellSize;
    const std::int64_t kept = grid.columns - std::abs(dx);
    if (dx >= 0) {
        std::copy_backward(source, source + kept * size, row + grid.columns * size);
        std::fill_n(row, dx * size, fill);
    } else {
        std::copy(source - dx * size, source + grid.columns * size, row);
        std::fill_n(row + kept * size, -dx * size, fill);
    }
}

// Moves every cell by dx columns and dy rows and fills the uncovered cells. Rows are visited
// so that each source row is read before it is overwritten.
template <typename T>
void shiftGrid(std::span<T> data, const GridLayout& grid, std::int64_t dx, std::int64_t dy,
               T fill) {
    const bool allUncovered = std::abs(dx) >= grid.columns;
    for (std::int64_t i = 0; i < grid.rows; ++i) {
        const std::int64_t y = dy > 0 ? grid.rows - 1 - i : i;
        const std::int64_t sourceY = y - dy;
        T* row = data.data() + y * grid.rowStride;
        if (allUncovered || sourceY < 0 || sourceY >= grid.rows)
            std::fill_n(row, grid.columns * grid.cellSize, fill);
        else
            shiftRow(row, data.data() + sourceY * grid.rowStride, grid, dx, fill);
    }
}

bool validSize(int width, int height) {
    return width >= 0 && height >= 0;
}

GridLayout valueLayout(int width, int height) {
    return {std::int64_t{width} + 1, width, height, 1};
}

GridLayout pixelLayout(int width, int height, std::int64_t bytesPerPixel) {
    return {pixelRowLength(width) * bytesPerPixel, width, height, bytesPerPixel};
}

template <typename T> bool fits(std::span<T> buffer, std::int64_t needed) {
    return static_cast<std::int64_t>(buffer.size()) >= needed;
}

// An absent (empty) buffer always fits.
template <typename T> bool fitsOrAbsent(std::span<T> buffer, std::int64_t needed) {
    return buffer.empty() || fits(buffer, needed);
}

void shiftValuesUnchecked(std::span<float> values, int width, int height, int dx, int dy) {
    const GridLayout grid = valueLayout(width, height);
    shiftGrid(values, grid, dx, dy, kUncalculatedValue);
    for (std::int64_t y = 0; y < height; ++y)
        values[static_cast<std::size_t>(y * grid.rowStride + width)] = kUncalculatedValue;
}

template <typename T> void fillPrefix(std::span<T> buffer, std::int64_t count, T fill) {
    std::fill_n(buffer.begin(), count, fill);
}

bool buffersFit(const MovedBuffers& buffers, int width, int height) {
    if (!validSize(width, height))
        return false;
    const std::int64_t cells = valueBufferCells(width, height);
    const bool valuesFit = std::all_of(buffers.values.begin(), buffers.values.end(),
                                       [cells](std::span<float> v) { return fits(v, cells); });
    return valuesFit && fitsOrAbsent(buffers.pixels8, pixelBuffer8Bytes(width, height)) &&
           fitsOrAbsent(buffers.pixels24, pixelBuffer24Bytes(width, height));
}

void clearBuffers(const MovedBuffers& buffers, int width, int height) {
    for (std::span<float> values : buffers.values)
        fillPrefix(values, valueBufferCells(width, height), kUncalculatedValue);
    if (!buffers.pixels8.empty())
        fillPrefix(buffers.pixels8, pixelBuffer8Bytes(width, height), kBackgroundPaletteIndex);
    if (!buffers.pixels24.empty())
        fillPrefix(buffers.pixels24, pixelBuffer24Bytes(width, height), std::uint8_t{0});
}

void shiftBuffers(const MovedBuffers& buffers, int width, int height, int dx, int dy) {
    for (std::span<float> values : buffers.values)
        shiftValuesUnchecked(values, width, height, dx, dy);
    if (!buffers.pixels8.empty())
        shiftGrid(buffers.pixels8, pixelLayout(width, height, 1), dx, dy, kBackgroundPaletteIndex);
    if (!buffers.pixels24.empty())
        shiftGrid(buffers.pixels24, pixelLayout(width, height, 3), dx, dy, std::uint8_t{0});
}

// Fewer calculated pixels than total / divisor give this many passes; checked in order.
struct PassRule {
    std::int64_t divisor;
    int passes;
};
constexpr PassRule kPassRules[] = {{13, 4}, {7, 3}, {3, 2}};

// calculated < total / divisor, exactly: for integers k < n / d holds when k < ceil(n / d).
bool belowShare(std::int64_t calculated, std::int64_t total, std::int64_t divisor) {
    const std::int64_t ceiling = total / divisor + (total % divisor != 0 ? 1 : 0);
    return calculated < ceiling;
}

} // namespace

std::int64_t pixelRowLength(int width) {
    return (std::int64_t{width} + 4) / 4 * 4;
}

std::int64_t valueBufferCells(int width, int height) {
    return validSize(width, height) ? (std::int64_t{width} + 1) * height : 0;
}

std::int64_t pixelBuffer8Bytes(int width, int height) {
    return validSize(width, height) ? pixelRowLength(width) * height : 0;
}

std::int64_t pixelBuffer24Bytes(int width, int height) {
    return 3 * pixelBuffer8Bytes(width, height);
}

bool moveClearsEverything(int width, int height, int dx, int dy) {
    return std::abs(std::int64_t{dx}) >= std::int64_t{width} - 10 ||
           std::abs(std::int64_t{dy}) >= std::int64_t{height} - 10;
}

bool shiftValueBuffer(std::span<float> values, int width, int height, int dx, int dy) {
    if (!validSize(width, height) || !fits(values, valueBufferCells(width, height)))
        return false;
    shiftValuesUnchecked(values, width, height, dx, dy);
    return true;
}

bool shiftPixels8(std::span<std::uint8_t> pixels, int width, int height, int dx, int dy) {
    if (!validSize(width, height) || !fits(pixels, pixelBuffer8Bytes(width, height)))
        return false;
    shiftGrid(pixels, pixelLayout(width, height, 1), dx, dy, kBackgroundPaletteIndex);
    return true;
}

bool shiftPixels24(std::span<std::uint8_t> pixels, int width, int height, int dx, int dy) {
    if (!validSize(width, height) || !fits(pixels, pixelBuffer24Bytes(width, height)))
        return false;
    shiftGrid(pixels, pixelLayout(width, height, 3), dx, dy, std::uint8_t{0});
    return true;
}

BufferMoveResult moveImageBuffers(const MovedBuffers& buffers, int width, int height, int dx,
                                  int dy) {
    if (!buffersFit(buffers, width, height))
        return BufferMoveResult::Rejected;
    if (moveClearsEverything(width, height, dx, dy)) {
        clearBuffers(buffers, width, height);
        return BufferMoveResult::Cleared;
    }
    shiftBuffers(buffers, width, height, dx, dy);
    return BufferMoveResult::Shifted;
}

std::int64_t countCalculated(std::span<const float> values, int width, int height) {
    if (!validSize(width, height) || !fits(values, valueBufferCells(width, height)))
        return 0;
    std::int64_t count = 0;
    for (std::int64_t y = 0; y < height; ++y) {
        const auto row = values.subspan(static_cast<std::size_t>(y * (std::int64_t{width} + 1)),
                                        static_cast<std::size_t>(width));
        count += std::count_if(row.begin(), row.end(), [](float v) { return v != 0.0f; });
    }
    return count;
}

int restartPassCount(std::int64_t calculated, std::int64_t total) {
    calculated = std::max<std::int64_t>(calculated, 0);
    total = std::max<std::int64_t>(total, 0);
    for (const PassRule& rule : kPassRules) {
        if (belowShare(calculated, total, rule.divisor))
            return rule.passes;
    }
    return 1;
}

} // namespace vortimax
