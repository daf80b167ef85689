#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "palette/colour_cycling.h"
#include "palette/palette_list.h"

#include <gtest/gtest.h>
#include <limits>

namespace vortimax {
namespace {

TEST(ColourCyclingTest, OffsetWrapsIntoThePalette) {
    struct Case {
        double offset;
        double step;
        bool upwards;
        double expected;
    };
    const Case cases[] = {
        {251.5, 1.0, true, 0.5},
        {0.0, 1.0, false, 251.0},
        {10.0, 2.5, true, 12.5},
        {251.0, 1.0, true, 0.0},
        {1.0, 600.0, true, 97.0},
        {3.0, 600.0, false, 159.0},
        {std::numeric_limits<double>::quiet_NaN(), 1.0, true, 0.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(ColourCycling::nextOffset(c.offset, c.step, c.upwards), c.expected)
            << c.offset << " " << c.step;
}

TEST(ColourCyclingTest, TimerIntervalFollowsTheSpeed) {
    ColourCycling cycling;
    EXPECT_EQ(cycling.intervalMs(), 100);
    for (auto [speed, interval] :
         {std::pair{4.0, 250}, {3.0, 333}, {5000.0, 1}, {0.0, 1000}, {-2.0, 1000}}) {
        cycling.settings.speed = speed;
        EXPECT_EQ(cycling.intervalMs(), interval) << speed;
    }
}

// Only an 8-bit fractal cycles, and only while cycling is on.
TEST(ColourCyclingTest, TickMovesOnlyEightBitFractals) {
    PaletteList palettes;
    ColourCycling cycling;
    auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
    record->palOffset = 5.0;
    EXPECT_FALSE(cycling.tick(record.get(), palettes));
    cycling.settings.on = true;
    cycling.settings.upwards = false;
    cycling.settings.step = 2.0;
    EXPECT_TRUE(cycling.tick(record.get(), palettes));
    EXPECT_DOUBLE_EQ(record->palOffset, 3.0);
    record->displayDepth = 24;
    EXPECT_FALSE(cycling.tick(record.get(), palettes));
    EXPECT_DOUBLE_EQ(record->palOffset, 3.0);
    EXPECT_FALSE(cycling.tick(nullptr, palettes));
    cycling.defaultOffset = 7.0;
    EXPECT_DOUBLE_EQ(cycling.currentOffset(nullptr), 7.0);
}

// The window shows the settings of the fractal made active and writes its changes into
// the active fractal.
TEST(ColourCyclingTest, SettingsFollowTheActiveFractal) {
    ColourCycling cycling;
    auto a = createRecord(kTypeMandel, 0, RecordCreationContext{});
    auto b = createRecord(kTypeMandel, 0, RecordCreationContext{});
    b->colCyc = 1;
    b->colCycUp = 0;
    b->colCycSpeed = 4.0;
    b->colCycStep = 3.0;
    EXPECT_TRUE(cycling.follow(b.get()));
    EXPECT_EQ(cycling.settings, (ColourCyclingSettings{true, false, 4.0, 3.0}));
    EXPECT_EQ(cycling.intervalMs(), 250);
    EXPECT_FALSE(cycling.follow(b.get())); // already followed: the window's changes stay
    cycling.settings.step = 0.5;
    cycling.store(b.get());
    EXPECT_EQ(b->colCycStep, 0.5);
    EXPECT_TRUE(cycling.follow(a.get()));
    EXPECT_FALSE(cycling.settings.on);
    EXPECT_FALSE(cycling.follow(nullptr)); // no fractal: the settings stay the program's
    EXPECT_FALSE(cycling.settings.on);
    cycling.setOffset(nullptr, 12.0);
    EXPECT_EQ(cycling.defaultOffset, 12.0);
}

} // namespace
} // namespace vortimax
