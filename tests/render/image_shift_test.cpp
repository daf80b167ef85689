#include "render/area/image_shift.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace vortimax {
namespace {

constexpr int kW = 8;
constexpr int kH = 6;
constexpr int kR = 12; // pixels per row: the next multiple of 4 above the width
constexpr std::uint8_t kPadding = 7;

// Element b of cell (x, y): distinct non-zero values; past the width the spare value
// column and the pixel row padding hold kPadding.
template <typename T> T valueAt(int x, int y, int b) {
    return static_cast<T>(x < kW ? 10 + x + 8 * y + 64 * b : kPadding);
}

template <typename T> std::vector<T> image(int stride, int bytes) {
    std::vector<T> data(stride * kH * bytes);
    for (int i = 0; i < std::ssize(data); ++i)
        data[i] = valueAt<T>(i / bytes % stride, i / bytes / stride, i % bytes);
    return data;
}

// Every cell must hold the cell dx columns left and dy rows below it, or `fill` where that
// lies outside; past the width the spare value column is cleared and row padding kept.
template <typename T, typename Shift>
void expectShifts(Shift shift, int stride, int bytes, T fill, T beyondWidth) {
    const int shifts[][2] = {{0, 0},  {2, 1}, {-3, 2}, {1, -2}, {-2, -1}, {2, 0},
                             {-1, 0}, {5, 0}, {0, -4}, {kW, 0}, {0, -kH}};
    for (const auto& [dx, dy] : shifts) {
        std::vector<T> data = image<T>(stride, bytes);
        ASSERT_TRUE(shift(data, kW, kH, dx, dy));
        for (int i = 0; i < std::ssize(data); ++i) {
            const int x = i / bytes % stride, y = i / bytes / stride, sx = x - dx, sy = y - dy;
            const bool kept = sx >= 0 && sx < kW && sy >= 0 && sy < kH;
            const T moved = kept ? valueAt<T>(sx, sy, i % bytes) : fill;
            EXPECT_EQ(data[i], x >= kW ? beyondWidth : moved)
                << bytes << ": " << dx << "," << dy << " at " << x << "," << y;
        }
    }
}

TEST(ImageShift, CellsMoveAndUncoveredStripsAreFilled) {
    expectShifts<float>(shiftValueBuffer, kW + 1, 1, 0.0f, 0.0f);
    expectShifts<std::uint8_t>(shiftPixels8, kR, 1, kBackgroundPaletteIndex, kPadding);
    expectShifts<std::uint8_t>(shiftPixels24, kR, 3, 0, kPadding);
}

TEST(ImageShift, BadSizesLeaveBuffersUntouched) {
    std::vector<float> data = image<float>(kW + 1, 1);
    std::vector<std::uint8_t> bytes = image<std::uint8_t>(kR, 3);
    for (const auto& [w, h] : {std::pair{-1, kH}, {kW, -1}, {kW, INT_MAX}}) {
        EXPECT_FALSE(shiftValueBuffer(data, w, h, 1, 1));
        EXPECT_FALSE(shiftPixels8(bytes, w, h, 1, 1));
        EXPECT_FALSE(shiftPixels24(bytes, w, h, 1, 1));
    }
    EXPECT_FALSE(shiftValueBuffer(std::span(data).first(data.size() - 1), kW, kH, 1, 1));
    EXPECT_FALSE(shiftPixels24(std::span(bytes).first(bytes.size() - 1), kW, kH, 1, 1));
    EXPECT_EQ(data, image<float>(kW + 1, 1));
    EXPECT_EQ(bytes, image<std::uint8_t>(kR, 3));
    EXPECT_TRUE(shiftValueBuffer({}, 0, 0, 3, 3));
    ASSERT_TRUE(shiftValueBuffer(data, kW, kH, INT_MIN, INT_MAX));
    EXPECT_EQ(std::count(data.begin(), data.end(), 0.0f), (kW + 1) * kH);
}

TEST(MoveBuffers, FarMovesClearEverything) {
    // dx, dy, whether a 100 x 80 image is cleared: the margin is 10 pixels.
    const int cases[][3] = {{89, -69, 0}, {-89, 69, 0}, {90, 0, 1},     {-90, 0, 1},
                            {0, 70, 1},   {0, -70, 1},  {INT_MIN, 0, 1}};
    for (const auto& [dx, dy, clears] : cases)
        EXPECT_EQ(moveClearsEverything(100, 80, dx, dy), clears == 1) << dx << "," << dy;
}

TEST(MoveBuffers, ShiftsClearsOrRejectsAllBuffersTogether) {
    std::vector<float> first = image<float>(kW + 1, 1), second = first;
    auto bytes8 = image<std::uint8_t>(kR, 1), bytes24 = image<std::uint8_t>(kR, 3);
    const std::span<float> valueSpans[] = {first, second};
    // An 8 x 6 image is smaller than the margin: any move clears everything.
    EXPECT_EQ(moveImageBuffers({valueSpans, bytes8, bytes24}, kW, kH, 1, 0),
              BufferMoveResult::Cleared);
    EXPECT_EQ(std::count(second.begin(), second.end(), 0.0f), (kW + 1) * kH);
    EXPECT_EQ(std::count(bytes8.begin(), bytes8.end(), kBackgroundPaletteIndex), kR * kH);
    EXPECT_EQ(std::count(bytes24.begin(), bytes24.end(), 0), 3 * kR * kH);

    // A 40 x 30 image shifts; with one buffer too small none is touched.
    std::vector<float> big(41 * 30, 1.0f);
    std::vector<std::uint8_t> big8(44 * 30, 5), small(3 * 44 * 30 - 1, 5);
    const std::span<float> bigSpans[] = {big};
    EXPECT_EQ(moveImageBuffers({bigSpans, big8, {}}, 40, 30, 2, 0), BufferMoveResult::Shifted);
    EXPECT_EQ((std::vector<float>(big.begin(), big.begin() + 3)), (std::vector{0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(big8[1], kBackgroundPaletteIndex);
    EXPECT_EQ(big8[2], 5);
    const std::vector<float> bigBefore = big;
    const std::span<float> shortSpans[] = {big, std::span(big).first(big.size() - 1)};
    EXPECT_EQ(moveImageBuffers({bigSpans, {}, small}, 40, 30, 2, 0), BufferMoveResult::Rejected);
    EXPECT_EQ(moveImageBuffers({shortSpans, big8, {}}, 40, 30, 2, 0), BufferMoveResult::Rejected);
    EXPECT_EQ(big, bigBefore);
}

TEST(RestartPasses, CountsCalculatedPixelsAndPicksThePassCount) {
    std::vector<float> data = image<float>(kW + 1, 1); // the spare column does not count
    data[0] = -1.0f;
    data[kW + 1 + 3] = 0.0f;
    EXPECT_EQ(countCalculated(data, kW, kH), kW * kH - 1);
    EXPECT_EQ(countCalculated(std::span(data).first(10), kW, kH), 0);
    // Thresholds at total / 13, / 7 and / 3 (1300: 100, 185.7, 433.3; 27: 2.08).
    const std::int64_t cases[][3] = {{99, 1300, 4},  {100, 1300, 3}, {185, 1300, 3}, {186, 1300, 2},
                                     {433, 1300, 2}, {434, 1300, 1}, {2, 27, 4},     {3, 27, 3},
                                     {-5, 0, 1},     {-5, 13, 4},    {-5, -13, 1}};
    for (const auto& [calculated, total, passes] : cases)
        EXPECT_EQ(restartPassCount(calculated, total), passes) << calculated << " of " << total;
}

} // namespace
} // namespace vortimax
