#include "driver_view.h"
#include "render/colour_row.h"
#include "render/dynamics/lyapunov_kernel.h"

#include <bit>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace vortimax {
namespace {

using test::DriverView;
using test::renderImage;
using test::set;

constexpr double kPi = 3.141592653589793;

LyapunovParams params(int map, double start, std::string_view sequence = "a") {
    LyapunovParams p;
    p.map = map;
    p.start = start;
    p.settle = 300;
    p.maxIter = 3000;
    p.sequence = forcingSequence(sequence);
    return p;
}

double exponent(const LyapunovParams& p, double a, double b) {
    const std::optional<double> lambda = lyapunovExponent(p, a, b, nullptr);
    EXPECT_TRUE(lambda.has_value());
    return lambda.value_or(0.0);
}

TEST(ForcingSequence, LettersBecomeParametersAndTheLengthIsBounded) {
    auto steps = [](std::string_view text) {
        const ForcingSequence s = forcingSequence(text);
        std::string letters;
        for (int i = 0; i < s.count; ++i)
            letters += s.steps[static_cast<std::size_t>(i)] == Forcing::B ? 'b' : 'a';
        return letters;
    };
    EXPECT_EQ(steps(""), "a");
    EXPECT_EQ(steps("BA"), "ba");
    EXPECT_EQ(steps("bB x\x01"
                    "A"),
              "bbaaaa");
    EXPECT_EQ(steps(std::string(60, 'B')), std::string(49, 'b'));
}

// Each map at a parameter with a stable fixed point x*: the exponent is log2 |f'(x*)|, and
// the value -20 times that.
TEST(LyapunovExponent, StableFixedPointsOfEveryMap) {
    const double k4 = 0.5 / std::sin(kPi / 3); // K of map 4, whose fixed point is K / 4
    struct Case {
        int map;
        double r, start, lambda;
    } cases[] = {
        {0, 2.5, 0.3, -1.0},                                    // x* = 0.6, f' = -0.5
        {1, 0.5, 0.5, -1.0},                                    // x* = 1, f' = 0.5
        {2, 0.25 / std::sin(kPi / 4), 0.2, std::log2(kPi / 4)}, // x* = 0.25
        {3, 0.5 / kPi, 0.9, -1.0},                              // x* = 1, f' = 0.5
        {4, kPi / 6 - k4 / 4, k4 / 4, -1.0},                    // x* + r = pi/6, f' = 0.5
    };
    for (const Case& c : cases) {
        LyapunovParams p = params(c.map, c.start);
        p.k = k4;
        const double lambda = exponent(p, c.r, c.r);
        EXPECT_NEAR(lambda, c.lambda, 1e-6) << "map " << c.map;
        EXPECT_NEAR(lyapunovValue(p, lambda), -20.0 * c.lambda, 1e-4) << "map " << c.map;
    }
}

// r = 4 makes the logistic map chaotic with an exponent of one bit per step: the reserved
// colour with Chaos off, ChaosColor times the exponent with it on. Beyond 10000 steps the
// exponent limit would end the measurement and halve the result.
TEST(LyapunovExponent, ChaoticPointsTakeTheReservedColourUnlessChaosIsOn) {
    LyapunovParams p = params(0, 0.3);
    p.maxIter = 8000;
    const double lambda = exponent(p, 4.0, 4.0);
    EXPECT_NEAR(lambda, 1.0, 0.02);
    p.maxIter = 20000;
    EXPECT_NEAR(exponent(p, 4.0, 4.0), 0.5, 0.01);
    EXPECT_EQ(lyapunovValue(p, lambda), -1.0f);
    p.chaos = true;
    p.chaosColour = 10.0;
    EXPECT_FLOAT_EQ(lyapunovValue(p, lambda), static_cast<float>(10.0 * lambda));
}

// A slope of exactly zero (a = 0, or the superstable point 0.5 of r = 2) ends the
// measurement with an exponent of minus infinity; the pixel gets the largest value.
TEST(LyapunovExponent, ZeroSlopesTerminateAsSuperstablePoints) {
    for (double r : {0.0, 2.0}) {
        LyapunovParams p = params(0, 0.5);
        p.maxIter = 2000000000;
        const double lambda = exponent(p, r, r);
        EXPECT_EQ(lambda, -std::numeric_limits<double>::infinity()) << r;
        EXPECT_EQ(lyapunovValue(p, lambda), std::numeric_limits<float>::max()) << r;
    }
}

// An orbit that runs off to infinity has no finite exponent: it counts as chaotic, and
// no ChaosColor makes its value NaN or 0.0.
TEST(LyapunovExponent, EscapingOrbitsAreChaoticWithFiniteValues) {
    LyapunovParams p = params(0, 0.5);
    const double lambda = exponent(p, 10.0, 10.0);
    EXPECT_EQ(lambda, std::numeric_limits<double>::infinity());
    EXPECT_EQ(lyapunovValue(p, lambda), -1.0f);
    p.chaos = true;
    EXPECT_EQ(lyapunovValue(p, lambda), std::numeric_limits<float>::max());
    p.chaosColour = -1.0;
    EXPECT_EQ(lyapunovValue(p, lambda), -std::numeric_limits<float>::max());
    p.chaosColour = 0.0;
    EXPECT_EQ(lyapunovValue(p, lambda), kLyapunovZero);
}

// Slopes of about 2^21 per step pass the exponent limit of 10000 after some 470 of the
// 100000 steps: the measurement ends there, and the sum is divided by all of MaxIter.
TEST(LyapunovExponent, HugeExponentSumsEndTheMeasurementEarly) {
    LyapunovParams p = params(2, 0.3);
    p.maxIter = 100000;
    const double sum = exponent(p, 1e6, 1e6) * static_cast<double>(p.maxIter);
    EXPECT_GT(sum, 10000.0);
    EXPECT_LT(sum, 10023.0);
}

// With a = b the sequence cannot matter; b is used where the sequence says b.
TEST(LyapunovExponent, SequenceChoosesTheParameterOfEachStep) {
    for (double r : {2.9, 3.5, 3.83, 3.99}) {
        const double single = exponent(params(0, 0.5, "a"), r, r);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(exponent(params(0, 0.5, "ab"), r, r)),
                  std::bit_cast<std::uint64_t>(single))
            << r;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(exponent(params(0, 0.5, "B"), 1.0, r)),
                  std::bit_cast<std::uint64_t>(single))
            << r;
    }
    EXPECT_NE(exponent(params(0, 0.5, "ab"), 2.5, 3.9), exponent(params(0, 0.5, "a"), 2.5, 3.9));
}

// The stop request is asked between rounds of 65536 steps of a long orbit, and a yes
// leaves the pixel without a value.
TEST(LyapunovExponent, LongOrbitsAskWhetherToStop) {
    LyapunovParams p = params(0, 0.3);
    p.settle = 10 * kLyapunovStepsPerLook;
    int asked = 0;
    EXPECT_FALSE(lyapunovExponent(p, 3.9, 3.9, [&] { return ++asked == 2; }).has_value());
    EXPECT_EQ(asked, 2);
    p.settle = kLyapunovStepsPerLook; // one round: never asked
    EXPECT_TRUE(lyapunovExponent(p, 3.9, 3.9, [&] { return ++asked > 0; }).has_value());
    EXPECT_EQ(asked, 2);
}

// 0.0 marks an uncalculated pixel, so an exponent of zero (or one whose value underflows
// the float) is stored as kLyapunovZero, which every colour rule paints as 0.0.
TEST(LyapunovValue, ZeroIsStoredAsAValueOfTheSameColour) {
    LyapunovParams p;
    p.chaos = true;
    EXPECT_EQ(lyapunovValue(p, 0.0), kLyapunovZero);
    EXPECT_EQ(lyapunovValue(p, 1e-300), kLyapunovZero);
    EXPECT_EQ(lyapunovValue(p, -1e-300), kLyapunovZero);
    p.chaos = false;
    EXPECT_EQ(lyapunovValue(p, 0.0), -1.0f);
    EXPECT_NE(kLyapunovZero, 0.0f);

    auto record = createRecord(kTypeLyapunov, 0, RecordCreationContext{});
    for (int depth : {8, 24}) {
        for (const char* rule : {"0", "1", "2", "3"}) {
            record->displayDepth = depth;
            set(*record, "ColormodeType", rule);
            DriverView driver(*record, 4, 1);
            driver.view->buffers().value(0, 0) = 0.0f;
            driver.view->buffers().value(1, 0) = kLyapunovZero;
            colourRow(*driver.view, 0, 0, 2, 1);
            const int bytes = depth / 8;
            const std::vector<std::uint8_t>& pixels = driver.pixels();
            EXPECT_TRUE(std::equal(pixels.begin(), pixels.begin() + bytes, pixels.begin() + bytes))
                << depth << " bit, rule " << rule;
        }
    }
}

class LyapunovDriverTest : public ::testing::Test {
protected:
    LyapunovDriverTest() : record(createRecord(kTypeLyapunov, 0, RecordCreationContext{})) {
        record->displayDepth = 24;
        set(*record, "TopLeftR", "2");
        set(*record, "BottomRightR", "4");
        set(*record, "BottomRightI", "2");
        set(*record, "TopLeftI", "4");
    }
    std::unique_ptr<FractalRecord> record;
};

// The column step spans the area's width in `width` steps and the row step its height in
// `height` steps: the spare column lies on the right edge, the top row one step below the
// top edge.
TEST_F(LyapunovDriverTest, PixelsMapOverTheWholeWidth) {
    DriverView driver(*record, 32, 16);
    driver.calculate();
    const LyapunovParams p = readLyapunovParams(*record);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x <= 32; ++x) {
            const double a = 2.0 + x * 0.0625, b = 2.0 + y * 0.125;
            const float expected = lyapunovValue(p, *lyapunovExponent(p, a, b, nullptr));
            ASSERT_EQ(std::bit_cast<std::uint32_t>(driver.value(x, y)),
                      std::bit_cast<std::uint32_t>(expected))
                << x << ", " << y;
        }
    }
}

TEST_F(LyapunovDriverTest, EveryThreadCountGivesTheSameImage) {
    for (std::uint32_t subtype : {0u, 4u}) {
        record->subtype = subtype;
        const test::Image one = renderImage(*record, 64, 48, 1);
        EXPECT_EQ(std::count(one.values.begin(), one.values.end(), 0.0f), 0);
        EXPECT_TRUE(one == renderImage(*record, 64, 48, 3)) << subtype;
    }
}

// A stop after a few rows leaves part of the image; the next calculation computes only
// what is missing and ends with the image of an uninterrupted one.
TEST_F(LyapunovDriverTest, StoppedCalculationsResume) {
    const test::Image whole = renderImage(*record, 64, 48, 2);
    const test::PoolThreads pool(2);
    DriverView driver(*record, 64, 48);
    const auto colour = driver.environment.hooks.colourRow;
    int rows = 0;
    driver.environment.hooks.colourRow = [&](FractalView& v, int x, int row, int count, int b) {
        colour(v, x, row, count, b);
        if (++rows == 20)
            driver.pause();
    };
    driver.calculate();
    const auto missing = std::count(driver.values().begin(), driver.values().end(), 0.0f);
    EXPECT_GT(missing, 64 * 48 / 2);
    EXPECT_LT(missing, 65 * 48);
    driver.release();
    rows = -1000000; // no second stop
    driver.calculate();
    EXPECT_TRUE((test::Image{driver.values(), driver.pixels()} == whole));
}

} // namespace
} // namespace vortimax
