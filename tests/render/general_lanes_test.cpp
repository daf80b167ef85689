#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "render/escape/escape_batch.h"
#include "render/escape/escape_kernel.h"
#include "render/escape/fast_orbit_lanes.h"
#include "render/escape/general_lane_orbits.h"
#include "render/escape/general_orbit_lanes.h"
#include "render/escape/subtype_steps.h"
#include "stopped_row.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <vector>

namespace vortimax {
namespace {

constexpr int kLaneSubtypes[] = {0, 1, 3, 4};
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

using VectorKernel = void (*)(GeneralOrbits&);

// The vector paths of this processor.
std::vector<std::pair<KernelPath, VectorKernel>> vectorPaths() {
    std::vector<std::pair<KernelPath, VectorKernel>> paths;
    for (KernelPath path : availablePaths()) {
        if (path == KernelPath::Avx2)
            paths.emplace_back(path, generalOrbitsAvx2);
        if (path == KernelPath::Avx512)
            paths.emplace_back(path, generalOrbitsAvx512);
    }
    return paths;
}

// A Julia or Mandel calculation of a lane subtype over an area where some orbits escape,
// some settle on a finite attractor and some stay: bailout 16, BailoutVar 0.7.
EscapeParams laneParams(int subtype, bool mandel, int maxIter = 60) {
    auto r = createRecord(mandel ? kTypeMandel : kTypeJulia, static_cast<std::uint32_t>(subtype),
                          RecordCreationContext{});
    r->params().setInteger("MaxIter", maxIter);
    EscapeParams p = readEscapeParams(*r);
    p.bailout = 16.0;
    p.bailin = 0.01;
    p.bailoutVar = 0.7;
    p.outside.outside = kMeasureSumm; // values depend on the final z
    constexpr Complex kJuliaC[] = {{-0.8, 0.156}, {0.4, 0.1}, {0.0, 0.0}, {1.2, 0.4}, {0.9, 0.5}};
    if (!mandel)
        p.start = kJuliaC[subtype];
    return p;
}

std::vector<Complex> gridPoints(int width, int height) {
    std::vector<Complex> points;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            points.push_back({-2.4 + 5.0 * x / width, 1.9 - 3.8 * y / height});
    }
    return points;
}

bool sameDouble(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b) ||
           (std::isnan(a) && std::isnan(b));
}

// Runs the orbits of `points` (no inversion) on every vector path and compares each end
// with generalOrbit: z bit for bit, the counter and, when tracking, the extrema.
void expectSameOrbits(const EscapeParams& p, const std::vector<Complex>& points) {
    const bool track = p.inside > kInsideMagnitude;
    const std::size_t n = points.size();
    for (auto [path, kernel] : vectorPaths()) {
        SCOPED_TRACE(static_cast<int>(path));
        std::vector<double> zr(n), zi(n), constants(n * kLaneConstants), r(n), largest(n),
            smallest(n);
        std::vector<std::int32_t> remaining(n, kOrbitUnfinished), largestAt(n), smallestAt(n);
        for (std::size_t i = 0; i < n; ++i) {
            const Orbit o = initOrbit(p, points[i]);
            zr[i] = o.z.re;
            zi[i] = o.z.im;
            GeneralLaneOrbits::stepConstants(p, o.c, &constants[i * kLaneConstants]);
            r[i] = std::sqrt(points[i].re * points[i].re + points[i].im * points[i].im);
        }
        GeneralOrbits orbits;
        orbits.shape.subtype = static_cast<LaneSubtype>(p.subtype);
        orbits.shape.bailoutTest = p.bailoutTest;
        orbits.shape.testInfinity = p.testInfinity;
        orbits.shape.testFinite = p.testFinite;
        orbits.shape.testCycle = p.testCycle;
        orbits.shape.track = track;
        orbits.shape.maxIter = p.maxIter;
        orbits.shape.halfIter = p.halfIter;
        orbits.shape.bailout = p.bailout;
        orbits.shape.bailin = p.bailin;
        orbits.shape.bailoutVar = p.bailoutVar;
        orbits.count = static_cast<int>(n);
        orbits.zr = zr.data();
        orbits.zi = zi.data();
        orbits.constants = constants.data();
        orbits.pointMagnitude = r.data();
        orbits.remaining = remaining.data();
        orbits.largest = largest.data();
        orbits.smallest = smallest.data();
        orbits.largestAt = largestAt.data();
        orbits.smallestAt = smallestAt.data();
        kernel(orbits);
        int mismatches = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const OrbitEnd e = generalOrbit(p, initOrbit(p, points[i]), r[i], track);
            bool same = sameDouble(zr[i], e.z.re) && sameDouble(zi[i], e.z.im) &&
                        remaining[i] == e.remaining;
            if (track)
                same = same && sameDouble(largest[i], e.extrema.largest) &&
                       sameDouble(smallest[i], e.extrema.smallest) &&
                       largestAt[i] == e.extrema.largestAt && smallestAt[i] == e.extrema.smallestAt;
            if (!same && ++mismatches <= 3)
                ADD_FAILURE() << "point (" << points[i].re << ", " << points[i].im << "): z ("
                              << zr[i] << ", " << zi[i] << ") after " << remaining[i]
                              << " instead of (" << e.z.re << ", " << e.z.im << ") after "
                              << e.remaining;
        }
    }
}

// Every lane subtype, Julia and Mandel, every bailout test, with the finite-attractor and
// cycle tests off and on (also without the infinity test), plain and tracking.
TEST(GeneralLanesTest, OrbitsMatchTheScalarLoop) {
    const std::vector<Complex> points = gridPoints(29, 17);
    struct Tests {
        bool infinity, finite, cycle;
    };
    constexpr Tests kTests[] = {
        {true, false, false}, {true, true, false}, {true, false, true}, {false, true, true}};
    for (int subtype : kLaneSubtypes) {
        for (bool mandel : {false, true}) {
            EscapeParams p = laneParams(subtype, mandel);
            for (int test = 0; test < kBailoutTestCount; ++test) {
                for (const Tests& t : kTests) {
                    for (int inside : {kInsideBlack, kInsideSupremum}) {
                        SCOPED_TRACE(testing::Message()
                                     << "subtype " << subtype << " mandel " << mandel << " test "
                                     << test << " tests " << t.infinity << t.finite << t.cycle
                                     << " inside " << inside);
                        p.bailoutTest = test;
                        p.testInfinity = t.infinity;
                        p.testFinite = t.finite;
                        p.testCycle = t.cycle;
                        p.inside = inside;
                        expectSameOrbits(p, points);
                    }
                }
            }
        }
    }
}

// Counts at the edges: a single step, two, an odd count (the cycle test starts at
// MaxIter / 2), with the cycle test catching orbits at its first step.
TEST(GeneralLanesTest, ShortOrbitsAndCycleStart) {
    const std::vector<Complex> points = gridPoints(13, 7);
    for (int subtype : kLaneSubtypes) {
        for (int maxIter : {1, 2, 3, 7}) {
            SCOPED_TRACE(testing::Message() << "subtype " << subtype << " MaxIter " << maxIter);
            EscapeParams p = laneParams(subtype, true, maxIter);
            p.testCycle = true;
            p.bailin = 1e6; // every difference counts as a cycle once the test is on
            p.inside = kInsideInfIndex;
            expectSameOrbits(p, points);
        }
    }
}

// Orbits that overflow to infinity and NaN (no infinity test, or an unreachable NaN
// bailout), points that are NaN or infinite from the start, and Magnet points where a
// denominator is exactly 0 (0 / 0 and x / 0). The extrema keep NaN only until the first
// magnitude that is not NaN.
TEST(GeneralLanesTest, InfiniteAndNaNOrbits) {
    std::vector<Complex> points = {{kNaN, 0.0},       {0.0, kNaN},     {kInfinity, 1.0},
                                   {-kInfinity, 0.0}, {1e200, -1e200}, {1e160, 3.0},
                                   {1.0, 0.0},        {0.5, 0.0},      {2.0, 0.0},
                                   {0.0, 0.0},        {-1.0, 1e-300},  {1e-160, 1e-170}};
    for (int subtype : kLaneSubtypes) {
        for (bool mandel : {false, true}) {
            EscapeParams p = laneParams(subtype, mandel, 40);
            p.start = {0.0, 0.0}; // Magnet 1 Julia: z = 1 meets 0 / 0 at once
            for (int inside : {kInsideMagnitude, kInsideSupremum, kInsideSupIndex}) {
                for (double bailout : {16.0, kNaN}) {
                    SCOPED_TRACE(testing::Message() << "subtype " << subtype << " mandel " << mandel
                                                    << " bailout " << bailout);
                    p.inside = inside;
                    p.bailout = bailout;
                    p.testInfinity = !std::isnan(bailout) || inside == kInsideMagnitude;
                    p.testFinite = inside == kInsideSupIndex;
                    expectSameOrbits(p, points);
                }
            }
        }
    }
}

std::uint32_t bitsOf(float v) {
    return std::bit_cast<std::uint32_t>(v);
}

constexpr RasterSize kRaster{37, 9};

PixelMapping laneMapping() {
    PixelMapping m;
    m.originRe = -2.4;
    m.originIm = 1.9;
    m.columnRe = 5.0 / kRaster.width;
    m.rowIm = -3.8 / kRaster.height;
    return m;
}

// Whole images through the batch kernel on every path, in batches of varying size and in
// whole rows with gaps, compared bit for bit with pixelValue.
void expectSameImage(const EscapeParams& p, const PixelMapping& mapping) {
    ASSERT_TRUE(usesGeneralLanes(p));
    int mismatches = 0;
    const auto check = [&](int column, int row, float value) {
        const Complex point = mapping.pointFor(column, row);
        const float expected = pixelValue(p, point.re, point.im);
        if (bitsOf(value) != bitsOf(expected) && ++mismatches <= 3)
            ADD_FAILURE() << "pixel (" << column << ", " << row << "): " << value << " instead of "
                          << expected;
    };
    for (KernelPath path : availablePaths()) {
        SCOPED_TRACE(static_cast<int>(path));
        EscapeBatchKernel kernel(p, mapping, path);
        for (int row = 0; row < kRaster.height; ++row) {
            PixelBatch batch;
            batch.row = row;
            const int size = 1 + row * 7 % kPixelBatchSize;
            for (int column = 0; column < kRaster.width; ++column) {
                batch.columns[batch.count++] = column;
                if (batch.count == size || column + 1 == kRaster.width) {
                    kernel(batch);
                    for (int i = 0; i < batch.count; ++i)
                        check(batch.columns[i], row, batch.values[i]);
                    batch.count = 0;
                }
            }
            std::vector<int> columns;
            for (int column = row % 3; column < kRaster.width; column += 1 + row % 2)
                columns.push_back(column);
            std::vector<float> values(columns.size(), 0.0f);
            PixelRow pixels{row, columns, values, [] { return false; }};
            kernel(pixels);
            EXPECT_FALSE(pixels.stopped);
            for (std::size_t i = 0; i < columns.size(); ++i)
                check(columns[i], row, values[i]);
        }
    }
}

// Every inside rule for every lane subtype and bailout test, Julia and Mandel, with the
// finite-attractor and cycle tests on and off; then circle inversion and the "P-Ring"
// test, which use the inverted point.
TEST(GeneralLanesTest, ImagesMatchPixelValues) {
    for (int subtype : kLaneSubtypes) {
        for (bool mandel : {false, true}) {
            for (int inside = kInsideBlack; inside <= kInsideInfIndex; ++inside) {
                for (int test = 0; test < kBailoutTestCount; ++test) {
                    SCOPED_TRACE(testing::Message() << "subtype " << subtype << " mandel " << mandel
                                                    << " inside " << inside << " test " << test);
                    EscapeParams p = laneParams(subtype, mandel, 45);
                    p.inside = inside;
                    p.bailoutTest = test;
                    p.testFinite = (inside + test) % 2 == 0;
                    p.testCycle = (inside + test) % 3 == 0;
                    if (!usesFastPath(p))
                        expectSameImage(p, laneMapping());
                }
            }
        }
    }
    EscapeParams p = laneParams(3, false, 80);
    p.inversion.enabled = true;
    p.inversion.centreRe = 0.4;
    p.inversion.radius = 0.8;
    p.bailoutTest = kBailoutPRing;
    p.bailin = 0.3;
    p.inside = kInsideSupIndex;
    expectSameImage(p, laneMapping());
}

// Biomorph and the other subtypes stay on the per-pixel path, and so does the fast loop's
// own case.
TEST(GeneralLanesTest, WhichCalculationsTakeTheLanes) {
    EscapeParams p = laneParams(1, true);
    EXPECT_TRUE(usesGeneralLanes(p));
    p.biomorph = true;
    EXPECT_FALSE(usesGeneralLanes(p));
    for (int subtype : {2, 5, 23, 39})
        EXPECT_FALSE(usesGeneralLanes(laneParams(subtype, true)));
    EscapeParams fast = laneParams(0, true);
    fast.bailout = 4.0;
    EXPECT_TRUE(usesFastPath(fast));
    EXPECT_FALSE(usesGeneralLanes(fast));
}

// A stopped row keeps the pixels finished before, with their exact values, leaves the
// others at 0.0 and looks at the command word at least once per batch of ended orbits.
TEST(GeneralLanesTest, StoppedRowKeepsOnlyFinishedPixels) {
    EscapeParams p = laneParams(4, true, 400);
    p.inside = kInsideSupremum;
    PixelMapping mapping;
    mapping.originRe = -1.0;
    mapping.originIm = 0.3;
    mapping.columnRe = 4.0 / 1000;
    for (KernelPath path : availablePaths()) {
        if (path == KernelPath::Scalar)
            continue;
        SCOPED_TRACE(static_cast<int>(path));
        EscapeBatchKernel kernel(p, mapping, path);
        const int finished = test::finishedInStoppedRow(kernel, 0, 1000, [&](int x) {
            const Complex point = mapping.pointFor(x, 0);
            return pixelValue(p, point.re, point.im);
        });
        EXPECT_GE(finished, 3 * kOrbitsBetweenStopChecks);
        EXPECT_LE(finished, 3 * kPixelBatchSize);
    }
}

} // namespace
} // namespace vortimax
