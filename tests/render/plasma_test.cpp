#include "formula/random_generator.h"
#include "model/fractal_view.h"
#include "model/param_text.h"
#include "render/colour/colour_mapping.h"
#include "render/colour/colouring_hooks.h"
#include "render/drivers.h"
#include "render/dynamics/plasma_cloud.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace vortimax {
namespace {

// The values of a cloud in a grid of the given size with the spare column of a view's
// value buffer; `stopAt` stops it at that look at the command word (0: never).
struct Cloud {
    int width, height;
    std::vector<float> cells;
    bool finished = false;

    Cloud(const PlasmaParams& params, int w, int h, int stopAt = 0)
        : width(w), height(h), cells(static_cast<std::size_t>(w + 1) * h, 0.0f) {
        fill(params, stopAt);
    }
    void fill(const PlasmaParams& params, int stopAt = 0) {
        int looks = 0;
        finished = fillPlasma(
            ValueGrid{cells.data(), width, height, width + 1}, params,
            [&] { return ++looks == stopAt; }, [](double) {});
    }
    float at(int x, int y) const { return cells[static_cast<std::size_t>(y) * (width + 1) + x]; }
};

// The sum of four 31-bit draws needs 33 bits: a 32-bit sum would wrap and turn the
// largest samples into the most negative ones.
TEST(Plasma, GaussianSampleTakesTheSumOfFourDrawsWhole) {
    EXPECT_DOUBLE_EQ(gaussianFromDraws(0), -3.4641016);
    EXPECT_NEAR(gaussianFromDraws(4ull * 0x7FFFFFFF), 3.4641016, 1e-6);
    int wide = 0;
    for (std::uint32_t start = 1; start < 200; ++start) {
        std::uint32_t mine = start, reference = start;
        std::uint64_t sum = 0;
        for (int n = 0; n < 4; ++n)
            sum += nextRandom(reference);
        EXPECT_EQ(drawGaussian(mine), gaussianFromDraws(sum));
        EXPECT_EQ(mine, reference); // four draws, no more
        wide += sum > 0xFFFFFFFFull ? 1 : 0;
    }
    EXPECT_GT(wide, 20); // the sums that need the 33rd bit were met
}

TEST(Plasma, SameParametersGiveTheSameCloudAndAnotherSeedAnother) {
    const PlasmaParams params{0.4, 0.3, 1000};
    const Cloud first(params, 97, 61);
    const Cloud again(params, 97, 61);
    ASSERT_TRUE(first.finished);
    EXPECT_EQ(first.cells, again.cells);
    const Cloud other({0.4, 0.3, 1001}, 97, 61);
    int differing = 0;
    for (std::size_t i = 0; i < first.cells.size(); ++i)
        differing += first.cells[i] != other.cells[i] ? 1 : 0;
    EXPECT_GT(differing, 97 * 61 * 9 / 10);
}

// Every pixel of any shape gets a finite value; the spare column stays empty.
TEST(Plasma, EveryPixelOfAnyShapeGetsAValue) {
    for (auto [w, h] : {std::pair{1, 1}, {2, 1}, {1, 7}, {3, 5}, {17, 4}, {64, 48}, {4000, 3}}) {
        const Cloud cloud({0.4, 0.0, 77}, w, h);
        int empty = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                empty += cloud.at(x, y) == 0.0f ? 1 : 0;
                ASSERT_TRUE(std::isfinite(cloud.at(x, y)));
            }
            EXPECT_EQ(cloud.at(w, y), 0.0f);
        }
        EXPECT_EQ(empty, 0) << w << "x" << h;
    }
}

// A stop leaves what was computed; the next calculation starts again from the seed and
// gives the cloud an unstopped one gives.
TEST(Plasma, AStoppedCloudStartsAgain) {
    const PlasmaParams params{0.4, 0.5, 31};
    Cloud cloud(params, 50, 40, 300);
    EXPECT_FALSE(cloud.finished);
    const int computed = static_cast<int>(
        std::count_if(cloud.cells.begin(), cloud.cells.end(), [](float v) { return v != 0.0f; }));
    EXPECT_GT(computed, 4);
    EXPECT_LT(computed, 50 * 40);
    cloud.fill(params);
    EXPECT_TRUE(cloud.finished);
    EXPECT_EQ(cloud.cells, Cloud(params, 50, 40).cells);
}

// The driver gives the record's cloud and colours it at the end by the values' size:
// a negative value takes the colour of its absolute value.
TEST(Plasma, DriverColoursTheCloudByAbsoluteValue) {
    ViewEnvironment environment;
    installDrivers(environment.drivers);
    installColouring(environment.hooks);
    auto record = createRecord(kTypePlasma, 0, RecordCreationContext{});
    record->width = 40;
    record->height = 30;
    ASSERT_TRUE(setByKey(record->params(), "Seed", "4242"));
    FractalView view(*record, environment);
    ASSERT_TRUE(allocateBuffers(BufferLayout{40, 30, 8, false, false, false, 24}, view.buffers()));
    environment.drivers[kTypePlasma](view, 0, 0, 40, 29);
    const Cloud expected({0.4, 0.0, 4242}, 40, 30);
    EXPECT_EQ(view.buffers().values, expected.cells);
    const PaletteMapping mapping(readColourSettings(*record));
    int negative = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const double v = expected.at(x, y);
            negative += v < 0 ? 1 : 0;
            EXPECT_EQ(view.buffers().pixelRow(y)[x],
                      static_cast<std::uint8_t>(mapping.position(std::fabs(v))));
        }
    EXPECT_GT(negative, 0);
}

} // namespace
} // namespace vortimax
