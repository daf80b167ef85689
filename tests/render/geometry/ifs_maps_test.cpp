#include "formula/ifs_entry.h"
#include "render/geometry/classic_random.h"
#include "render/geometry/ifs_maps.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace vortimax {
namespace {

IfsMapSet withProbabilities(std::initializer_list<double> probabilities) {
    std::vector<IfsMap> maps;
    for (double p : probabilities)
        maps.push_back(IfsMap{{}, p});
    return IfsMapSet(std::move(maps));
}

// The first values of the classic C library generator seeded with 1, as every program
// built on it has printed them.
TEST(ClassicRandom, GivesTheClassicSequence) {
    ClassicRandom random(1);
    for (int expected : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464})
        EXPECT_EQ(random.next(), expected);
}

// The first map whose running sum is not below r; when rounding leaves every sum just
// under r, the last map that can be chosen at all, never one of probability 0.
TEST(IfsMapSet, ChoosesByRunningSums) {
    const IfsMapSet maps = withProbabilities({0.25, 0.5, 0.25, 0.0});
    EXPECT_EQ(maps.choose(0.0), 0u);
    EXPECT_EQ(maps.choose(0.25), 0u);
    EXPECT_EQ(maps.choose(0.2500001), 1u);
    EXPECT_EQ(maps.choose(std::nextafter(1.0, 2.0)), 2u);
    // All probabilities 0: r = (random / 32767) * 0 = 0 picks the first map.
    EXPECT_EQ(withProbabilities({0.0, 0.0}).choose(0.0), 0u);
    // Negative and non-finite probabilities count as 0; huge ones keep the total finite.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const IfsMapSet odd = withProbabilities({-1.0, nan, 0.5, INFINITY, 1e308, 1e308});
    EXPECT_TRUE(std::isfinite(odd.total()));
    EXPECT_EQ(odd.choose(0.1), 2u);
    EXPECT_EQ(odd.choose(odd.total()), 5u);
}

// Coefficients are the real parts of the elements; Parm1 ... Parm4 are p1 ... p4; empty
// elements are 0 and a plane line gets m33 = 1.
TEST(IfsMaps, EvaluatesTheElementsWithTheFractalsParameters) {
    IfsEntry entry;
    entry.transforms = parseIfsBody("p1 2*p2 p3+p4 -1 0.5 maxiter/width 0.7\n"
                                    "1 2 3 4 5 6 7 8 9 10 11 12 (p1+p1)\n");
    IfsExpressionInputs inputs{{1.5, -2.0, 0.25, 4.0}, 1000, 200, 0};
    const IfsMapSet maps = evaluateIfsMaps(entry, inputs);
    ASSERT_EQ(maps.maps().size(), 2u);
    const std::array<double, 12> plane{1.5, -4, 0, 4.25, -1, 0, 0, 0, 1, 0.5, 5, 0};
    EXPECT_EQ(maps.maps()[0].a, plane);
    EXPECT_EQ(maps.maps()[1].a[11], 12.0);
    EXPECT_EQ(maps.maps()[1].probability, 3.0);
}

} // namespace
} // namespace vortimax
