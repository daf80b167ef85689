#include "app/message_window.h"
#include "app/status_text.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace vortimax {
namespace {

TEST(MessageWindow, KeepsTheHundredNewestMessages) {
    MessageWindow window;
    for (int i = 1; i <= 101; ++i)
        window.add("line " + std::to_string(i));
    const auto messages = window.messages();
    ASSERT_EQ(messages.size(), 100u);
    EXPECT_EQ(messages.front(), "line 2");
    EXPECT_EQ(messages.back(), "line 101");
}

TEST(MessageWindow, ListenerSeesEveryChangeAsLineBrokenText) {
    MessageWindow window;
    std::vector<std::string> seen;
    window.setListener([&] { seen.push_back(window.text()); }); // reads back: no deadlock
    window.add("a");
    window.add("");
    window.add("C:\\x\xe4"); // 8-bit bytes pass through unchanged
    window.clear();
    EXPECT_EQ(window.changeCount(), 4u);
    EXPECT_EQ(seen, (std::vector<std::string>{"a\n", "a\n\n", "a\n\nC:\\x\xe4\n", ""}));
}

TEST(MessageWindow, ConcurrentAddsLoseNothingAndKeepTheLimit) {
    MessageWindow window;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&window, t] {
            for (int i = 0; i < 500; ++i)
                window.add(std::to_string(t) + ":" + std::to_string(i));
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(window.changeCount(), 2000u);
    EXPECT_EQ(window.size(), 100u);
}

TEST(StatusText, TextStaysItsTicksAndGoesOnTheNext) {
    StatusText status;
    status.set("Define the area to zoom in and choose 'Boxzoom in' again...", 50);
    for (int i = 0; i < 50; ++i)
        ASSERT_FALSE(status.tick()) << i;
    EXPECT_EQ(status.text(), "Define the area to zoom in and choose 'Boxzoom in' again...");
    EXPECT_TRUE(status.tick());
    EXPECT_EQ(status.text(), "");
    EXPECT_FALSE(status.tick()); // idle: nothing more to clear
    // New text restarts the count; zero goes on the first tick, negative stays.
    status.set("first", 2);
    status.tick();
    status.set("second", 2);
    EXPECT_FALSE(status.tick());
    EXPECT_FALSE(status.tick());
    EXPECT_TRUE(status.tick());
    status.set("short", 0);
    EXPECT_TRUE(status.tick());
    status.set("help text", -1);
    for (int i = 0; i < 100; ++i)
        EXPECT_FALSE(status.tick());
    EXPECT_EQ(status.text(), "help text");
    status.clear();
    EXPECT_EQ(status.text(), "");
    EXPECT_FALSE(status.tick());
}

TEST(StatusText, ElapsedTimeAndPercentDone) {
    EXPECT_EQ(formatElapsed(65), "01 mins  05 secs");
    EXPECT_EQ(formatElapsed(125 * 60 + 3), "125 mins  03 secs");
    EXPECT_EQ(formatElapsed(-5), "00 mins  00 secs");
    EXPECT_EQ(formatPercentDone(std::nullopt), "unknown");
    EXPECT_EQ(formatPercentDone(std::nan("")), "unknown");
    EXPECT_EQ(formatPercentDone(42.4), "42% done");
    EXPECT_EQ(formatPercentDone(99.6), "100% done");
    EXPECT_EQ(formatPercentDone(250.0), "100% done");
    EXPECT_EQ(formatPercentDone(-3.0), "0% done");
}

} // namespace
} // namespace vortimax
