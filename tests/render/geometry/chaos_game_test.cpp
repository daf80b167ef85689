#include "render/geometry/figure_canvas.h"
#include "render/geometry/ifs_chaos_game.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vortimax {
namespace {

constexpr int kWidth = 21, kHeight = 21;

// A map that sends every point to (x, y, 0).
IfsMap toPoint(double x, double y, double probability) {
    IfsMap map;
    map.a[9] = x;
    map.a[10] = y;
    map.probability = probability;
    return map;
}

class ChaosGameTest : public ::testing::Test {
protected:
    ChaosGameTest() {
        EXPECT_TRUE(allocateBuffers(BufferLayout{kWidth, kHeight, 8}, buffers));
        for (int k = 0; k < 256; ++k)
            colours.entries[static_cast<std::size_t>(k)] =
                ColourEntry{static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(255 - k), 7, 0};
    }

    // The area -1 ... 1 in both directions, one pixel per 0.1; pixel (10, 10) is the origin.
    ChaosGameSetup setup(std::vector<IfsMap> maps, std::int64_t maxIter,
                         IfsColouring colouring = IfsColouring::Grey) {
        ChaosGameSetup s;
        s.maps = IfsMapSet(std::move(maps));
        s.toPixel = PlaneToPixel(PixelMapping{-1.0, -1.0, 0.1, 0.0, 0.0, 0.1});
        s.colouring = colouring;
        s.maxIter = maxIter;
        return s;
    }

    ChaosGame play(ChaosGameSetup s) {
        FigureCanvas canvas(buffers, colours);
        canvas.clear();
        ChaosGame game(std::move(s));
        while (!game.over())
            game.play(7, canvas);
        return game;
    }

    int pixel(int x, int y) { return buffers.pixelRow(y)[x]; }
    int plotted() {
        int count = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                count += pixel(x, y) != FigureCanvas::kBackground ? 1 : 0;
        return count;
    }

    ImageBuffers buffers;
    ColourTable colours;
};

// The loop runs for i = 1 ... MaxIter - 1: MaxIter 1 (and 0) plot nothing, MaxIter 2 one point.
TEST_F(ChaosGameTest, MaxIterOneTakesNoStep) {
    for (std::int64_t maxIter : {0, 1}) {
        const ChaosGame game = play(setup({toPoint(0.5, 0.5, 1.0)}, maxIter));
        EXPECT_EQ(game.stepsTaken(), 0);
        EXPECT_EQ(plotted(), 0);
        EXPECT_EQ(game.progress(), 1.0);
    }
    const ChaosGame game = play(setup({toPoint(0.5, 0.5, 1.0)}, 2));
    EXPECT_EQ(game.stepsTaken(), 1);
    EXPECT_EQ(plotted(), 1);
    EXPECT_EQ(pixel(15, 15), kIfsGreyIndex);
}

TEST_F(ChaosGameTest, AllZeroProbabilitiesAlwaysTakeTheFirstMap) {
    play(setup({toPoint(-0.5, 0.0, 0.0), toPoint(0.5, 0.0, 0.0), toPoint(0.0, 0.5, 0.0)}, 500));
    EXPECT_EQ(plotted(), 1);
    EXPECT_EQ(pixel(5, 10), kIfsGreyIndex);
}

// Both maps are chosen about equally often, and each point's colour tells its map.
TEST_F(ChaosGameTest, ColourByMapFollowsTheChosenMap) {
    play(setup({toPoint(-0.5, 0.0, 1.0), toPoint(0.5, 0.0, 1.0)}, 200, IfsColouring::ByMap));
    EXPECT_EQ(plotted(), 2);
    EXPECT_LT(pixel(5, 10), 126);
    EXPECT_GE(pixel(15, 10), 126);
}

// Every visit of a pixel counts in its value; the colour is the count modulo 252.
TEST_F(ChaosGameTest, DensityCountsVisitsInTheValueBuffer) {
    play(setup({toPoint(0.0, 0.0, 1.0)}, 300, IfsColouring::Density));
    EXPECT_EQ(buffers.value(10, 10), 299.0f);
    EXPECT_EQ(pixel(10, 10), 299 % 252);
    EXPECT_EQ(buffers.value(0, 0), 0.0f);
}

// A point that leaves -1000 ... 1000 ends the game at once; so does one that is not a
// number.
TEST_F(ChaosGameTest, ADivergingOrbitEndsTheGame) {
    IfsMap doubling;
    doubling.a[0] = doubling.a[4] = 2.0;
    doubling.a[9] = 1.0;
    doubling.probability = 1.0;
    const ChaosGame game = play(setup({doubling}, 1000000));
    EXPECT_EQ(game.stepsTaken(), 10); // x = 1, 3, 7, ..., 1023
    EXPECT_TRUE(game.over());
    IfsMap broken = toPoint(0.0, 0.0, 1.0);
    broken.a[11] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(play(setup({broken}, 1000000)).stepsTaken(), 1);
    EXPECT_EQ(plotted(), 0);
}

// The same definition gives the same image, point for point: the generator starts anew.
TEST_F(ChaosGameTest, EveryGameStartsTheGeneratorAnew) {
    // Halfway towards one of three corners: the triangle of Sierpinski.
    std::vector<IfsMap> maps;
    for (auto [x, y] : {std::pair{-1.0, -1.0}, std::pair{1.0, -1.0}, std::pair{0.0, 1.0}}) {
        IfsMap halfway = toPoint(x / 2, y / 2, 1.0);
        halfway.a[0] = halfway.a[4] = 0.5;
        maps.push_back(halfway);
    }
    play(setup(maps, 5000, IfsColouring::ByMap));
    const std::vector<std::uint8_t> first = buffers.pixels;
    EXPECT_GT(plotted(), 100);
    play(setup(maps, 5000, IfsColouring::ByMap));
    EXPECT_EQ(buffers.pixels, first);
}

TEST_F(ChaosGameTest, TrueColourPointsTakeThePaletteColourOfTheirIndex) {
    ASSERT_TRUE(allocateBuffers(BufferLayout{kWidth, kHeight, 24}, buffers));
    play(setup({toPoint(0.0, 0.0, 1.0)}, 11, IfsColouring::Density));
    const std::uint8_t* point = buffers.pixelRow(10) + 30;
    EXPECT_EQ(point[0], 10); // blue, green, red of entry 10
    EXPECT_EQ(point[1], 245);
    EXPECT_EQ(point[2], 7);
    EXPECT_EQ(buffers.pixelRow(0)[0], 0); // the background is black
}

} // namespace
} // namespace vortimax
