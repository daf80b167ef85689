#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "render/tierazon/tiera_row_kernel.h"

#include <gtest/gtest.h>
#include <numeric>

namespace vortimax {
namespace {

constexpr RasterSize kRaster{37, 23};

// The three value buffers of a whole raster computed row by row by one kernel.
struct Channels {
    std::vector<float> first, second, third;
};

Channels runKernel(const FractalRecord& record, KernelPath path, TieraRoute route,
                   bool expectLanes) {
    const TieraParams params = readTieraParams(record);
    const PixelMapping mapping = pixelMapping(record, kRaster);
    ImageBuffers buffers;
    EXPECT_TRUE(
        allocateBuffers({kRaster.width, kRaster.height, 24, false, true, false, 24}, buffers));
    TieraRowKernel kernel(params, mapping, buffers, path, route);
    EXPECT_EQ(kernel.usesLanes(), expectLanes);
    std::vector<int> columns(kRaster.width);
    std::iota(columns.begin(), columns.end(), 0);
    for (int y = 0; y < kRaster.height; ++y) {
        PixelRow row;
        row.row = y;
        row.columns = columns;
        row.values = std::span<float>(&buffers.value(0, y), columns.size());
        kernel(row);
    }
    return {buffers.values, buffers.tierazon1, buffers.tierazon2};
}

struct Case {
    bool mandel;
    std::uint32_t subtype;
    bool finite;
};

// The filter "None" with a method that reads no saved value runs on the escape-time lanes
// (the fast loop, the general loop with and without the finite test, every lane subtype) and gives
// the same three buffers as the orbit of every pixel on its own.
TEST(TieraRowKernelTest, EscapeLanesGiveThePixelByPixelBuffers) {
    const Case cases[] = {{true, 0, false}, {false, 0, false}, {true, 0, true},
                          {true, 1, false}, {false, 3, true},  {true, 4, false}};
    for (const Case& c : cases) {
        auto r = createRecord(c.mandel ? kTypeTieraMandel : kTypeTieraJulia, c.subtype,
                              RecordCreationContext{});
        r->params().setInteger("MaxIter", 90);
        r->params().setInteger("TestForFinite", c.finite);
        r->params().setReal("Factor2", 0.5);
        r->params().setReal("Factor3", 2.0);
        for (int method : {0, 1, 4, 14, 16, 27, 33}) {
            r->params().setInteger("Operation", method);
            const Channels reference =
                runKernel(*r, KernelPath::Scalar, TieraRoute::PixelByPixel, false);
            for (KernelPath path : availablePaths()) {
                const bool fast = c.subtype == 0 && !c.finite;
                const Channels lanes =
                    runKernel(*r, path, TieraRoute::Best, fast || path != KernelPath::Scalar);
                const std::string where = "subtype " + std::to_string(c.subtype) + " method " +
                                          std::to_string(method) + " path " +
                                          std::to_string(static_cast<int>(path));
                EXPECT_EQ(lanes.first, reference.first) << where;
                EXPECT_EQ(lanes.second, reference.second) << where;
                EXPECT_EQ(lanes.third, reference.third) << where;
            }
        }
    }
}

// A filter other than "None", or a method that reads the saved value, needs every step of
// the orbit: those rows go pixel by pixel.
TEST(TieraRowKernelTest, OrbitWatchersGoPixelByPixel) {
    auto r = createRecord(kTypeTieraMandel, 0, RecordCreationContext{});
    r->params().setInteger("Operation", 2); // Sine of saved value
    EXPECT_FALSE(escapeOrbitSuffices(readTieraParams(*r)));
    r->params().setInteger("Operation", 1); // Sine of last z
    EXPECT_TRUE(escapeOrbitSuffices(readTieraParams(*r)));
    r->params().setInteger("Analysis", 12); // Stalks
    EXPECT_FALSE(escapeOrbitSuffices(readTieraParams(*r)));
    r->params().setInteger("Analysis", 36); // Mean (real)
    EXPECT_FALSE(escapeOrbitSuffices(readTieraParams(*r)));
}

// Methods marked as reading only the last z give the same channels whatever the saved
// value is, so the lanes (which keep no saved value) may compute them.
TEST(TieraRowKernelTest, LastZMethodsIgnoreTheSavedValue) {
    const MethodFactors factors;
    int lastZMethods = 0;
    for (int m = 0; m < kColourMethodCount; ++m) {
        const ColourMethod& method = colourMethod(m);
        if (method.reads != Reads::LastZ)
            continue;
        ++lastZMethods;
        for (Complex z : {Complex{0.3, -0.7}, Complex{-2.5, 1e-12}, Complex{40.0, 3.0}}) {
            TieraResult a;
            a.z = z;
            a.filter = 0.25;
            a.iterations = 7.0;
            a.maxIter = 50.0;
            a.plainValue = 7.0f;
            TieraResult b = a;
            a.saved = {0.0, 0.0};
            b.saved = {1.7, -0.3};
            applyColourMethod(method, factors, a);
            applyColourMethod(method, factors, b);
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(a.channel[i], b.channel[i]) << method.label;
        }
    }
    EXPECT_EQ(lastZMethods, 10);
}

} // namespace
} // namespace vortimax
