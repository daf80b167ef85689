#include "render/colour/dither.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace vortimax {
namespace {

constexpr int kWidth = 16;
using enum DitherFlow;

TEST(DitherTest, FixedPaletteAndNearestColours) {
    // clang-format off
    const std::pair<int, DitherColour> entries[] = {
        {0, {0, 0, 0}}, {1, {0, 0, 51}}, {6, {0, 51, 0}}, {36, {51, 0, 0}}, {101, {102, 204, 255}},
        {215, {255, 255, 255}}, {216, {25, 25, 25}}, {220, {229, 229, 229}}, {221, {0, 25, 0}},
        {225, {0, 229, 0}}, {226, {25, 0, 0}}, {230, {229, 0, 0}}, {231, {0, 0, 25}},
        {235, {0, 0, 229}}, {236, {0, 0, 0}}, {255, {0, 0, 0}}};
    // clang-format on
    const auto& palette = ditherPalette();
    for (const auto& [index, colour] : entries)
        EXPECT_EQ(palette[index], colour) << "entry " << index;
    for (int i = 0; i < 216; ++i)
        EXPECT_EQ(nearestColour(palette[i].red, palette[i].green, palette[i].blue), i) << i;
    EXPECT_EQ(nearestColour(127, 127, 127), 218);
    EXPECT_EQ(nearestColour(200, 10, 90), 36 * 4 + 2); // (204, 0, 102)
    for (int index : nearestColourTable())
        EXPECT_LT(index, 236); // the trailing blacks repeat entry 0
}

std::vector<std::uint8_t> bgrRow(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    std::vector<std::uint8_t> row;
    for (int x = 0; x < kWidth; ++x)
        row.insert(row.end(), {blue, green, red});
    return row;
}

// Dithers the pixels as each of the rows in turn; returns the indices of the last. The
// default grey is far from every palette colour, so that errors change the choices.
using Runs = std::initializer_list<std::pair<int, DitherFlow>>;
std::vector<std::uint8_t> ditherInTurn(Runs runs,
                                       std::vector<std::uint8_t> pixels = bgrRow(38, 38, 38)) {
    std::vector<std::uint8_t> storage, indices(kWidth);
    Ditherer ditherer(storage, kWidth);
    for (const auto& [row, flow] : runs)
        ditherer.ditherRow(pixels.data(), indices.data(), row, flow);
    return indices;
}

// Rows are computed from the middle out: errors pass only to the next row away from it.
TEST(DitherTest, ErrorsFlowAwayFromTheMiddle) {
    EXPECT_EQ(flowForRow(3, 8), Downward);
    EXPECT_EQ(flowForRow(4, 8), Upward);
    EXPECT_EQ(flowForRow(2, 5), Upward);
    const auto fresh = ditherInTurn({{4, Downward}});
    ASSERT_EQ(fresh, ditherInTurn({{4, Upward}}));
    const auto carriedDown = ditherInTurn({{5, Downward}, {4, Downward}});
    EXPECT_NE(carriedDown, fresh);
    EXPECT_EQ(ditherInTurn({{3, Downward}, {4, Downward}}), fresh); // against the flow
    EXPECT_EQ(ditherInTurn({{6, Downward}, {4, Downward}}), fresh); // not a neighbour
    const auto carriedUp = ditherInTurn({{3, Upward}, {4, Upward}});
    EXPECT_EQ(carriedUp, carriedDown);
    EXPECT_EQ(ditherInTurn({{5, Upward}, {4, Upward}}), fresh);
    // The two flows keep their errors apart.
    EXPECT_EQ(ditherInTurn({{5, Downward}, {9, Upward}, {10, Upward}, {4, Downward}}), carriedDown);
    EXPECT_EQ(ditherInTurn({{3, Upward}, {2, Downward}, {4, Upward}}), carriedUp);
    // The error is taken from the channel, not its truncated level: no drift by half a step.
    EXPECT_EQ(ditherInTurn({{3, Downward}, {2, Downward}, {1, Downward}}, bgrRow(153, 102, 51)),
              std::vector<std::uint8_t>(kWidth, 36 + 12 + 3));
}

} // namespace
} // namespace vortimax
