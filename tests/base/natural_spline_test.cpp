#include "base/natural_spline.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vortimax {
namespace {

// Three points: the inner second derivative is -3, so the curve at 0.5 is 0.6875.
TEST(NaturalSpline, SolvesTheInnerSecondDerivative) {
    const NaturalSpline curve({0, 1, 2}, {0, 1, 0});
    EXPECT_DOUBLE_EQ(curve(0.5), 0.6875);
    EXPECT_DOUBLE_EQ(curve(1.5), 0.6875);
}

// Unevenly spaced knots: the curve meets every knot, its slope is continuous across the
// inner knots and it bends not at all at the ends.
TEST(NaturalSpline, IsSmoothThroughUnevenKnots) {
    const std::vector<double> xs = {-2, 0, 0.5, 3, 7, 8};
    const std::vector<double> ys = {1, -1, 4, 2, 2.5, -3};
    const NaturalSpline curve(xs, ys);
    for (std::size_t j = 0; j + 1 < xs.size(); ++j)
        EXPECT_NEAR(curve(xs[j]), ys[j], 1e-12) << j;
    constexpr double e = 1e-6;
    for (std::size_t j = 1; j + 1 < xs.size(); ++j) {
        const double left = (curve(xs[j]) - curve(xs[j] - e)) / e;
        const double right = (curve(xs[j] + e) - curve(xs[j])) / e;
        EXPECT_NEAR(left, right, 1e-4) << j;
    }
    auto bend = [&](double p) { return (curve(p + e) - 2 * curve(p) + curve(p - e)) / (e * e); };
    EXPECT_NEAR(bend(xs.front() + 2 * e), 0.0, 1e-2);
    EXPECT_NEAR(bend(xs.back() - 2 * e), 0.0, 1e-2);
}

TEST(NaturalSpline, EvaluationRulesAtTheEdges) {
    EXPECT_EQ(NaturalSpline({}, {})(5.0), 0.0);
    EXPECT_EQ(NaturalSpline({3}, {7})(-100.0), 7.0);
    // Two points: the line, also beyond them.
    const NaturalSpline line({0, 2}, {1, 5});
    EXPECT_DOUBLE_EQ(line(-1.0), -1.0);
    EXPECT_DOUBLE_EQ(line(4.0), 9.0);
    // More points: held at the first and last value outside.
    const NaturalSpline curve({0, 1, 2}, {3, 1, 6});
    EXPECT_EQ(curve(-0.5), 3.0);
    EXPECT_EQ(curve(2.0), 6.0);
    EXPECT_EQ(curve(99.0), 6.0);
    EXPECT_EQ(curve(std::nan("")), 3.0);
    EXPECT_EQ(NaturalSpline({0, 1, 2}, {4, 4, 4})(1.7), 4.0);
    // Two knots at one place: no number comes out, and that is 0.
    EXPECT_EQ(NaturalSpline({1, 1}, {0, 2})(1.0), 0.0);
}

TEST(NaturalSpline, LinearKindJoinsThePointsStraight) {
    const NaturalSpline curve({0, 1, 3}, {0, 2, 0}, NaturalSpline::Kind::Linear);
    EXPECT_DOUBLE_EQ(curve(0.5), 1.0);
    EXPECT_DOUBLE_EQ(curve(2.0), 1.0);
}

} // namespace
} // namespace vortimax
