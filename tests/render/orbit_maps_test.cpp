#include "render/dynamics/dynamic_system.h"
#include "render/dynamics/orbit_maps.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace vortimax {
namespace {

constexpr std::uint32_t kHopalong = 5, kGingerbreadman = 10, kHenon = 11, kLatoocarfian = 12,
                        kKamtorus = 13, kInverseJulia = 14, kPickover = 15, kPopcorn = 16,
                        kMandelCloud = 17;

DynamicSystemParams mapParams(std::uint32_t system, double a, double b, double c, double d = 0.0) {
    DynamicSystemParams p;
    p.system = system;
    p.a = a;
    p.b = b;
    p.c = c;
    p.start = {0.0, 0.0, d};
    p.time = 1e6;
    p.delta = 0.1;
    return p;
}

// The points the orbit visits, at most `most`.
std::vector<Vec3> orbitPoints(const DynamicSystemParams& params, int most) {
    DynamicOrbit orbit(params);
    std::vector<Vec3> points;
    while (static_cast<int>(points.size()) < most && orbit.step() == OrbitStep::Moved)
        points.push_back(orbit.point());
    return points;
}

// Orbits worked out by hand from the maps' definitions.
TEST(OrbitMaps, FirstPointsFollowTheDefinitions) {
    // Henon (a 1.4, b 0.3) from the origin: (1, 0), then (1 - 1.4, 0.3).
    auto henon = orbitPoints(mapParams(kHenon, 1.4, 0.3, 0.0), 2);
    ASSERT_EQ(henon.size(), 2u);
    EXPECT_DOUBLE_EQ(henon[0].x, 1.0);
    EXPECT_DOUBLE_EQ(henon[0].y, 0.0);
    EXPECT_DOUBLE_EQ(henon[1].x, 1.0 - 1.4);
    EXPECT_DOUBLE_EQ(henon[1].y, 0.3);
    // Hopalong (0.4, 1, 0): (0, 0.4), (0.4, 0.4) since sign(0) is 0, then x jumps back by
    // sqrt|b x - c| and y = a - x.
    auto hop = orbitPoints(mapParams(kHopalong, 0.4, 1.0, 0.0), 3);
    ASSERT_EQ(hop.size(), 3u);
    EXPECT_DOUBLE_EQ(hop[0].y, 0.4);
    EXPECT_DOUBLE_EQ(hop[1].x, 0.4);
    EXPECT_DOUBLE_EQ(hop[2].x, 0.4 - std::sqrt(0.4));
    EXPECT_DOUBLE_EQ(hop[2].y, 0.0);
    // The gingerbreadman's fixed point (1, 1) stays put.
    auto ginger = mapParams(kGingerbreadman, 0, 0, 0);
    ginger.start = {1.0, 1.0, 0.0};
    for (const Vec3& p : orbitPoints(ginger, 5))
        EXPECT_TRUE(p.x == 1.0 && p.y == 1.0 && p.z == 0.0);
    // Latoocarfian takes its fourth constant d from Z, and its state has no z.
    auto lato = mapParams(kLatoocarfian, 1.0, 2.0, 0.5, 0.25);
    lato.start = {0.1, 0.2, 0.25};
    auto first = orbitPoints(lato, 1);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_DOUBLE_EQ(first[0].x, std::sin(2.0 * 0.2) + 0.5 * std::sin(2.0 * 0.1));
    EXPECT_DOUBLE_EQ(first[0].y, std::sin(1.0 * 0.1) + 0.25 * std::sin(1.0 * 0.2));
    EXPECT_EQ(first[0].z, 0.0);
    // The Pickover map moves in space: from the origin (0, -1, 0), (-sin a, -cos d, 0),
    // then z = sin x leaves the plane.
    auto space = orbitPoints(mapParams(kPickover, 2.0, 0.5, -0.5, 3.0), 3);
    ASSERT_EQ(space.size(), 3u);
    EXPECT_DOUBLE_EQ(space[0].y, -1.0);
    EXPECT_DOUBLE_EQ(space[1].x, -std::sin(2.0));
    EXPECT_DOUBLE_EQ(space[1].y, -std::cos(3.0));
    EXPECT_DOUBLE_EQ(space[2].z, std::sin(-std::sin(2.0)));
}

// The inverse iteration of z^2 + c gathers on the Julia set: for c = 0 the unit circle,
// visited on both branches of the root.
TEST(OrbitMaps, InverseJuliaPointsReachTheJuliaSet) {
    auto params = mapParams(kInverseJulia, 0.0, 0.0, 0.0);
    params.start = {3.0, 4.0, 0.0};
    const auto points = orbitPoints(params, 200);
    ASSERT_EQ(points.size(), 200u);
    int upper = 0;
    for (std::size_t i = 60; i < points.size(); ++i) {
        EXPECT_NEAR(std::hypot(points[i].x, points[i].y), 1.0, 1e-12) << i;
        upper += points[i].y > 0.0 ? 1 : 0;
    }
    EXPECT_GT(upper, 20);
    EXPECT_LT(upper, 120);
}

// Kamtorus draws orbit after orbit: Z points each, the k-th starting at (k B, k B), until
// the start passes C.
TEST(OrbitMaps, KamtorusDrawsAFamilyOfOrbits) {
    auto params = mapParams(kKamtorus, 1.3, 0.1, 0.35, 10.0);
    const auto points = orbitPoints(params, 1000);
    ASSERT_EQ(points.size(), 30u);
    const double x = 0.2, q = x * x - 0.2; // the start of the second orbit, mapped once
    EXPECT_DOUBLE_EQ(points[10].x, x * std::cos(1.3) + q * std::sin(1.3));
    EXPECT_DOUBLE_EQ(points[10].y, x * std::sin(1.3) - q * std::cos(1.3));
    // The map keeps areas, so a small orbit stays near its start's distance.
    EXPECT_LT(std::hypot(points[9].x, points[9].y), 0.5);
    params.b = 0.0; // no step between orbits: nothing to draw
    EXPECT_TRUE(orbitPoints(params, 10).empty());
}

// The cloud maps start an orbit in the middle of every cell of a grid over the area, C
// columns wide, and move on after Z points; a Mandelbrot orbit also ends where it leaves
// the circle of radius 2.
TEST(OrbitMaps, CloudsStartAnOrbitInEveryCellOfTheArea) {
    auto cloud = mapParams(kMandelCloud, 0.0, 0.0, 2.0, 4.0);
    cloud.left = -2.0, cloud.right = 2.0, cloud.top = 1.0, cloud.bottom = -1.0;
    // Two cells, c = -1 (a cycle of two) and c = 1 (1, 2, 5: gone).
    std::vector<double> xs, ys;
    for (const Vec3& p : orbitPoints(cloud, 100)) {
        xs.push_back(p.x);
        ys.push_back(p.y);
    }
    EXPECT_EQ(xs, (std::vector<double>{-1.0, 0.0, -1.0, 0.0, 1.0, 2.0, 5.0}));
    EXPECT_EQ(ys, std::vector<double>(7, 0.0));

    auto popcorn = mapParams(kPopcorn, 0.1, 0.0, 1.0, 2.0);
    popcorn.left = 0.0, popcorn.right = 1.0, popcorn.top = 1.0, popcorn.bottom = 0.0;
    const auto points = orbitPoints(popcorn, 100);
    ASSERT_EQ(points.size(), 2u); // one cell, two points
    EXPECT_DOUBLE_EQ(points[0].x, 0.5 - 0.1 * std::sin(0.5 + std::tan(1.5)));
    EXPECT_DOUBLE_EQ(points[0].y, 0.5 - 0.1 * std::sin(0.5 + std::tan(1.5)));
    popcorn.c = 0.0; // no columns, no orbits
    EXPECT_TRUE(orbitPoints(popcorn, 10).empty());
}

// A map's orbit ends after Time points, or where it runs away or stops being finite.
TEST(OrbitMaps, OrbitsEndAfterTimePointsOrWhenTheyRunAway) {
    auto henon = mapParams(kHenon, 1.4, 0.3, 0.0);
    henon.time = 7;
    DynamicOrbit counted(henon);
    int moved = 0;
    while (counted.step() == OrbitStep::Moved)
        ++moved;
    EXPECT_EQ(moved, 7);
    EXPECT_DOUBLE_EQ(counted.progress(), 1.0);

    henon.time = 1e9;
    henon.start = {10.0, 10.0, 0.0}; // outside the basin: x doubles its digits each step
    EXPECT_LT(orbitPoints(henon, 100000).size(), 20u);
    auto hop = mapParams(kHopalong, 0.0, 1.0, 0.0);
    hop.start = {std::nan(""), 0.0, 0.0};
    EXPECT_TRUE(orbitPoints(hop, 10).empty());
    EXPECT_FALSE(isOrbitMap(kFlowCount - 1));
    EXPECT_FALSE(isOrbitMap(kDynamicSystemCount));
}

} // namespace
} // namespace vortimax
