#include "app/scripted_frontend.h"
#include "palette/palette_editing.h"
#include "palette_test_support.h"

#include <gtest/gtest.h>

namespace vortimax {
namespace {

// Red has knots only where given (value = entry's red); green and blue keep all knots.
Palette withRedKnots(std::initializer_list<std::pair<std::size_t, int>> knots) {
    Palette palette = test::greyRamp("Edit");
    for (std::size_t i = 0; i < kPaletteColours; ++i)
        palette.setKnot(Channel::Red, i, false);
    for (auto [entry, value] : knots) {
        Rgb colour = palette.colour(entry);
        colour.red = value;
        palette.setColour(entry, colour);
        palette.setKnot(Channel::Red, entry, true);
    }
    return palette;
}

std::vector<double> positions(const KnotCurve& curve) {
    std::vector<double> xs;
    for (const Knot& knot : curve.knots())
        xs.push_back(knot.x);
    return xs;
}

TEST(PaletteEditingTest, TwoKnotsMakeATriangleRoundThePalette) {
    Palette palette = withRedKnots({{0, 0}, {126, 252}});
    PaletteEditing editing;
    int rebuilds = 0;
    editing.rebuilt = [&] { ++rebuilds; };
    editing.attach(&palette, 0.0);
    ASSERT_TRUE(editing.moveKnot(Channel::Red, 1, 126.0, 252.0)); // rebuilds in place
    EXPECT_EQ(rebuilds, 1);
    for (int i = 0; i <= 126; ++i)
        ASSERT_EQ(palette.colour(static_cast<std::size_t>(i)).red, 2 * i) << i;
    for (int i = 127; i < 252; ++i)
        ASSERT_EQ(palette.colour(static_cast<std::size_t>(i)).red, 252 - 2 * (i - 126)) << i;
    // Green and blue, a knot at every entry, come out as they were.
    EXPECT_EQ(palette.colour(200).green, 200);
}

TEST(PaletteEditingTest, KnotsFollowThePaletteOffset) {
    Palette palette = withRedKnots({{100, 50}});
    PaletteEditing editing;
    editing.attach(&palette, 9.6); // rounds to 10
    EXPECT_EQ(editing.offset(), 10);
    EXPECT_EQ(positions(editing.curve(Channel::Red)), std::vector<double>{110.0});

    ASSERT_EQ(editing.addKnot(Channel::Red, 10.2, 199.7), std::optional<std::size_t>(0));
    EXPECT_TRUE(palette.isKnot(Channel::Red, 0));
    EXPECT_EQ(palette.colour(0).red, 200);
    EXPECT_EQ(editing.colourAtScreen(10.0)->red, 200);
    EXPECT_FALSE(editing.colourAtScreen(260.0).has_value());

    // Moving the knot moves its flag to the entry now under it; the knot stays before
    // its neighbour at 110.
    ASSERT_TRUE(editing.moveKnot(Channel::Red, 0, 140.0, 300.0));
    EXPECT_FALSE(palette.isKnot(Channel::Red, 0));
    EXPECT_TRUE(palette.isKnot(Channel::Red, 109 - 10));
    EXPECT_EQ(positions(editing.curve(Channel::Red)), (std::vector<double>{109.0, 110.0}));
    EXPECT_EQ(editing.curve(Channel::Red)[0].y, 255.0);

    EXPECT_TRUE(editing.deleteKnot(Channel::Red, 0));
    EXPECT_FALSE(palette.isKnot(Channel::Red, 99));
    EXPECT_FALSE(editing.deleteKnot(Channel::Red, 0)); // the last knot stays
    EXPECT_TRUE(palette.isKnot(Channel::Red, 100));
    for (std::size_t i = 0; i < kPaletteColours; ++i)
        ASSERT_EQ(palette.colour(i).red, 50) << i; // one knot: a flat channel

    // An offset of 251.5 shows like 0.
    editing.refill(251.5);
    EXPECT_EQ(editing.offset(), 0);
    EXPECT_EQ(positions(editing.curve(Channel::Red)), std::vector<double>{100.0});
}

TEST(PaletteEditingTest, CleanUpDropsKnotsOnStraightLinesWithoutAsking) {
    // Red rises straight from 0 to 252 at entry 126 and falls back: every knot but the
    // two corners is unnecessary. Green is flat: one knot remains.
    Palette palette = test::greyRamp("Lines");
    for (std::size_t i = 0; i < kPaletteColours; ++i) {
        const int red = i <= 126 ? static_cast<int>(2 * i) : static_cast<int>(504 - 2 * i);
        palette.setColour(i, {red, 40, static_cast<int>(i)});
    }
    PaletteEditing editing;
    editing.attach(&palette, 0.0);
    const Palette before = palette;
    ScriptedFrontend frontend;
    frontend.queueAnswer(MessageAnswer::No);     // red: keep the corners
    frontend.queueAnswer(MessageAnswer::Cancel); // blue's wrap from 251 to 0: stop
    editing.cleanUp(frontend);

    EXPECT_EQ(positions(editing.curve(Channel::Red)), (std::vector<double>{0.0, 126.0}));
    EXPECT_EQ(editing.curve(Channel::Green).size(), 1u);
    EXPECT_TRUE(palette.sameColours(before)); // nothing needed was removed
    const auto boxes = frontend.messageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, kKnotRemovalCaption);
    EXPECT_EQ(boxes[0].text, "Color space: \tRed\nKnot number: \t0\nError made:\t252.000\n"
                             "Error limit: \t4.000\nShould this knot be removed?");
    EXPECT_NE(boxes[1].text.find("Blue"), std::string::npos);
    EXPECT_FALSE(editing.curve(Channel::Red)[0].highlighted);
}

TEST(PaletteEditingTest, AnsweringYesRemovesTheKnotBeyondTheLimit) {
    Palette palette = withRedKnots({{0, 0}, {126, 252}});
    PaletteEditing editing;
    editing.errorLimit = 300.0; // both corners lie within: the first goes unasked
    editing.attach(&palette, 0.0);
    EXPECT_EQ(editing.removeKnots(Channel::Red, nullptr), MessageAnswer::Yes);
    EXPECT_EQ(editing.curve(Channel::Red).size(), 1u);

    Palette other = withRedKnots({{0, 0}, {60, 30}, {126, 252}});
    editing.errorLimit = 4.0;
    editing.attach(&other, 0.0);
    ScriptedFrontend frontend;
    frontend.queueAnswer(MessageAnswer::Yes);
    frontend.queueAnswer(MessageAnswer::No);
    EXPECT_EQ(editing.removeKnots(Channel::Red, &frontend), MessageAnswer::No);
    EXPECT_EQ(editing.curve(Channel::Red).size(), 2u);
    EXPECT_FALSE(other.isKnot(Channel::Red, 60)); // the smallest error went first
}

} // namespace
} // namespace vortimax

namespace vortimax {
namespace {

// The curve runs round the palette: before its first knot it comes from the last one
// 252 positions earlier, after its last it heads for the first one 252 positions on.
TEST(KnotCurveTest, ValuesRunRoundThePalette) {
    KnotCurve curve(Channel::Green);
    EXPECT_FALSE(curve.valueAt(5.0).has_value());
    EXPECT_EQ(curve.insert({50.0, 100.0}), 0u);
    EXPECT_EQ(curve.valueAt(200.0), std::optional<double>(100.0)); // one knot: flat
    EXPECT_EQ(curve.insert({10.0, 0.0}), 0u);
    EXPECT_EQ(curve.insert({250.0, 200.0}), 2u);
    EXPECT_EQ(curve.knotAt(50), std::optional<std::size_t>(1));
    EXPECT_DOUBLE_EQ(*curve.valueAt(30.0), 50.0);
    EXPECT_DOUBLE_EQ(*curve.valueAt(150.0), 150.0);
    EXPECT_DOUBLE_EQ(*curve.valueAt(251.0), 200.0 - 200.0 / 12.0); // 250 -> 262
    EXPECT_DOUBLE_EQ(*curve.valueAt(0.0), 200.0 - 200.0 * 2.0 / 12.0);
    EXPECT_DOUBLE_EQ(*curve.valueAt(10.0), 0.0);
    EXPECT_EQ(entryAtScreen(3, 10), 245u);
    EXPECT_EQ(entryAtScreen(251, 0), 251u);
}

// Rebuilding writes screen position i into entry (i - offset) mod 252 and leaves a
// channel without knots alone.
TEST(KnotCurveTest, RebuildFollowsTheOffset) {
    Palette palette = test::greyRamp("Rebuild");
    std::array<KnotCurve, 3> curves{KnotCurve(Channel::Red), KnotCurve(Channel::Green),
                                    KnotCurve(Channel::Blue)};
    curves[0].insert({0.0, 0.0});
    curves[0].insert({100.0, 250.0});
    curves[2].insert({7.0, 33.0});
    rebuildPalette(palette, curves, 250);
    EXPECT_EQ(palette.colour(2), (Rgb{0, 2, 33}));                   // screen 0
    EXPECT_EQ(palette.colour(3), (Rgb{2, 3, 33}));                   // screen 1: 2.5 truncated
    EXPECT_EQ(palette.colour(102), (Rgb{250, 102, 33}));             // screen 100
    EXPECT_EQ(palette.colour(252), test::greyRamp("x").colour(252)); // fixed entries stay
}

} // namespace
} // namespace vortimax
