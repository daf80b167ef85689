#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "render/colour_mapping.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <tuple>

namespace vortimax {
namespace {

constexpr double kPi = 3.141592653589793;

double positionOf(double v, int type, double speed, double accel = 1.0, double smoothing = 0.0,
                  bool reserved = false) {
    return PaletteMapping(ColourSettings{type, speed, accel, smoothing, reserved}).position(v);
}

TEST(ColourMappingTest, EffectiveAcceleration) {
    EXPECT_DOUBLE_EQ(colourParams(0, 2.0, 5.0).accel, 3.0);
    EXPECT_DOUBLE_EQ(colourParams(3, 2.0, 5.0).accel, 3.0);
    EXPECT_DOUBLE_EQ(colourParams(1, 2.0, 5.0).accel, 2000.0 / std::exp(4.0));
    EXPECT_DOUBLE_EQ(colourParams(2, 2.0, 5.0).accel, 3000.0 / std::exp(2.0));
    EXPECT_EQ(colourParams(2, 2.0, 5.0).speed, 2.0);
}

TEST(ColourMappingTest, FourRulesAtKnownValues) {
    EXPECT_DOUBLE_EQ(positionOf(10.0, 0, 2.0), 5.0);
    // Log: v = A' gives log2(2) = 1, so the position is A' S.
    const double logAccel = colourParams(1, 2.0, 5.0).accel;
    EXPECT_NEAR(positionOf(logAccel, 1, 2.0, 5.0), 73.26255555493672, 1e-9);
    // Arctan: v = A' gives pi / 4 A' S.
    const double atanAccel = colourParams(2, 0.01, 1.0).accel;
    EXPECT_NEAR(positionOf(atanAccel, 2, 0.01, 1.0), 35.15029132915222, 1e-9);
    // Sine: sin(v / S / 100) A' 251 with A' = 0.6.
    EXPECT_NEAR(positionOf(50.0 * kPi, 3, 1.0), 150.6, 1e-9);
    EXPECT_NEAR(positionOf(150.0 * kPi, 3, 1.0), 252.0 - 150.6, 1e-9); // negative, wrapped
}

TEST(ColourMappingTest, PositionsWrapModulo252) {
    struct Case {
        double v, speed, expected;
    };
    const Case cases[] = {
        {253.5, 1.0, 1.5},  {251.5, 1.0, 251.5},     {252.0, 1.0, 0.0},
        {504.0, 1.0, 0.0},  {755.999, 1.0, 251.999}, {10.0, -1.0, 242.0},
        {252.0, -1.0, 0.0}, {0.0, 1.0, 0.0},         {1e20, 1.0, std::fmod(1e20, 252.0)},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(positionOf(c.v, 0, c.speed), c.expected, 1e-9)
            << c.v << " at speed " << c.speed;
}

TEST(ColourMappingTest, InsideValues) {
    // With the reserved colours: 251 - v, held at the last palette entry.
    EXPECT_EQ(positionOf(-1.0, 0, 1.0, 1.0, 0.0, true), 252.0);
    EXPECT_EQ(positionOf(-2.0, 0, 1.0, 1.0, 0.0, true), 253.0);
    EXPECT_EQ(positionOf(-4.0, 0, 1.0, 1.0, 0.0, true), 255.0);
    EXPECT_EQ(positionOf(-5.0, 0, 1.0, 1.0, 0.0, true), 255.0);
    EXPECT_EQ(positionOf(-1e300, 0, 1.0, 1.0, 0.0, true), 255.0);
    EXPECT_EQ(positionOf(-0.5, 0, 1.0, 1.0, 0.0, true), 251.5);
    // Without them the absolute amount runs through the outside rule.
    EXPECT_EQ(positionOf(-1.0, 0, 1.0), 1.0);
    EXPECT_EQ(positionOf(-253.5, 0, 1.0), 1.5);
    EXPECT_NEAR(positionOf(-50.0 * kPi, 3, 1.0), 150.6, 1e-9);
}

TEST(ColourMappingTest, SmoothingQuantisesPositions) {
    EXPECT_DOUBLE_EQ(positionOf(1.6, 0, 1.0, 1.0, 0.25), 1.5);
    EXPECT_DOUBLE_EQ(positionOf(1.0, 0, 1.0, 1.0, 0.3), 0.9);
    EXPECT_DOUBLE_EQ(positionOf(253.99, 0, 1.0, 1.0, 1.0), 1.0);
    EXPECT_DOUBLE_EQ(positionOf(1.6, 0, 1.0, 1.0, 0.0), 1.6);
    EXPECT_DOUBLE_EQ(positionOf(1.6, 0, 1.0, 1.0, -0.5), 1.6); // only a positive quantum
}

// Types 4 and 5 come only from parameter files; they map like the linear type.
TEST(ColourMappingTest, UnknownTypesMapLinearly) {
    for (int type : {4, 5, -1, 1000}) {
        EXPECT_EQ(colourRuleFor(type), ColourRule::Linear);
        EXPECT_DOUBLE_EQ(positionOf(263.0, type, 2.0, 5.0), 131.5) << "type " << type;
    }
}

// Whatever the value and the settings, an outside position indexes the colour cycle.
TEST(ColourMappingTest, PositionsStayInsideTheCycle) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    const double values[] = {
        std::nan(""),      inf, -inf, 1e300, -1e300, 3.4e38, -3.4e38, 1e-300, 0.0, -0.0,
        251.99999999999997};
    const double speeds[] = {1.0, 0.0, -0.0, 1e-300, 1e300, -3.0, std::nan(""), inf};
    const double smoothings[] = {0.0, 1e-310, 0.5, 1e300};
    for (int type = 0; type <= 5; ++type)
        for (double v : values)
            for (double speed : speeds)
                for (double smoothing : smoothings) {
                    const double q = positionOf(v, type, speed, speed, smoothing);
                    EXPECT_TRUE(q >= 0.0 && q < 252.0)
                        << "type " << type << " v " << v << " speed " << speed << " smoothing "
                        << smoothing << " gives " << q;
                }
    // Values that are not numbers land on a fixed entry, also with the reserved rule.
    EXPECT_EQ(positionOf(std::nan(""), 1, 1.0), kNonFinitePosition);
    EXPECT_EQ(positionOf(-inf, 0, 1.0, 1.0, 0.0, true), kNonFinitePosition);
    EXPECT_EQ(positionOf(inf, 0, 1.0), kNonFinitePosition);
}

TEST(ColourMappingTest, WhoUsesTheReservedInsideColour) {
    struct Case {
        std::uint32_t type;
        int inside; // -1: the type has no inside rule
        bool expected;
    };
    const Case cases[] = {
        {kTypeMandel, 0, true},    {kTypeJulia, 0, true},         {kTypeMandel, 1, false},
        {kTypeJulia, 5, false},    {kTypeJulia24, 0, true},       {kTypeMandel24, 2, false},
        {kTypeLyapunov, -1, true}, {kTypeBifurcation, -1, true},  {kTypeFormula, 0, false},
        {kTypePlasma, -1, false},  {kTypeTieraMandel, -1, false}, {kTypeCompound, -1, false},
    };
    for (const Case& c : cases) {
        auto record = createRecord(c.type, 0, RecordCreationContext{});
        if (c.inside >= 0)
            record->params().setInteger("Inside", c.inside);
        EXPECT_EQ(insideUsesReservedColour(*record), c.expected) << "type " << c.type;
        EXPECT_EQ(readColourSettings(*record).reservedInside, c.expected);
    }
}

TEST(ColourMappingTest, SettingsOfARecord) {
    auto record = createRecord(kTypeJulia, 0, RecordCreationContext{});
    record->params().setInteger("ColormodeType", 2);
    record->params().setReal("ColormodeSpeed", 3.5);
    record->params().setReal("ColormodeAccel", 0.25);
    const ColourSettings s = readColourSettings(*record);
    EXPECT_EQ(std::tuple(s.type, s.speed, s.accel), std::tuple(2, 3.5, 0.25));

    FractalRecord bare; // a type id without parameters keeps the defaults
    bare.type = 20;
    EXPECT_EQ(readColourSettings(bare).speed, 1.0);
}

} // namespace
} // namespace vortimax
