#include "driver_view.h"
#include "render/colour/colour_row.h"
#include "render/dynamics/lyapunov_kernel.h"

#include <bit>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace vortimax {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr float kLargest = std::numeric_limits<float>::max();

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
    return lyapunovExponent(p, a, b, nullptr).value();
}

TEST(ForcingSequence, BSelectsBAnythingElseAAtMost49) {
    auto letters = [](std::string_view text) {
        const ForcingSequence s = forcingSequence(text);
        std::string out;
        for (int i = 0; i < s.count; ++i)
            out += s.steps[static_cast<std::size_t>(i)] == Forcing::B ? 'b' : 'a';
        return out;
    };
    EXPECT_EQ(letters(""), "a");
    EXPECT_EQ(letters("bB x\x01"
                      "A"),
              "bbaaaa");
    EXPECT_EQ(letters(std::string(60, 'B')), std::string(49, 'b'));
}

// Each map at a parameter with a stable fixed point x*: the exponent is log2 |f'(x*)|, and
// the value -20 times that.
TEST(LyapunovExponent, StableFixedPointsOfEveryMap) {
    const double k = 0.5 / std::sin(kPi / 3); // map 4: x* = K/4 where x* + r = pi/6
    const struct {
        int map;
        double r, start, lambda;
    } cases[] = {
        {0, 2.5, 0.3, -1.0},                                    // x* = 0.6, f' = -0.5
        {1, 0.5, 0.5, -1.0},                                    // x* = 1, f' = 0.5
        {2, 0.25 / std::sin(kPi / 4), 0.2, std::log2(kPi / 4)}, // x* = 0.25
        {3, 0.5 / kPi, 0.9, -1.0},                              // x* = 1, f' = 0.5
        {4, kPi / 6 - k / 4, k / 4, -1.0},                      // f' = 0.5
    };
    for (const auto& c : cases) {
        LyapunovParams p = params(c.map, c.start);
        p.k = k;
        const double lambda = exponent(p, c.r, c.r);
        EXPECT_NEAR(lambda, c.lambda, 1e-6) << "map " << c.map;
        EXPECT_NEAR(lyapunovValue(p, lambda), -20.0 * c.lambda, 1e-4) << "map " << c.map;
    }
}

// r = 4 makes the logistic map chaotic at one bit per step: the reserved colour unless
// Chaos is on. Past 10000 steps the exponent limit ends the measurement: half as much.
TEST(LyapunovExponent, ChaoticPointsAndTheExponentLimit) {
    LyapunovParams p = params(0, 0.3);
    p.maxIter = 8000;
    const double lambda = exponent(p, 4.0, 4.0);
    EXPECT_NEAR(lambda, 1.0, 0.02);
    EXPECT_EQ(lyapunovValue(p, lambda), -1.0f);
    p.chaos = true;
    EXPECT_FLOAT_EQ(lyapunovValue(p, lambda), static_cast<float>(10.0 * lambda));
    p.maxIter = 20000;
    EXPECT_NEAR(exponent(p, 4.0, 4.0), 0.5, 0.01);
}

// A zero slope (a = 0, or the superstable 0.5 of r = 2) ends the measurement at minus
// infinity: the largest value. An orbit running off to infinity counts as chaotic, and
// no ChaosColor turns it into NaN or 0.0.
TEST(LyapunovExponent, ZeroSlopesAndEscapingOrbitsEndWithFiniteValues) {
    LyapunovParams p = params(0, 0.5);
    p.maxIter = 2000000000;
    for (double r : {0.0, 2.0}) {
        EXPECT_EQ(exponent(p, r, r), -kInfinity) << r;
        EXPECT_EQ(lyapunovValue(p, -kInfinity), kLargest);
    }
    EXPECT_EQ(exponent(p, 10.0, 10.0), kInfinity);
    EXPECT_EQ(lyapunovValue(p, kInfinity), -1.0f);
    p.chaos = true;
    for (double colour : {1.0, -1.0, 0.0}) {
        p.chaosColour = colour;
        EXPECT_EQ(lyapunovValue(p, kInfinity), colour == 0.0 ? kLyapunovZero : colour * kLargest);
    }
}

// With a = b the sequence cannot matter; b is used where the sequence says b.
TEST(LyapunovExponent, SequenceChoosesTheParameterOfEachStep) {
    for (double r : {2.9, 3.5, 3.83, 3.99}) {
        const auto single = std::bit_cast<std::uint64_t>(exponent(params(0, 0.5, "a"), r, r));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(exponent(params(0, 0.5, "ab"), r, r)), single);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(exponent(params(0, 0.5, "B"), 1.0, r)), single);
    }
    EXPECT_NE(exponent(params(0, 0.5, "ab"), 2.5, 3.9), exponent(params(0, 0.5, "a"), 2.5, 3.9));
}

TEST(LyapunovExponent, LongOrbitsAskWhetherToStopEvery65536Steps) {
    LyapunovParams p = params(0, 0.3);
    p.settle = 10 * kLyapunovStepsPerLook;
    int asked = 0;
    EXPECT_FALSE(lyapunovExponent(p, 3.9, 3.9, [&] { return ++asked == 2; }).has_value());
    EXPECT_EQ(asked, 2);
}

// 0.0 marks an uncalculated pixel: what would be 0.0 is stored as kLyapunovZero, which
// every colour rule, in 8 and 24 bit, paints as it paints 0.0.
TEST(LyapunovValue, ZeroIsStoredAsAValueOfTheSameColour) {
    LyapunovParams p;
    p.chaos = true;
    for (double lambda : {0.0, 1e-300, -1e-300})
        EXPECT_EQ(lyapunovValue(p, lambda), kLyapunovZero) << lambda;
    auto record = createRecord(kTypeLyapunov, 0, RecordCreationContext{});
    for (int depth : {8, 24}) {
        for (const char* rule : {"0", "1", "2", "3"}) {
            record->displayDepth = depth;
            test::set(*record, "ColormodeType", rule);
            test::DriverView driver(*record, 4, 1);
            driver.view->buffers().value(1, 0) = kLyapunovZero;
            colourRow(*driver.view, 0, 0, 2, 1);
            const std::uint8_t* pixels = driver.view->buffers().pixels.data();
            EXPECT_TRUE(std::equal(pixels, pixels + depth / 8, pixels + depth / 8)) << rule;
        }
    }
}

class LyapunovDriverTest : public ::testing::Test {
protected:
    LyapunovDriverTest() : record(createRecord(kTypeLyapunov, 0, RecordCreationContext{})) {
        record->displayDepth = 24;
        test::setArea(*record, "2", "4", "2", "4");
    }
    std::unique_ptr<FractalRecord> record;
};

// The column step spans the area in `width` steps: the spare column lies on the right
// edge (a = 4), which a step of width / (width - 1) would pass.
TEST_F(LyapunovDriverTest, PixelsMapOverTheWholeWidth) {
    test::DriverView driver(*record, 32, 16);
    driver.calculate();
    const LyapunovParams p = readLyapunovParams(*record);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x <= 32; ++x)
            ASSERT_EQ(driver.view->buffers().value(x, y),
                      lyapunovValue(p, exponent(p, 2.0 + x * 0.0625, 2.0 + y * 0.125)))
                << x << ", " << y;
}

TEST_F(LyapunovDriverTest, EveryThreadCountGivesTheSameImage) {
    for (std::uint32_t subtype : {0u, 4u}) {
        record->subtype = subtype;
        EXPECT_EQ(test::renderImage(*record, 64, 48, 1), test::renderImage(*record, 64, 48, 3));
    }
}

// A stop leaves part of the image; the next calculation fills in the rest and ends with
// the image of an uninterrupted one.
TEST_F(LyapunovDriverTest, StoppedCalculationsResume) {
    const auto whole = test::renderImage(*record, 64, 48, 2);
    test::DriverView driver(*record, 64, 48);
    driver.stopAfterRows(20); // in the third pass
    driver.calculate();
    EXPECT_GT(driver.uncalculated(), 64 * 48 / 2);
    EXPECT_LT(driver.uncalculated(), 65 * 48);
    driver.carryOn();
    driver.calculate();
    EXPECT_EQ(driver.uncalculated(), 0);
    EXPECT_EQ(driver.image(), whole);
}

} // namespace
} // namespace vortimax
