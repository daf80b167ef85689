#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "render/escape/outside_value.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace vortimax {
namespace {

constexpr double kE = 2.718281828459045;

std::unique_ptr<FractalRecord> mandel(std::uint32_t type = kTypeMandel) {
    auto record = createRecord(type, 0, RecordCreationContext{});
    record->params().setInteger("MaxIter", 100);
    return record;
}

double valueAt(const FractalRecord& record, double zr, double zi, double n = 10.0,
               double pixelRe = 0.0, double pixelIm = 0.0) {
    const OutsideParams p = readOutsideParams(record);
    return outsideValue(p, p.maxIter - n, zr, zi, pixelRe, pixelIm);
}

// Every measure by number at z = (e, e^2), n = 10, Outsidemult 2, Bailout e^2, pixel (3, 4),
// MaxIter 1000 (7, potential, has its own test); unknown numbers give the offset alone.
// Then, at the defaults: out-of-range results fall back (117 > MaxIter, exactly 0, negative,
// 180 degrees, NaN), MaxIter itself is allowed, measure 3 uses n when zi = 0, 5 takes the
// absolute angle and 6 the digits of the truncated constants that stored images depend on.
TEST(OutsideValueTest, Measures) {
    // clang-format off
    const double cases[][2] = {
        {0, 10.0}, {1, 22.43656365691809}, {2, 30.778112197861297}, {3, 7.357588823428847},
        {4, 40.21467585477939}, {5, 139.6049374248449}, {6, 12.436565810034555}, {8, 11.0},
        {9, 12.0}, {10, 12.0}, {11, 10.5}, {12, 13.0}, {13, 49531.51155218899}, {14, 0.0},
        {-1, 0.0}};
    const double edges[][4] = {
        {1, 100, 0, 0.0001}, {1, -17, 0, 0.0001}, {2, 0, -16.5, 0}, {2, 0, 84, 100}, {3, 1, 0, 10},
        {3, -1, 1, 0}, {4, -20, 0, 0}, {5, -1, 0, 0}, {5, 0, -1, 90}, {2, 0, std::nan(""), 0},
        {6, 0, 1, 1.57079632675 + 10}, {6, 0, -1, 4.71238898025 + 10}, {6, 0, 0, 10},
        {6, -1, 0, 3.1415926535 + 10}, {6, 1, -1, 6.283185307 - std::atan(1.0) + 10}};
    // clang-format on
    auto record = mandel();
    for (const auto& [outside, zr, zi, expected] : edges) {
        record->params().setInteger("Outside", static_cast<int>(outside));
        const double tolerance = outside == 5 ? 1e-8 : 1e-13; // 5 converts by the truncated pi
        EXPECT_NEAR(valueAt(*record, zr, zi), expected, tolerance)
            << outside << ": " << zr << "," << zi;
    }
    record->params().setInteger("MaxIter", 1000);
    record->params().setReal("Outsidemult", 2.0);
    record->params().setReal("Bailout", kE * kE);
    for (const auto& [outside, expected] : cases) {
        record->params().setInteger("Outside", static_cast<int>(outside));
        EXPECT_NEAR(valueAt(*record, kE, kE * kE, 10.0, 3.0, 4.0), expected, 1e-9) << outside;
    }
    record->params().setInteger("Outside", 0); // the count is at least 1
    EXPECT_EQ(valueAt(*record, kE, 0.0, 0.0), 1.0);
    EXPECT_EQ(valueAt(*record, kE, 0.0, -150.0), 1.0);
    EXPECT_EQ(valueAt(*mandel(kTypeLyapunov), 1.0, 1.0, 30.0), 30.0); // no outside parameters
}

TEST(OutsideValueTest, Potential) {
    auto record = mandel();
    record->params().setInteger("Outside", 7);
    record->params().setReal("Outsidemult", 100.0);
    record->params().setReal("PotSlope", 10.0);
    EXPECT_EQ(valueAt(*record, 0.6, 0.8), 99.0); // |z| <= 1 has no logarithm to take
    // log|z| = 16 over 2^(2 + 2) gives 1: 100 - 10 - 1.
    EXPECT_NEAR(valueAt(*record, std::exp(16.0), 0.0, 2.0), 89.0, 1e-9);
    EXPECT_EQ(potentialValue(std::exp(16.0), 2.0, 100.0, 1000.0), 1.0); // never below 1
    EXPECT_EQ(potentialValue(1e300, 1e13, 50.0, 1.0), 49.0); // 2^(k + 2) overflows: L = 0
}

// Coding > 0 replaces the value (whatever the measure) by the sector, <= 0 adds it.
TEST(OutsideValueTest, DecompositionSectors) {
    const double sectors[][3] = {{1.0, 0.0, 0.0},   {-1.0, 0.0, 0.0}, {0.0, 1.0, 1.0},
                                 {0.0, -1.0, 1.0},  {1.0, 0.99, 0.0}, {-1.0, 1.01, 1.0},
                                 {-1.0, -0.5, 0.0}, {1.0, -2.0, 1.0}}; // pi folds onto 0
    auto record = mandel();
    record->params().setInteger("Decomp", 1);
    record->params().setReal("DecFactor", 3.0);
    for (int coding : {4, -4}) { // Outside 1 is ignored when coding > 0
        record->params().setInteger("Coding", coding);
        record->params().setInteger("Outside", coding > 0 ? 1 : 0);
        for (const auto& [zr, zi, sector] : sectors)
            EXPECT_EQ(valueAt(*record, zr, zi), (coding > 0 ? 0.0 : 10.0) + (sector + 1) * 3)
                << coding << ": " << zr << "," << zi;
    }
    record->params().setInteger("Coding", 0); // a single sector
    EXPECT_EQ(valueAt(*record, 0.0, 1.0), 13.0);
    // Julia24 and Mandel24 keep the switch under their own key and ignore the measure; the
    // Formula type keeps copies under the Julia keys.
    for (std::uint32_t type : {kTypeJulia24, kTypeMandel24, kTypeFormula}) {
        auto other = mandel(type);
        other->params().setInteger(type == kTypeFormula ? "Decomp" : "Decomposition", 1);
        other->params().setInteger("Coding", 0);
        other->params().setInteger("Outside", 2);
        EXPECT_EQ(valueAt(*other, 0.0, 1.0), type == kTypeFormula ? 18.0 : 11.0) << type;
    }
}

TEST(OutsideValueTest, Biomorph) {
    auto record = mandel(); // the default Bailout 4: the sums must reach 2
    record->params().setInteger("Biomorphy", 1);
    record->params().setReal("BiomorphVar", 1.0);
    record->params().setReal("BiomorphColor", -10.0);
    record->params().setInteger("Outside", 1);
    // A negative colour replaces the count by its amount: zr + 10 + 7.
    EXPECT_EQ(valueAt(*record, 1.5, 0.4, 70.0), 18.5);
    EXPECT_EQ(valueAt(*record, 1.5, 0.5, 70.0), 78.5); // both sums reach 2: n stays 70
    record->params().setReal("BiomorphColor", 7.0);
    record->params().setInteger("Decomp", 1);
    record->params().setInteger("Coding", -4);
    EXPECT_EQ(valueAt(*record, 1.5, 0.4), 8.0); // the colour plus the sector offset
}

} // namespace
} // namespace vortimax
