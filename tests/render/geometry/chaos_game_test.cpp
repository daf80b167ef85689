#include "render/geometry/figure_canvas.h"
#include "render/geometry/ifs_chaos_game.h"

#include <gtest/gtest.h>

namespace vortimax {
namespace {

// A map that sends every point to (x, y, 0).
IfsMap toPoint(double x, double y, double probability) {
    IfsMap map{{}, probability};
    map.a[9] = x;
    map.a[10] = y;
    return map;
}

// A 21 x 21 image of the area -1 ... 1 both ways: pixel (10, 10) is the origin.
class ChaosGameTest : public ::testing::Test {
protected:
    ChaosGameTest() { EXPECT_TRUE(allocateBuffers(BufferLayout{21, 21, 8}, buffers)); }

    ChaosGame play(std::vector<IfsMap> maps, std::int64_t maxIter,
                   IfsColouring colouring = IfsColouring::Grey) {
        FigureCanvas canvas(buffers, colours);
        canvas.clear();
        ChaosGame game({IfsMapSet(std::move(maps)), IfsProjection(0.0, 0.0),
                        PlaneToPixel(PixelMapping{-1.0, -1.0, 0.1, 0.0, 0.0, 0.1}), colouring,
                        maxIter});
        while (!game.over())
            game.play(7, canvas);
        return game;
    }
    int pixel(int x, int y) { return buffers.pixelRow(y)[x]; }
    int plotted() {
        return static_cast<int>(buffers.pixels.size()) -
               static_cast<int>(std::count(buffers.pixels.begin(), buffers.pixels.end(), 252));
    }

    ImageBuffers buffers;
    ColourTable colours;
};

// The loop runs for i = 1 ... MaxIter - 1: MaxIter 1 plots nothing, MaxIter 2 one point.
TEST_F(ChaosGameTest, MaxIterOneTakesNoStep) {
    EXPECT_EQ(play({toPoint(0.5, 0.5, 1.0)}, 1).stepsTaken(), 0);
    EXPECT_EQ(plotted(), 0);
    EXPECT_EQ(play({toPoint(0.5, 0.5, 1.0)}, 2).stepsTaken(), 1);
    EXPECT_EQ(plotted(), 1);
    EXPECT_EQ(pixel(15, 15), kIfsGreyIndex);
}

TEST_F(ChaosGameTest, AllZeroProbabilitiesAlwaysTakeTheFirstMap) {
    play({toPoint(-0.5, 0.0, 0.0), toPoint(0.5, 0.0, 0.0), toPoint(0.0, 0.5, 0.0)}, 500);
    EXPECT_EQ(plotted(), 1);
    EXPECT_EQ(pixel(5, 10), kIfsGreyIndex);
}

// Density: every visit counts in the value buffer and the colour is the count modulo 252.
TEST_F(ChaosGameTest, DensityCountsVisits) {
    play({toPoint(0.0, 0.0, 1.0)}, 300, IfsColouring::Density);
    EXPECT_EQ(buffers.value(10, 10), 299.0f);
    EXPECT_EQ(pixel(10, 10), 299 % 252);
}

// A point that leaves -1000 ... 1000, or is not a number, ends the game at once.
TEST_F(ChaosGameTest, ADivergingOrbitEndsTheGame) {
    IfsMap doubling = toPoint(1.0, 0.0, 1.0);
    doubling.a[0] = 2.0;
    EXPECT_EQ(play({doubling}, 1000000).stepsTaken(), 10); // x = 1, 3, 7, ..., 1023
    IfsMap broken = toPoint(0.0, 0.0, 1.0);
    broken.a[11] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(play({broken}, 1000000).stepsTaken(), 1);
    EXPECT_EQ(plotted(), 0);
}

} // namespace
} // namespace vortimax
