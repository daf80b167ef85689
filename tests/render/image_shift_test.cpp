#include "render/image_shift.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace vortimax {
namespace {

constexpr int kW = 8;
constexpr int kH = 6;
constexpr int kR = 12; // pixels per row for a width of 8
constexpr std::uint8_t kPadding = 7;

struct Shift {
    int dx;
    int dy;
};
constexpr Shift kShifts[] = {{0, 0},  {2, 1}, {-3, 2}, {1, -2}, {-2, -1}, {2, 0},
                             {-1, 0}, {5, 0}, {0, -4}, {kW, 0}, {0, -kH}};

// Cell (x, y) of the image: value and pixel bytes; the spare value column holds 99 and the
// pixel row padding kPadding.
float valueAt(int x, int y) {
    return x < kW ? static_cast<float>(1 + x + 10 * y) : 99.0f;
}

std::uint8_t byteAt(int x, int y, int b) {
    return x < kW ? static_cast<std::uint8_t>(10 + x + 8 * y + 64 * b) : kPadding;
}

template <typename T, typename Cell> std::vector<T> image(int stride, int bytes, Cell cell) {
    std::vector<T> data(stride * kH * bytes);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < stride; ++x)
            for (int b = 0; b < bytes; ++b)
                data[(y * stride + x) * bytes + b] = cell(x, y, b);
    return data;
}

std::vector<float> values() {
    return image<float>(kW + 1, 1, [](int x, int y, int) { return valueAt(x, y); });
}

std::vector<std::uint8_t> pixels(int bytes) {
    return image<std::uint8_t>(kR, bytes, byteAt);
}

// What cell (x, y) holds after the shift: the moved cell, or `fill` when uncovered.
template <typename T, typename Cell> T shifted(int x, int y, Shift s, T fill, Cell cell) {
    const int sx = x - s.dx, sy = y - s.dy;
    return sx >= 0 && sx < kW && sy >= 0 && sy < kH ? cell(sx, sy) : fill;
}

TEST(ImageShift, ValueBufferMovesCellsAndClearsStripsAndSpareColumn) {
    for (const Shift s : kShifts) {
        std::vector<float> data = values();
        ASSERT_TRUE(shiftValueBuffer(data, kW, kH, s.dx, s.dy));
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x <= kW; ++x)
                EXPECT_EQ(data[y * (kW + 1) + x], x == kW ? 0.0f : shifted(x, y, s, 0.0f, valueAt))
                    << s.dx << "," << s.dy << " at " << x << "," << y;
    }
}

TEST(ImageShift, PixelBuffersMoveAndFillWithBackgroundKeepingPadding) {
    for (const int bytes : {1, 3}) {
        const std::uint8_t fill = bytes == 1 ? kBackgroundPaletteIndex : 0;
        for (const Shift s : kShifts) {
            std::vector<std::uint8_t> data = pixels(bytes);
            ASSERT_TRUE(bytes == 1 ? shiftPixels8(data, kW, kH, s.dx, s.dy)
                                   : shiftPixels24(data, kW, kH, s.dx, s.dy));
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kR; ++x)
                    for (int b = 0; b < bytes; ++b) {
                        const auto cell = [b](int cx, int cy) { return byteAt(cx, cy, b); };
                        EXPECT_EQ(data[(y * kR + x) * bytes + b],
                                  x < kW ? shifted(x, y, s, fill, cell) : kPadding)
                            << bytes << ": " << s.dx << "," << s.dy << " at " << x << "," << y;
                    }
        }
    }
}

TEST(ImageShift, BadSizesLeaveBuffersUntouched) {
    EXPECT_EQ(pixelRowLength(320), 324);
    EXPECT_EQ(pixelBuffer24Bytes(kW, kH), 3 * kR * kH);
    std::vector<float> data = values();
    EXPECT_FALSE(shiftValueBuffer(std::span(data).first(data.size() - 1), kW, kH, 1, 1));
    EXPECT_FALSE(shiftValueBuffer(data, -1, kH, 1, 1));
    EXPECT_FALSE(shiftValueBuffer(data, kW, -1, 1, 1));
    EXPECT_EQ(data, values());
    std::vector<std::uint8_t> bytes = pixels(3);
    EXPECT_FALSE(shiftPixels24(std::span(bytes).first(bytes.size() - 1), kW, kH, 1, 1));
    EXPECT_FALSE(shiftPixels8(bytes, kW, INT_MAX, 1, 1));
    EXPECT_EQ(bytes, pixels(3));
    std::vector<float> none;
    EXPECT_TRUE(shiftValueBuffer(none, 0, 0, 3, 3));
    ASSERT_TRUE(shiftValueBuffer(data, kW, kH, INT_MIN, INT_MAX));
    EXPECT_EQ(std::count(data.begin(), data.end(), 0.0f), (kW + 1) * kH);
}

TEST(MoveBuffers, FarMovesClearEverything) {
    EXPECT_FALSE(moveClearsEverything(100, 80, 89, -69));
    EXPECT_FALSE(moveClearsEverything(100, 80, -89, 69));
    for (const Shift s : {Shift{90, 0}, Shift{-90, 0}, Shift{0, 70}, Shift{0, -70}, {INT_MIN, 0}})
        EXPECT_TRUE(moveClearsEverything(100, 80, s.dx, s.dy));
    EXPECT_TRUE(moveClearsEverything(kW, kH, 0, 0)); // smaller than the margin
}

TEST(MoveBuffers, ShiftsClearsOrRejectsAllBuffersTogether) {
    std::vector<float> first = values(), second = values();
    std::vector<std::uint8_t> bytes8 = pixels(1), bytes24 = pixels(3);
    const std::span<float> valueSpans[] = {first, second};
    // An 8 x 6 image is within the margin of any move: everything is cleared.
    EXPECT_EQ(moveImageBuffers({valueSpans, bytes8, bytes24}, kW, kH, 1, 0),
              BufferMoveResult::Cleared);
    EXPECT_EQ(std::count(second.begin(), second.end(), 0.0f), (kW + 1) * kH);
    EXPECT_EQ(std::count(bytes8.begin(), bytes8.end(), kBackgroundPaletteIndex), kR * kH);
    EXPECT_EQ(std::count(bytes24.begin(), bytes24.end(), 0), 3 * kR * kH);

    // A 40 x 30 image shifts.
    std::vector<float> big(41 * 30, 1.0f);
    std::vector<std::uint8_t> big8(44 * 30, 5);
    const std::span<float> bigSpans[] = {big};
    EXPECT_EQ(moveImageBuffers({bigSpans, big8, {}}, 40, 30, 2, 0), BufferMoveResult::Shifted);
    EXPECT_EQ(big[1], 0.0f);
    EXPECT_EQ(big[2], 1.0f);
    EXPECT_EQ(big8[1], kBackgroundPaletteIndex);
    EXPECT_EQ(big8[2], 5);

    // One buffer too small: none is touched.
    std::vector<std::uint8_t> small(3 * 44 * 30 - 1, 5);
    const std::vector<float> bigBefore = big;
    EXPECT_EQ(moveImageBuffers({bigSpans, {}, small}, 40, 30, 2, 0), BufferMoveResult::Rejected);
    EXPECT_EQ(big, bigBefore);
}

TEST(RestartPasses, CountsCalculatedPixelsAndPicksThePassCount) {
    std::vector<float> data((kW + 1) * kH, 0.0f);
    for (int y = 0; y < kH; ++y)
        data[y * (kW + 1) + kW] = 1.0f; // the spare column does not count
    data[0] = -1.0f;
    data[kW + 1 + 3] = 2.5f;
    EXPECT_EQ(countCalculated(data, kW, kH), 2);
    EXPECT_EQ(countCalculated(std::span(data).first(10), kW, kH), 0);

    const struct {
        std::int64_t calculated, total;
        int passes;
    } cases[] = {
        {0, 1300, 4},    {99, 1300, 4},  {100, 1300, 3}, // 1300 / 13 = 100
        {185, 1300, 3},  {186, 1300, 2},                 // 1300 / 7 = 185.7
        {433, 1300, 2},  {434, 1300, 1},                 // 1300 / 3 = 433.3
        {1300, 1300, 1}, {2, 27, 4},     {3, 27, 3},     // 27 / 13 = 2.08
        {0, 0, 1},       {-5, 13, 4},    {0, -13, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(restartPassCount(c.calculated, c.total), c.passes)
            << c.calculated << " of " << c.total;
}

} // namespace
} // namespace vortimax
