#include "palette/palette.h"

#include <gtest/gtest.h>
#include <limits>

using namespace vortimax;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Palette, EmptyAndDefaultPalettes) {
    Palette empty;
    EXPECT_EQ(empty.name(), "empty palette");
    EXPECT_EQ(empty.entries()[200], (ColourEntry{0, 0, 0, 1}));
    Palette palette(defaultPaletteColours());
    EXPECT_EQ(palette.name(), "Palette");
    for (std::size_t i = 0; i < kPaletteEntries; ++i) {
        ASSERT_EQ(palette.entries()[i].flag, 1) << i;
        ASSERT_EQ(palette.knotKey(i), 7) << i;
        ASSERT_EQ(empty.knotKey(i), 7) << i;
    }
    struct Spot {
        std::size_t index;
        Rgb rgb;
        HsvEntry hsv;
    };
    // Across the table: a red = green tie (10), a hue counting down from red (51) and
    // one counting up from blue (113).
    const Spot spots[] = {
        {0, {150, 150, 150}, {0, 0, 150}},     {10, {216, 216, 252}, {240, 36, 252}},
        {51, {208, 0, 44}, {348, 255, 208}},   {113, {76, 4, 84}, {294, 242, 84}},
        {145, {0, 200, 200}, {180, 255, 200}}, {251, {172, 100, 100}, {0, 106, 172}},
        {255, {140, 140, 140}, {0, 0, 140}},
    };
    for (const Spot& spot : spots) {
        EXPECT_EQ(palette.colour(spot.index), spot.rgb) << spot.index;
        EXPECT_EQ(palette.hsv()[spot.index], spot.hsv) << spot.index;
    }
}

TEST(Palette, KnotKeysAreRedGreenBlueBits) {
    Palette palette;
    palette.setKnotKey(3, 5);
    EXPECT_TRUE(palette.isKnot(Channel::Red, 3));
    EXPECT_FALSE(palette.isKnot(Channel::Green, 3));
    EXPECT_TRUE(palette.isKnot(Channel::Blue, 3));
    palette.setKnotKey(3, 8); // only the low three bits count
    EXPECT_EQ(palette.knotKey(3), 0);
}

TEST(DisplayForm, RotatesByTheRoundedOffsetWithFixedEntriesBehind) {
    Palette palette; // entry i is (i, 0, 0)
    for (std::size_t i = 0; i < kPaletteColours; ++i)
        palette.setColour(i, {static_cast<int>(i), 0, 0});
    struct Case {
        double offset;
        std::size_t shift;
    };
    // 1e300 as a double is an integer whose remainder by 252 is 36.
    const Case cases[] = {{0.0, 0},    {3.6, 4},   {3.4, 3},  {-1.0, 251},
                          {257.0, 5},  {251.5, 0}, {-0.4, 0}, {-252002.0, 250},
                          {1e300, 36}, {kNaN, 0},  {kInf, 0}, {-kInf, 0}};
    for (const Case& c : cases) {
        const ColourTable table = displayForm(palette, c.offset);
        for (std::size_t i = 0; i < kPaletteColours; ++i) {
            const std::size_t at = (c.shift + i) % kPaletteColours;
            ASSERT_EQ(table.entries[at], (ColourEntry{0, 0, static_cast<std::uint8_t>(i), 1}))
                << "offset " << c.offset << " entry " << i;
            ASSERT_EQ(table.hsv[at], palette.hsv()[i]);
        }
        EXPECT_EQ(table.entries[252], (ColourEntry{0, 0, 0, 0}));
        EXPECT_EQ(table.entries[253], (ColourEntry{255, 255, 255, 0}));
        EXPECT_EQ(table.entries[254], (ColourEntry{127, 127, 127, 0}));
        EXPECT_EQ(table.hsv[252], (HsvEntry{0, 0, 0}));
        EXPECT_EQ(table.hsv[253], (HsvEntry{0, 0, 255}));
        EXPECT_EQ(table.hsv[254], (HsvEntry{0, 0, 127}));
        EXPECT_EQ(table.entries[255], ColourEntry{});
    }
}

TEST(ColourAt, InterpolatesInHsvBetweenNeighbours) {
    Palette palette;
    palette.setColour(0, {200, 0, 0});
    palette.setColour(1, {200, 0, 0});
    palette.setColour(2, {200, 200, 0});
    palette.setColour(251, {0, 0, 200});
    EXPECT_EQ(colourAt(palette, 1.0), (Rgb{200, 0, 0}));
    for (double p : {1.5, 253.5, -250.5, 252.0 * 1e6 + 1.5}) // hue 30, half way
        EXPECT_EQ(colourAt(palette, p), (Rgb{200, 100, 0})) << p;
    // 251 is followed by 0; blue (240) to red (0) goes the short way, through magenta.
    EXPECT_EQ(colourAt(palette, 251.5), (Rgb{200, 0, 200}));
    EXPECT_EQ(colourAt(palette, -0.5), (Rgb{200, 0, 200}));
    // Not-finite positions count as 0; a tiny negative one never lands on 252 itself.
    for (double p : {kNaN, kInf, -kInf, -1e-300})
        EXPECT_EQ(colourAt(palette, p), (Rgb{200, 0, 0})) << p;
}

} // namespace
