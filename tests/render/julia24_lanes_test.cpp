#include "model/fractal_record.h"
#include "model/fractal_view.h"
#include "model/type_registry.h"
#include "render/escape/escape_batch.h"
#include "render/escape/fast_orbit_lanes.h"
#include "render/escape/julia24_driver.h"
#include "render/escape/julia24_row_kernel.h"
#include "stopped_row.h"

#include <bit>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <vector>

namespace vortimax {
namespace {

constexpr int kWidth = 48;
constexpr int kHeight = 10;

std::uint32_t bitsOf(float v) {
    return std::bit_cast<std::uint32_t>(v);
}

// A Julia24 or Mandel24 calculation over an area where some orbits escape at once, some
// late and some stay.
Julia24Params params(bool mandel, bool cubic, int outside, int inside, std::int32_t maxIter) {
    Julia24Params p;
    p.mandel = mandel;
    p.cubic = cubic;
    p.constant = mandel ? Complex{0.0, 0.0} : Complex{-0.12, 0.74};
    p.maxIter = maxIter;
    p.bailout = 16.0;
    p.outside = outside;
    p.inside = inside;
    p.insideMult = 3.0;
    prepareOutsideParams(p.decomposition);
    return p;
}

PixelMapping area() {
    PixelMapping m;
    m.originRe = -2.1;
    m.originIm = -1.3;
    m.columnRe = 3.3 / kWidth;
    m.rowIm = 2.6 / kHeight;
    return m;
}

// Every path computes rows (and batches) with gaps between the columns exactly as
// julia24Value computes each pixel.
void expectImageMatches(const Julia24Params& p, const PixelMapping& mapping) {
    for (KernelPath path : availablePaths()) {
        SCOPED_TRACE(static_cast<int>(path));
        Julia24RowKernel kernel(p, mapping, path);
        for (int y = 0; y < kHeight; ++y) {
            std::vector<int> columns;
            for (int x = y % 3; x < kWidth; x += 1 + x % 2)
                columns.push_back(x);
            std::vector<float> values(columns.size(), 0.0f);
            PixelRow row{y, columns, values, nullptr};
            kernel(row);
            PixelBatch batch;
            batch.row = y;
            for (int x = kWidth - 1; x >= 0 && batch.count < kPixelBatchSize; x -= 3)
                batch.columns[static_cast<std::size_t>(batch.count++)] = x;
            kernel(batch);
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const float expected = julia24Value(p, mapping.pointFor(columns[i], y));
                ASSERT_EQ(bitsOf(values[i]), bitsOf(expected))
                    << "row at " << columns[i] << "," << y;
            }
            for (int i = 0; i < batch.count; ++i) {
                const int x = batch.columns[static_cast<std::size_t>(i)];
                const float expected = julia24Value(p, mapping.pointFor(x, y));
                ASSERT_EQ(bitsOf(batch.values[static_cast<std::size_t>(i)]), bitsOf(expected))
                    << "batch at " << x << "," << y;
            }
        }
    }
}

// Both types and subtypes, every outside and inside rule (and one unknown each), short
// and long orbits (MaxIter 0 stays with the scalar loop): the fast loop, the derivative
// loop with and without tracking.
TEST(Julia24LanesTest, ImagesMatchPixelValues) {
    for (bool mandel : {false, true})
        for (bool cubic : {false, true})
            for (int outside = 0; outside <= kOutside24Count; ++outside)
                for (int inside = 0; inside <= kInside24Count; ++inside)
                    for (std::int32_t maxIter : {0, 1, 2, 3, 150}) {
                        SCOPED_TRACE(testing::Message()
                                     << mandel << cubic << " outside " << outside << " inside "
                                     << inside << " MaxIter " << maxIter);
                        expectImageMatches(params(mandel, cubic, outside, inside, maxIter), area());
                    }
}

// Decomposition replacing or adding to the value, circle inversion with its centre on a
// pixel (sent to the far point), a Mandel constant away from the origin, and bailouts that
// let orbits overflow to infinity and NaN (the fast loop's single-precision bailout
// becomes infinite) or that every orbit passes at once.
TEST(Julia24LanesTest, DecompositionInversionAndUnboundedOrbits) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    for (bool mandel : {false, true})
        for (bool cubic : {false, true})
            for (int outside = 0; outside < kOutside24Count; ++outside)
                for (int inside : {kInside24Magnitude, kInside24Supremum, kInside24InfIndex}) {
                    SCOPED_TRACE(testing::Message() << mandel << cubic << outside << inside);
                    Julia24Params p = params(mandel, cubic, outside, inside, 60);
                    if (mandel)
                        p.constant = Complex{0.3, -0.2};
                    for (std::int32_t coding : {0, 5, -3}) {
                        p.decomposition.decomposition = true;
                        p.decomposition.coding = coding;
                        p.decomposition.decFactor = 1.5;
                        prepareOutsideParams(p.decomposition);
                        expectImageMatches(p, area());
                    }
                    p.decomposition.decomposition = false;
                    p.inversion.enabled = true;
                    p.inversion.centreRe = area().pointFor(20, 0).re;
                    p.inversion.centreIm = area().pointFor(20, 5).im;
                    p.inversion.radius = 0.8;
                    expectImageMatches(p, area());
                    p.inversion.enabled = false;
                    for (double bailout : {1e300, kInfinity, -1.0}) {
                        p.bailout = bailout;
                        expectImageMatches(p, area());
                    }
                }
}

// A stopped row keeps the pixels finished before, with their exact values, leaves the
// others at 0.0 and looks at the command word at least once per batch of ended orbits.
TEST(Julia24LanesTest, StoppedRowKeepsOnlyFinishedPixels) {
    for (bool fast : {true, false}) {
        const Julia24Params p =
            params(true, false, kOutside24Cpm, fast ? kInside24Black : kInside24Supremum, 300);
        PixelMapping mapping = area();
        mapping.columnRe = 3.3 / 1000;
        for (KernelPath path : availablePaths()) {
            SCOPED_TRACE(testing::Message() << fast << " path " << static_cast<int>(path));
            Julia24RowKernel kernel(p, mapping, path);
            const int finished = test::finishedInStoppedRow(
                kernel, 5, 1000, [&](int x) { return julia24Value(p, mapping.pointFor(x, 5)); });
            EXPECT_GE(finished, 2 * kOrbitsBetweenStopChecks);
            EXPECT_LE(finished, 3 * kPixelBatchSize);
        }
    }
}

// The driver's passes leave every pixel of the image with the value julia24Value gives it.
TEST(Julia24LanesTest, RenderedImageHoldsThePixelValues) {
    for (std::uint32_t type : {kTypeJulia24, kTypeMandel24})
        for (int outside : {kOutside24Cpm, kOutside24Dem}) {
            ViewEnvironment environment;
            auto record = createRecord(type, 0, RecordCreationContext{});
            record->width = 70;
            record->height = 30;
            record->params().setInteger("Outside", outside);
            FractalView view(*record, environment);
            allocateBuffers(BufferLayout{70, 30, 24}, view.buffers());
            calculateJulia24(view, 0, 0, 69, 29);
            const Julia24Params p = readJulia24Params(*record);
            const PixelMapping mapping = pixelMapping(*record, RasterSize{70, 30});
            for (int y = 0; y < 30; ++y)
                for (int x = 0; x < 70; ++x)
                    ASSERT_EQ(bitsOf(view.buffers().value(x, y)),
                              bitsOf(julia24Value(p, mapping.pointFor(x, y))))
                        << type << " " << outside << " at " << x << "," << y;
        }
}

} // namespace
} // namespace vortimax
