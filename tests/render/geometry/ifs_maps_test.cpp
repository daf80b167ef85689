#include "formula/ifs_entry.h"
#include "render/geometry/classic_random.h"
#include "render/geometry/ifs_maps.h"
#include "render/geometry/ifs_projection.h"
#include "render/geometry/plane_to_pixel.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace vortimax {
namespace {

IfsMapSet withProbabilities(std::initializer_list<double> probabilities) {
    std::vector<IfsMap> maps;
    for (double p : probabilities) {
        IfsMap map;
        map.probability = p;
        maps.push_back(map);
    }
    return IfsMapSet(std::move(maps));
}

// The first values the classic C library generator gives after seeding with 1, as every
// program built on it has printed them.
TEST(ClassicRandom, GivesTheClassicSequence) {
    ClassicRandom random(1);
    for (int expected : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464})
        EXPECT_EQ(random.next(), expected);
}

TEST(IfsMapSet, ChoosesTheFirstMapWhoseRunningSumReachesR) {
    const IfsMapSet maps = withProbabilities({0.25, 0.5, 0.25});
    EXPECT_EQ(maps.total(), 1.0);
    EXPECT_EQ(maps.choose(0.0), 0u);
    EXPECT_EQ(maps.choose(0.25), 0u); // a sum equal to r is not below it
    EXPECT_EQ(maps.choose(0.2500001), 1u);
    EXPECT_EQ(maps.choose(0.75), 1u);
    EXPECT_EQ(maps.choose(1.0), 2u);
}

// Rounding may leave the last running sum just under r: the last map that can be chosen
// at all takes it, never a map of probability 0 and never "no map".
TEST(IfsMapSet, AnROfTheTotalPlusRoundingTakesTheLastLikelyMap) {
    const IfsMapSet maps = withProbabilities({0.1, 0.2, 0.0});
    EXPECT_EQ(maps.choose(std::nextafter(maps.total(), 1.0)), 1u);
    EXPECT_EQ(maps.choose(0.31), 1u);
}

TEST(IfsMapSet, AllZeroProbabilitiesChooseTheFirstMap) {
    const IfsMapSet maps = withProbabilities({0.0, 0.0, 0.0});
    EXPECT_EQ(maps.total(), 0.0);
    // r = (random / 32767) * P is 0 for every random value.
    EXPECT_EQ(maps.choose(0.0), 0u);
}

TEST(IfsMapSet, NegativeAndNonFiniteProbabilitiesCountAsZero) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const IfsMapSet maps = withProbabilities({-1.0, nan, 0.5, inf, 1e308, 1e308});
    EXPECT_EQ(maps.maps()[0].probability, 0.0);
    EXPECT_EQ(maps.maps()[1].probability, 0.0);
    EXPECT_EQ(maps.maps()[3].probability, 0.0);
    EXPECT_TRUE(std::isfinite(maps.total()));
    EXPECT_EQ(maps.choose(0.1), 2u);
    EXPECT_EQ(maps.choose(maps.total()), 5u);
}

// Coefficients are the real parts of the elements' expressions; Parm1 ... Parm4 are p1 ...
// p4; empty elements are 0 and a plane line gets m33 = 1.
TEST(IfsMaps, EvaluatesTheElementsWithTheFractalsParameters) {
    IfsEntry entry;
    entry.transforms = parseIfsBody("p1 2*p2 p3+p4 -1 0.5 maxiter/width 0.7\n"
                                    "1 2 3 4 5 6 7 8 9 10 11 12 (p1+p1)\n");
    ASSERT_EQ(entry.transforms.size(), 2u);
    IfsExpressionInputs inputs;
    inputs.parms = {1.5, -2.0, 0.25, 4.0};
    inputs.maxIter = 1000;
    inputs.width = 200;
    const IfsMapSet maps = evaluateIfsMaps(entry, inputs);
    const std::array<double, 12> plane{1.5, -4.0, 0.0, 4.25, -1.0, 0.0,
                                       0.0, 0.0,  1.0, 0.5,  5.0,  0.0};
    EXPECT_EQ(maps.maps()[0].a, plane);
    EXPECT_EQ(maps.maps()[0].probability, 0.7);
    EXPECT_EQ(maps.maps()[1].a[11], 12.0);
    EXPECT_EQ(maps.maps()[1].probability, 3.0);
    EXPECT_DOUBLE_EQ(maps.total(), 3.7);
}

TEST(IfsMap, AppliesTheThreeDimensionalAffineStep) {
    IfsMap map;
    map.a = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20, 30};
    double x = 1, y = -1, z = 2;
    map.apply(x, y, z);
    EXPECT_EQ(x, 1 - 2 + 6 + 10);
    EXPECT_EQ(y, 4 - 5 + 12 + 20);
    EXPECT_EQ(z, 7 - 8 + 18 + 30);
}

TEST(IfsProjection, TurnsAboutTheVerticalThenTiltsAboutTheHorizontalAxis) {
    double re, im;
    IfsProjection(0.0, 0.0).project(0.3, -0.7, 5.0, re, im);
    EXPECT_EQ(re, 0.3); // a plane definition is drawn as written
    EXPECT_EQ(im, -0.7);
    IfsProjection(90.0, 0.0).project(0.0, 0.5, 1.0, re, im);
    EXPECT_NEAR(re, 1.0, 1e-9); // z comes to the right
    EXPECT_NEAR(im, 0.5, 1e-9);
    IfsProjection(0.0, 90.0).project(0.0, 1.0, 1.0, re, im);
    EXPECT_NEAR(re, 0.0, 1e-9);
    EXPECT_NEAR(im, -1.0, 1e-9); // the tilt brings z down, y away
}

// The point of every pixel of a turned, sheared area comes back to that pixel.
TEST(PlaneToPixel, InvertsThePixelMapping) {
    const PixelMapping mapping{-2.0, 1.0, 0.01, 0.003, -0.002, 0.012};
    const PlaneToPixel toPixel(mapping);
    ASSERT_TRUE(toPixel.valid());
    for (int x : {0, 7, 319})
        for (int y : {0, 13, 255}) {
            const Complex point = mapping.pointFor(x, y);
            double column, row;
            toPixel.locate(point.re, point.im, column, row);
            EXPECT_NEAR(column, x, 1e-9);
            EXPECT_NEAR(row, y, 1e-9);
        }
    EXPECT_FALSE(PlaneToPixel(PixelMapping{0.0, 0.0, 0.01, 0.0, 0.02, 0.0}).valid());
}

TEST(PlaneToPixel, RoundsHalfUpToPixelsInsideTheImage) {
    EXPECT_EQ(nearestPixel(0.49, 1.5, 4, 3), (PixelPosition{0, 2}));
    EXPECT_EQ(nearestPixel(-0.5, 0.0, 4, 3), (PixelPosition{0, 0}));
    EXPECT_EQ(nearestPixel(3.49, 2.49, 4, 3), (PixelPosition{3, 2}));
    EXPECT_FALSE(nearestPixel(-0.51, 0.0, 4, 3));
    EXPECT_FALSE(nearestPixel(3.5, 0.0, 4, 3));
    EXPECT_FALSE(nearestPixel(0.0, 2.5, 4, 3));
    EXPECT_FALSE(nearestPixel(std::numeric_limits<double>::quiet_NaN(), 0.0, 4, 3));
    EXPECT_FALSE(nearestPixel(1e300, 0.0, 4, 3));
}

} // namespace
} // namespace vortimax
