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

} // namespace
} // namespace vortimax
