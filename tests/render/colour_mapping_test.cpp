#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "render/colour/colour_mapping.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <tuple>

namespace vortimax {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kInf = std::numeric_limits<double>::infinity();

double positionOf(double v, int type, double speed, double accel = 1.0, double smoothing = 0.0,
                  bool reserved = false) {
    return PaletteMapping(ColourSettings{type, speed, accel, smoothing, reserved}).position(v);
}

// Log and arctangent at v = A' give A' S and pi / 4 A' S; the sine has A' = 0.6.
TEST(ColourMappingTest, FourRulesAtKnownValues) {
    EXPECT_DOUBLE_EQ(positionOf(10.0, 0, 2.0), 5.0);
    EXPECT_NEAR(positionOf(colourParams(1, 2.0, 5.0).accel, 1, 2.0, 5.0), 73.26255555493672, 1e-9);
    EXPECT_NEAR(positionOf(colourParams(2, 0.01, 1.0).accel, 2, 0.01, 1.0), 35.15029132915222,
                1e-9);
    EXPECT_NEAR(positionOf(50.0 * kPi, 3, 1.0), 150.6, 1e-9);
    EXPECT_NEAR(positionOf(150.0 * kPi, 3, 1.0), 252.0 - 150.6, 1e-9); // negative, wrapped
    for (int type : {4, 5, -1, 1000}) // 4 and 5 come only from parameter files
        EXPECT_DOUBLE_EQ(positionOf(263.0, type, 2.0, 5.0), 131.5) << "type " << type;
}

// Inside values take 251 - v, held at the last palette entry, with the reserved colours;
// without them their amount runs through the outside rule. Smoothing truncates to its quantum.
TEST(ColourMappingTest, WrappingInsideValuesAndSmoothing) {
    // clang-format off
    const double cases[][5] = { // value, speed, reserved, smoothing, position
        {253.5, 1, 0, 0, 1.5}, {251.5, 1, 0, 0, 251.5}, {504, 1, 0, 0, 0}, {10, -1, 0, 0, 242},
        {755.999, 1, 0, 0, 251.999}, {1e20, 1, 0, 0, std::fmod(1e20, 252.0)},
        {-0.5, 1, 1, 0, 251.5}, {-1, 1, 1, 0, 252}, {-4, 1, 1, 0, 255}, {-5, 1, 1, 0, 255},
        {-1e300, 1, 1, 0, 255}, {-1, 1, 0, 0, 1}, {-253.5, 1, 0, 0, 1.5}, {1.6, 1, 0, 0.25, 1.5},
        {1, 1, 0, 0.3, 0.9}, {253.99, 1, 0, 1, 1}, {1.6, 1, 0, -0.5, 1.6}};
    // clang-format on
    for (const auto& [v, speed, reserved, smoothing, expected] : cases)
        EXPECT_NEAR(positionOf(v, 0, speed, 1.0, smoothing, reserved != 0), expected, 1e-9)
            << v << " at speed " << speed << " smoothing " << smoothing;
}

// Whatever the value and the settings, an outside position indexes the colour cycle.
TEST(ColourMappingTest, PositionsStayInsideTheCycle) {
    const double values[] = {
        std::nan(""),      kInf, -kInf, 1e300, -1e300, 3.4e38, -3.4e38, 1e-300, 0.0, -0.0,
        251.99999999999997};
    const double speeds[] = {1.0, 0.0, -0.0, 1e-300, 1e300, -3.0, std::nan(""), kInf};
    for (int type = 0; type <= 5; ++type)
        for (double v : values)
            for (double speed : speeds)
                for (double smoothing : {0.0, 1e-310, 0.5, 1e300}) {
                    const double q = positionOf(v, type, speed, speed, smoothing);
                    EXPECT_TRUE(q >= 0.0 && q < 252.0)
                        << type << " " << v << " " << speed << " " << smoothing << " gives " << q;
                }
    EXPECT_EQ(positionOf(-kInf, 0, 1.0, 1.0, 0.0, true), kNonFinitePosition); // not reserved
}

TEST(ColourMappingTest, WhoUsesTheReservedInsideColours) {
    // Type, Inside (-1: the type has none), whether inside values take the reserved colours.
    const std::tuple<std::uint32_t, int, bool> cases[] = {
        {kTypeMandel, 0, true},     {kTypeJulia, 5, false},    {kTypeJulia24, 0, true},
        {kTypeMandel24, 2, false},  {kTypeLyapunov, -1, true}, {kTypeBifurcation, -1, true},
        {kTypeFormula, 0, false},   {kTypePlasma, -1, false},  {kTypeTieraMandel, -1, true},
        {kTypeTieraJulia, -1, true}};
    for (const auto& [type, inside, reserved] : cases) {
        auto record = createRecord(type, 0, RecordCreationContext{});
        if (inside >= 0)
            record->params().setInteger("Inside", inside);
        EXPECT_EQ(readColourSettings(*record).reservedInside, reserved) << "type " << type;
    }
    FractalRecord bare; // a type id without parameters keeps the defaults
    bare.type = 20;
    EXPECT_EQ(readColourSettings(bare).speed, 1.0);
}

} // namespace
} // namespace vortimax
