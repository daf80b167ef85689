#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "render/escape/escape_batch.h"
#include "render/escape/escape_kernel.h"
#include "render/escape/fast_orbit_lanes.h"
#include "stopped_row.h"

#include <bit>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

namespace vortimax {
namespace {

constexpr RasterSize kRaster{97, 23};

std::unique_ptr<FractalRecord> record(std::uint32_t type, int maxIter) {
    auto r = createRecord(type, 0, RecordCreationContext{});
    r->params().setInteger("MaxIter", maxIter);
    return r;
}

void setArea(FractalRecord& r, double left, double right, double top, double bottom) {
    r.params().setBigFixed("TopLeftR", BigFixed::fromDouble(left));
    r.params().setBigFixed("BottomRightR", BigFixed::fromDouble(right));
    r.params().setBigFixed("TopLeftI", BigFixed::fromDouble(top));
    r.params().setBigFixed("BottomRightI", BigFixed::fromDouble(bottom));
}

std::uint32_t bitsOf(float v) {
    return std::bit_cast<std::uint32_t>(v);
}

// Runs every pixel of the raster through the batch kernel on every available path, in
// batches of 1 ... 64 pixels taken with column steps 1 ... 3 and a skipped column now
// and then, and compares each value bit for bit with the per-pixel kernel.
void expectSameOnEveryPath(const EscapeParams& params, const PixelMapping& mapping) {
    ASSERT_TRUE(usesFastPath(params));
    for (KernelPath path : availablePaths()) {
        SCOPED_TRACE(static_cast<int>(path));
        EscapeBatchKernel kernel(params, mapping, path);
        int size = 1;
        int mismatches = 0;
        for (int row = 0; row < kRaster.height; ++row) {
            const int step = 1 + row % 3;
            int column = row % 2;
            while (column < kRaster.width) {
                PixelBatch batch;
                batch.row = row;
                for (; batch.count < size && column < kRaster.width; column += step) {
                    if ((column + row) % 7 != 3)
                        batch.columns[batch.count++] = column;
                }
                size = size % kPixelBatchSize + 1;
                kernel(batch);
                for (int i = 0; i < batch.count; ++i) {
                    const float expected =
                        pixelValue(params, mapping.pointFor(batch.columns[i], row).re,
                                   mapping.pointFor(batch.columns[i], row).im);
                    if (bitsOf(batch.values[i]) != bitsOf(expected) && ++mismatches <= 5)
                        ADD_FAILURE() << "pixel (" << batch.columns[i] << ", " << row
                                      << "): " << batch.values[i] << " instead of " << expected;
                }
            }
        }
        // The pixels of several rows in one call, as short rows of a coarse pass come.
        {
            std::vector<int> columns, rows;
            for (int row = 1; row < kRaster.height; row += 3) {
                for (int column = row % 2; column < kRaster.width; column += 2) {
                    columns.push_back(column);
                    rows.push_back(row);
                }
            }
            std::vector<float> values(columns.size(), 0.0f);
            PixelRow pixels{rows.front(), columns, values, [] { return false; }};
            pixels.rows = rows;
            kernel(pixels);
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const Complex point = mapping.pointFor(columns[i], rows[i]);
                const float expected = pixelValue(params, point.re, point.im);
                if (bitsOf(values[i]) != bitsOf(expected) && ++mismatches <= 5)
                    ADD_FAILURE() << "pixel (" << columns[i] << ", " << rows[i]
                                  << ") of several rows: " << values[i] << " instead of "
                                  << expected;
            }
        }
        // Whole rows at once, every other row with a gap pattern.
        for (int row = 0; row < kRaster.height; ++row) {
            std::vector<int> columns;
            for (int column = 0; column < kRaster.width; ++column) {
                if (row % 2 == 0 || column % 5 != 1)
                    columns.push_back(column);
            }
            std::vector<float> values(columns.size(), 0.0f);
            PixelRow pixels{row, columns, values, [] { return false; }};
            kernel(pixels);
            EXPECT_FALSE(pixels.stopped);
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const Complex point = mapping.pointFor(columns[i], row);
                const float expected = pixelValue(params, point.re, point.im);
                if (bitsOf(values[i]) != bitsOf(expected) && ++mismatches <= 5)
                    ADD_FAILURE() << "row pixel (" << columns[i] << ", " << row
                                  << "): " << values[i] << " instead of " << expected;
            }
        }
    }
}

void expectSameOnEveryPath(const FractalRecord& r) {
    expectSameOnEveryPath(readEscapeParams(r), pixelMapping(r, kRaster));
}

TEST(EscapeBatchTest, ProcessorPaths) {
    const auto& paths = availablePaths();
    ASSERT_FALSE(paths.empty());
    EXPECT_EQ(paths.front(), KernelPath::Scalar);
    EXPECT_EQ(fastestPath(), paths.back());
}

// The default area with very few iterations (the fast loop takes at least two steps),
// counts whose orbits end just before, at and after the first steps and whole blocks of
// the vector loops, a typical count and a long one.
TEST(EscapeBatchTest, MandelIterationCounts) {
    for (int maxIter : {1, 2, 3, 4, 9, 10, 17, 18, 25, 33, 48, 49, 50, 81, 150, 3000}) {
        SCOPED_TRACE(maxIter);
        expectSameOnEveryPath(*record(kTypeMandel, maxIter));
    }
    auto shifted = record(kTypeMandel, 300); // Mandel's start offset moves z, not c
    shifted->params().setBigFixed("Cr", BigFixed::fromDouble(0.1));
    shifted->params().setBigFixed("Ci", BigFixed::fromDouble(-0.05));
    expectSameOnEveryPath(*shifted);
}

// A row stopped by the command word keeps the pixels finished before (with their exact
// values) and leaves the others at 0.0 for a later resume; it stops within a batch.
TEST(EscapeBatchTest, StoppedRowKeepsOnlyFinishedPixels) {
    auto deep = record(kTypeMandel, 2000);
    const double re = -0.743643887037151, im = 0.13182590420533, half = 1.5e-7;
    setArea(*deep, re - half, re + half, im + half * 0.75, im - half * 0.75);
    const EscapeParams params = readEscapeParams(*deep);
    const RasterSize raster{1000, 3};
    const PixelMapping mapping = pixelMapping(*deep, raster);
    for (KernelPath path : availablePaths()) {
        SCOPED_TRACE(static_cast<int>(path));
        EscapeBatchKernel kernel(params, mapping, path);
        const int finished = test::finishedInStoppedRow(kernel, 1, raster.width, [&](int x) {
            const Complex point = mapping.pointFor(x, 1);
            return pixelValue(params, point.re, point.im);
        });
        // Three looks at the command word, each after at most kOrbitsBetweenStopChecks
        // more ended orbits (a block may end a whole vector register more) or a number of
        // blocks; some orbits ended before the stop.
        EXPECT_GT(finished, 0);
        EXPECT_LE(finished, 3 * (kOrbitsBetweenStopChecks + kPixelBatchSize));
    }
}

// Orbits that do not end for a very long time (inside the set, a huge MaxIter) do not
// hold a stop up: the vector loops also look at the command word after a number of
// blocks. (The scalar loop looks only between orbits.)
TEST(EscapeBatchTest, StopArrivesWhileNoOrbitEnds) {
    auto inside = record(kTypeMandel, 2000000000);
    setArea(*inside, -0.3, -0.1, 0.1, -0.1);
    const EscapeParams params = readEscapeParams(*inside);
    const RasterSize raster{200, 3};
    const PixelMapping mapping = pixelMapping(*inside, raster);
    for (KernelPath path : availablePaths()) {
        if (path == KernelPath::Scalar)
            continue;
        SCOPED_TRACE(static_cast<int>(path));
        EscapeBatchKernel kernel(params, mapping, path);
        const int finished = test::finishedInStoppedRow(kernel, 1, raster.width, [&](int x) {
            const Complex point = mapping.pointFor(x, 1);
            return pixelValue(params, point.re, point.im);
        });
        EXPECT_EQ(finished, 0);
    }
}

TEST(EscapeBatchTest, DeepZoomAndJulia) {
    auto deep = record(kTypeMandel, 5000);
    const double re = -0.743643887037151, im = 0.13182590420533, half = 1.5e-7;
    setArea(*deep, re - half, re + half, im + half * 0.75, im - half * 0.75);
    expectSameOnEveryPath(*deep);

    auto julia = record(kTypeJulia, 700);
    julia->params().setBigFixed("Cr", BigFixed::fromDouble(-0.8));
    julia->params().setBigFixed("Ci", BigFixed::fromDouble(0.156));
    expectSameOnEveryPath(*julia);
}

// Bailouts at the ends of the single-precision test: huge (clamped to the largest
// float), a float boundary, zero, negative (every orbit leaves at once) and NaN (none
// ever leaves; the orbits overflow to infinities and NaN on the way).
TEST(EscapeBatchTest, BailoutExtremes) {
    auto r = record(kTypeMandel, 400);
    setArea(*r, -3.0, 3.0, 2.0, -2.0);
    EscapeParams params = readEscapeParams(*r);
    const PixelMapping mapping = pixelMapping(*r, kRaster);
    for (double bailout : {1e300, std::numeric_limits<double>::infinity(), 1e30, 4.0000001, 0.0,
                           -1.0, std::numeric_limits<double>::quiet_NaN()}) {
        SCOPED_TRACE(bailout);
        params.bailout = bailout;
        expectSameOnEveryPath(params, mapping);
    }
}

// The threshold is the first magnitude whose float rounding passes the bailout; a
// magnitude exactly on it (a rounding tie that goes up) must leave at that very step.
TEST(EscapeBatchTest, ThresholdTies) {
    auto julia = record(kTypeJulia, 100);
    EscapeParams params = readEscapeParams(*julia);
    for (double bailout : {4.0, 4.0 + 0x1p-21, 1e30, 0.5}) {
        params.bailout = bailout;
        const double threshold = fastEscapeThreshold(params);
        EXPECT_GT(static_cast<float>(threshold), static_cast<float>(bailout));
        EXPECT_LE(static_cast<float>(std::nextafter(threshold, 0.0)), static_cast<float>(bailout));
    }
    // 4 + 3 2^-22 lies halfway between 4 + 2^-21 and 4 + 2^-20 and rounds up to the even one.
    params.bailout = 4.0 + 0x1p-21;
    PixelMapping mapping;
    mapping.originRe = 2.0;
    mapping.originIm = std::sqrt(0.75) * 0x1p-10;
    mapping.columnIm = 0x1p-60;
    const double magnitude = 4.0 + mapping.originIm * mapping.originIm;
    ASSERT_EQ(magnitude, 4.0 + 3 * 0x1p-22);
    ASSERT_EQ(fastEscapeThreshold(params), magnitude);
    expectSameOnEveryPath(params, mapping);
}

// Points so far out that the first squares overflow, with the bailout unreachable, and
// the epilogue's other parts: circle inversion and a measure that uses the final z.
TEST(EscapeBatchTest, OverflowInversionAndMeasures) {
    auto far = record(kTypeJulia, 50);
    setArea(*far, -1e200, 1e200, 1e160, -1e160);
    EscapeParams params = readEscapeParams(*far);
    params.bailout = std::numeric_limits<double>::quiet_NaN();
    expectSameOnEveryPath(params, pixelMapping(*far, kRaster));

    auto inverted = record(kTypeMandel, 200);
    inverted->params().setInteger("Inversion", 1);
    inverted->params().setBigFixed("InvCenterX", BigFixed::fromDouble(-0.5));
    inverted->params().setReal("InvRadius", 0.3);
    inverted->params().setInteger("Outside", kMeasurePotential);
    inverted->params().setInteger("Inside", kInsideMagnitude);
    expectSameOnEveryPath(*inverted);
}

} // namespace
} // namespace vortimax
