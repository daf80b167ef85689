#include "app/status_text.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vortimax {
namespace {

TEST(StatusText, FiftyTickTextStaysFiftyTicksAndGoesOnTheNext) {
    StatusText status;
    status.set("Define the area to zoom in and choose 'Boxzoom in' again...", 50);
    for (int i = 0; i < 50; ++i)
        ASSERT_FALSE(status.tick()) << i;
    EXPECT_EQ(status.text(), "Define the area to zoom in and choose 'Boxzoom in' again...");
    EXPECT_TRUE(status.tick());
    EXPECT_EQ(status.text(), "");
    EXPECT_FALSE(status.tick()); // idle: nothing more to clear
    EXPECT_EQ(status.ticksLeft(), -1);
}

TEST(StatusText, NewTextRestartsTheCountAndClearStopsIt) {
    StatusText status;
    status.set("first", 2);
    status.tick();
    status.set("second", 2);
    EXPECT_FALSE(status.tick());
    EXPECT_FALSE(status.tick());
    EXPECT_TRUE(status.tick());
    status.set("moved", 50);
    status.clear();
    EXPECT_EQ(status.text(), "");
    EXPECT_FALSE(status.tick());
}

TEST(StatusText, ZeroTicksGoesOnTheFirstTickNegativeStays) {
    StatusText status;
    status.set("short", 0);
    EXPECT_TRUE(status.tick());
    status.set("help text", -1);
    for (int i = 0; i < 100; ++i)
        EXPECT_FALSE(status.tick());
    EXPECT_EQ(status.text(), "help text");
}

TEST(StatusText, ElapsedTime) {
    EXPECT_EQ(formatElapsed(0), "00 mins  00 secs");
    EXPECT_EQ(formatElapsed(65), "01 mins  05 secs");
    EXPECT_EQ(formatElapsed(59 * 60 + 59), "59 mins  59 secs");
    EXPECT_EQ(formatElapsed(125 * 60 + 3), "125 mins  03 secs");
    EXPECT_EQ(formatElapsed(-5), "00 mins  00 secs");
}

TEST(StatusText, PercentDone) {
    EXPECT_EQ(formatPercentDone(std::nullopt), "unknown");
    EXPECT_EQ(formatPercentDone(std::nan("")), "unknown");
    EXPECT_EQ(formatPercentDone(0.0), "0% done");
    EXPECT_EQ(formatPercentDone(42.4), "42% done");
    EXPECT_EQ(formatPercentDone(99.6), "100% done");
    EXPECT_EQ(formatPercentDone(250.0), "100% done");
    EXPECT_EQ(formatPercentDone(-3.0), "0% done");
}

} // namespace
} // namespace vortimax
