#include "app/message_window.h"

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
    ASSERT_EQ(messages.size(), MessageWindow::kCapacity);
    EXPECT_EQ(messages.front(), "line 2");
    EXPECT_EQ(messages.back(), "line 101");
    window.add("line 102");
    EXPECT_EQ(window.messages().front(), "line 3");
    EXPECT_EQ(window.size(), 100u);
}

TEST(MessageWindow, TextEndsEveryMessageWithALineBreak) {
    MessageWindow window;
    EXPECT_EQ(window.text(), "");
    window.add("Reading palette maps");
    window.add("");
    window.add("Loading palettes from directory C:\\x\xe4");
    EXPECT_EQ(window.text(), "Reading palette maps\n\nLoading palettes from directory C:\\x\xe4\n");
    window.clear();
    EXPECT_EQ(window.text(), "");
}

TEST(MessageWindow, ReportsEveryChangeToCounterAndListener) {
    MessageWindow window;
    std::vector<std::string> seen;
    window.setListener([&] { seen.push_back(window.text()); }); // reads back: no deadlock
    EXPECT_EQ(window.changeCount(), 0u);
    window.add("a");
    window.add("b");
    window.clear();
    EXPECT_EQ(window.changeCount(), 3u);
    EXPECT_EQ(seen, (std::vector<std::string>{"a\n", "a\nb\n", ""}));
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

} // namespace
} // namespace vortimax
