#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "render/outside_value.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace vortimax {
namespace {

constexpr double kE = 2.718281828459045;

std::unique_ptr<FractalRecord> mandel() {
    auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
    record->params().setInteger("MaxIter", 100);
    record->params().setReal("Bailout", 4.0);
    return record;
}

// The value after 10 iterations (n = MaxIter - remaining = 10).
double valueAt(const FractalRecord& record, double zr, double zi, double pixelRe = 0.0,
               double pixelIm = 0.0) {
    const OutsideParams p = readOutsideParams(record);
    return outsideValue(p, p.maxIter - 10.0, zr, zi, pixelRe, pixelIm);
}

TEST(OutsideValueTest, IterationCountIsAtLeastOne) {
    const OutsideParams p = readOutsideParams(*mandel());
    EXPECT_EQ(outsideValue(p, 90.0, 3.0, 0.0, 0, 0), 10.0);
    EXPECT_EQ(outsideValue(p, 100.0, 3.0, 0.0, 0, 0), 1.0);
    EXPECT_EQ(outsideValue(p, 250.0, 3.0, 0.0, 0, 0), 1.0);
}

// z = (e, e^2), n = 10, Outsidemult 2, Bailout e^2 (log 2), pixel (3, 4), MaxIter 1000.
TEST(OutsideValueTest, EveryMeasureByNumber) {
    struct Case {
        int outside;
        double expected;
    };
    const Case cases[] = {
        {0, 10.0},
        {1, 22.43656365691809},
        {2, 30.778112197861297},
        {3, 7.357588823428847},
        {4, 40.21467585477939},
        {5, 139.6049374248449},
        {6, 12.436565810034555},
        {8, 11.0},
        {9, 12.0},
        {10, 12.0},
        {11, 10.5},
        {12, 13.0},
        {13, 49531.51155218899},
        {14, 0.0}, // unknown measures give the decomposition offset alone
        {-1, 0.0},
    };
    auto record = mandel();
    record->params().setInteger("MaxIter", 1000);
    record->params().setReal("Outsidemult", 2.0);
    record->params().setReal("Bailout", kE * kE);
    for (const Case& c : cases) {
        record->params().setInteger("Outside", c.outside);
        EXPECT_NEAR(valueAt(*record, kE, kE * kE, 3.0, 4.0), c.expected, 1e-9)
            << "Outside " << c.outside;
    }
}

TEST(OutsideValueTest, RangeLimitedMeasuresFallBack) {
    struct Case {
        int outside;
        double zr, zi, expected;
    };
    const Case cases[] = {
        {1, 100.0, 0.0, 0.0001}, // 117 > MaxIter
        {1, -17.0, 0.0, 0.0001}, // exactly 0
        {1, -16.0, 0.0, 1.0},    // just inside
        {2, 0.0, -16.5, 0.0},    // negative
        {2, 0.0, -16.0, 0.0},    // exactly 0 stays 0
        {2, 0.0, 84.0, 100.0},   // MaxIter itself is allowed
        {3, 1.0, 0.0, 10.0},     // zi = 0 uses n
        {3, -1.0, 1.0, 0.0},     // negative ratio
        {4, -20.0, 0.0, 0.0},    // negative sum
        {5, -1.0, 0.0, 0.0},     // 180 degrees, above MaxIter 100
        {5, 0.0, -1.0, 90.0},    // the absolute angle
    };
    auto record = mandel();
    for (const Case& c : cases) {
        record->params().setInteger("Outside", c.outside);
        EXPECT_NEAR(valueAt(*record, c.zr, c.zi), c.expected, 1e-8)
            << "Outside " << c.outside << " z " << c.zr << "," << c.zi;
    }
    record->params().setInteger("Outside", 2);
    EXPECT_EQ(valueAt(*record, 0.0, std::nan("")), 0.0); // not a number falls back too
}

TEST(OutsideValueTest, ArgumentUsesTheTruncatedConstants) {
    auto record = mandel();
    record->params().setInteger("Outside", 6);
    EXPECT_EQ(valueAt(*record, 0.0, 1.0), 1.57079632675 + 10.0);
    EXPECT_EQ(valueAt(*record, 0.0, -1.0), 4.71238898025 + 10.0);
    EXPECT_EQ(valueAt(*record, 0.0, 0.0), 10.0);
    EXPECT_EQ(valueAt(*record, -1.0, 0.0), 3.1415926535 + 10.0);
    EXPECT_NEAR(valueAt(*record, 1.0, -1.0), 6.283185307 - std::atan(1.0) + 10.0, 1e-12);
}

TEST(OutsideValueTest, Potential) {
    auto record = mandel();
    record->params().setInteger("Outside", 7);
    record->params().setReal("Outsidemult", 100.0);
    record->params().setReal("PotSlope", 10.0);
    EXPECT_EQ(valueAt(*record, 0.6, 0.8), 99.0); // |z| = 1
    EXPECT_EQ(valueAt(*record, 0.0, 0.0), 99.0);
    // log|z| = 16 over 2^(2 + 2) gives 1: 100 - 10 - 1.
    EXPECT_NEAR(outsideValue(readOutsideParams(*record), 98.0, std::exp(16.0), 0.0, 0, 0), 89.0,
                1e-9);
    EXPECT_EQ(potentialValue(std::exp(16.0), 2.0, 100.0, 1000.0), 1.0); // never below 1
    EXPECT_EQ(potentialValue(0.5, 2.0, 0.5, 1.0), 1.0);
    EXPECT_EQ(potentialValue(1e300, 1e13, 50.0, 1.0), 49.0); // 2^(k + 2) overflows: L = 0
    record->params().setReal("Outsidemult", -5.0);           // the absolute amount
    EXPECT_EQ(valueAt(*record, 0.0, 0.0), 1.0);
}

struct DecompositionCase {
    double zr, zi;
    double sector;
};
constexpr DecompositionCase kFourSectors[] = {
    {1.0, 0.0, 0.0},  {-1.0, 0.0, 0.0}, // pi folds onto 0
    {0.0, 1.0, 1.0},  {0.0, -1.0, 1.0}, // 3 pi / 2 folds onto pi / 2
    {1.0, 0.99, 0.0}, {-1.0, 1.01, 1.0}, {-1.0, -0.5, 0.0}, {1.0, -2.0, 1.0},
};

TEST(OutsideValueTest, DecompositionReplacesTheValueWithItsSector) {
    auto record = mandel();
    record->params().setInteger("Decomp", 1);
    record->params().setInteger("Coding", 4);
    record->params().setReal("DecFactor", 3.0);
    record->params().setInteger("Outside", 1); // ignored when Coding > 0
    for (const auto& c : kFourSectors)
        EXPECT_EQ(valueAt(*record, c.zr, c.zi), (c.sector + 1.0) * 3.0)
            << "z " << c.zr << "," << c.zi;
}

TEST(OutsideValueTest, DecompositionWithoutPositiveCodingAddsToTheMeasure) {
    auto record = mandel();
    record->params().setInteger("Decomp", 1);
    record->params().setInteger("Coding", -4);
    record->params().setReal("DecFactor", 3.0);
    for (const auto& c : kFourSectors)
        EXPECT_EQ(valueAt(*record, c.zr, c.zi), 10.0 + (c.sector + 1.0) * 3.0);
    record->params().setInteger("Coding", 0); // a single sector
    EXPECT_EQ(valueAt(*record, 0.0, 1.0), 13.0);
}

// Julia24 and Mandel24 keep the switch under another key and have no measures of this
// kind; the Formula type keeps its own copies under the Julia keys.
TEST(OutsideValueTest, DecompositionKeyOfEachType) {
    for (std::uint32_t type : {kTypeJulia24, kTypeMandel24, kTypeFormula, kTypeJulia}) {
        auto record = createRecord(type, 0, RecordCreationContext{});
        record->params().setInteger("MaxIter", 100);
        const bool own = type == kTypeJulia24 || type == kTypeMandel24;
        record->params().setInteger(own ? "Decomposition" : "Decomp", 1);
        record->params().setInteger("Coding", 4);
        record->params().setReal("DecFactor", 1.0);
        EXPECT_EQ(valueAt(*record, 0.0, 1.0), 2.0) << "type " << type;
        record->params().setInteger("Outside", 2); // "DEM" for the 24-bit types
        record->params().setInteger("Coding", 0);
        EXPECT_EQ(valueAt(*record, 0.0, 1.0), own ? 11.0 : 18.0) << "type " << type;
    }
}

TEST(OutsideValueTest, TypesWithoutTheParametersCountIterations) {
    auto record = createRecord(kTypeLyapunov, 0, RecordCreationContext{});
    record->params().setInteger("MaxIter", 50);
    EXPECT_EQ(outsideValue(readOutsideParams(*record), 20.0, 1.0, 1.0, 0, 0), 30.0);
}

TEST(OutsideValueTest, Biomorph) {
    auto record = mandel(); // Bailout 4: the sums must reach 2
    record->params().setInteger("Biomorphy", 1);
    record->params().setReal("BiomorphVar", 1.0);
    record->params().setReal("BiomorphColor", -10.0);
    record->params().setInteger("Outside", 1);
    // Biomorph points use 10 as their iteration count: zr + 10 + 7.
    EXPECT_EQ(outsideValue(readOutsideParams(*record), 30.0, 1.5, 0.4, 0, 0), 18.5);
    // Both sums reach 2: the real count 70 stays.
    EXPECT_EQ(outsideValue(readOutsideParams(*record), 30.0, 1.5, 0.5, 0, 0), 78.5);
    record->params().setReal("BiomorphVar", 0.0); // |zi| alone must reach 2
    EXPECT_EQ(outsideValue(readOutsideParams(*record), 30.0, 50.0, 1.9, 0, 0), 67.0);

    record->params().setReal("BiomorphColor", 7.0);
    record->params().setInteger("Decomp", 1);
    record->params().setInteger("Coding", -4);
    record->params().setReal("DecFactor", 1.0);
    EXPECT_EQ(valueAt(*record, 50.0, 1.9), 8.0); // the colour plus the sector offset
}

} // namespace
} // namespace vortimax
