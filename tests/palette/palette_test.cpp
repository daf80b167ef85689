#include "palette/palette.h"

#include <gtest/gtest.h>
#include <limits>
#include <tuple>
#include <vector>

using namespace vortimax;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Palette, DefaultColoursFlagsAndKnots) {
    const Palette palette(defaultPaletteColours());
    EXPECT_EQ(palette.name(), "Palette");
    for (std::size_t i = 0; i < kPaletteEntries; ++i)
        ASSERT_TRUE(palette.entries()[i].flag == 1 && palette.knotKey(i) == 7) << i;
    // A red = green tie (10), a hue counting down from red (51), one up from blue (113).
    const std::tuple<std::size_t, Rgb, HsvEntry> spots[] = {{10, {216, 216, 252}, {240, 36, 252}},
                                                            {51, {208, 0, 44}, {348, 255, 208}},
                                                            {113, {76, 4, 84}, {294, 242, 84}},
                                                            {255, {140, 140, 140}, {0, 0, 140}}};
    for (const auto& [index, rgb, hsv] : spots)
        EXPECT_EQ(std::pair(palette.colour(index), palette.hsv()[index]), std::pair(rgb, hsv))
            << index;
    Palette empty;
    empty.setKnotKey(3, 13); // 4 red, 2 green, 1 blue; only the low three bits count
    EXPECT_EQ(empty.name(), "empty palette");
    EXPECT_TRUE(empty.isKnot(Channel::Red, 3) && empty.isKnot(Channel::Blue, 3));
    EXPECT_FALSE(empty.isKnot(Channel::Green, 3));
}

TEST(DisplayForm, RotatesByTheRoundedOffsetWithFixedEntriesBehind) {
    Palette palette; // entry i is (i, 0, 0)
    for (std::size_t i = 0; i < kPaletteColours; ++i)
        palette.setColour(i, {static_cast<int>(i), 0, 0});
    // 1e300 as a double is an integer whose remainder by 252 is 36.
    const std::pair<double, std::size_t> cases[] = {
        {3.6, 4},         {3.4, 3},    {-1.0, 251}, {257.0, 5}, {251.5, 0}, {-0.4, 0},
        {-252002.0, 250}, {1e300, 36}, {kNaN, 0},   {kInf, 0},  {-kInf, 0}};
    const std::vector<ColourEntry> fixed{{0, 0, 0, 0}, {255, 255, 255, 0}, {127, 127, 127, 0}, {}};
    for (const auto& [offset, shift] : cases) {
        const ColourTable table = displayForm(palette, offset);
        for (std::size_t i = 0; i < kPaletteColours; ++i) {
            const std::size_t at = (shift + i) % kPaletteColours;
            ASSERT_EQ(table.entries[at], (ColourEntry{0, 0, static_cast<std::uint8_t>(i), 1}))
                << "offset " << offset << " entry " << i;
            ASSERT_EQ(table.hsv[at], palette.hsv()[i]);
        }
        EXPECT_EQ(std::vector(table.entries.begin() + 252, table.entries.end()), fixed);
        EXPECT_EQ(std::vector(table.hsv.begin() + 252, table.hsv.end() - 1),
                  (std::vector<HsvEntry>{{0, 0, 0}, {0, 0, 255}, {0, 0, 127}}));
    }
}

TEST(ColourAt, InterpolatesInHsvBetweenNeighbours) {
    Palette palette;
    palette.setColour(0, {200, 0, 0});
    palette.setColour(1, {200, 0, 0});
    palette.setColour(2, {200, 200, 0});
    palette.setColour(251, {0, 0, 200});
    // Half way from red to yellow is hue 30; 251 is followed by 0, and blue (240) to red
    // goes the short way, through magenta. Not-finite positions count as 0; a tiny
    // negative one never lands on 252 itself.
    const std::pair<double, Rgb> cases[] = {
        {1.0, {200, 0, 0}},      {1.5, {200, 100, 0}},         {253.5, {200, 100, 0}},
        {-250.5, {200, 100, 0}}, {252e6 + 1.5, {200, 100, 0}}, {251.5, {200, 0, 200}},
        {-0.5, {200, 0, 200}},   {kNaN, {200, 0, 0}},          {kInf, {200, 0, 0}},
        {-kInf, {200, 0, 0}},    {-1e-300, {200, 0, 0}}};
    for (const auto& [position, rgb] : cases)
        EXPECT_EQ(colourAt(palette, position), rgb) << position;
}

} // namespace
