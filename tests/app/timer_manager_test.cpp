#include "app/timer_manager.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vortimax {
namespace {

using namespace std::chrono_literals;
using Log = std::vector<std::string>;

class RecordingHost : public TimerHost {
public:
    void startTimer(int id, int ms) override {
        log.push_back("start " + std::to_string(id) + " " + std::to_string(ms));
    }
    void stopTimer(int id) override { log.push_back("stop " + std::to_string(id)); }
    Log log;
};

TEST(TimerManager, HostSeesEveryStartChangeAndStop) {
    RecordingHost host;
    {
        TimerManager timers(&host);
        EXPECT_EQ(timers.interval(9999), 200); // the progress timer is always there
        EXPECT_TRUE(timers.registerTimer(1000, 100));
        EXPECT_TRUE(timers.changeTimer(1000, 250));
        EXPECT_FALSE(timers.changeTimer(1000, 0));
        EXPECT_FALSE(timers.changeTimer(42, 10));
        EXPECT_FALSE(timers.registerTimer(43, -5));
        EXPECT_TRUE(timers.registerTimer(1001, 50));
        EXPECT_TRUE(timers.removeTimer(1001));
        EXPECT_FALSE(timers.removeTimer(1001));
        EXPECT_FALSE(timers.interval(1001));
    }
    EXPECT_EQ(host.log, (Log{"start 9999 200", "start 1000 100", "start 1000 250", "start 1001 50",
                             "stop 1001", "stop 1000", "stop 9999"}));
}

TEST(TimerManager, RefusesTheTwentySixthTimer) {
    TimerManager timers; // the progress timer holds one of the 25 slots
    for (int id = 1; id < 25; ++id)
        ASSERT_TRUE(timers.registerTimer(id, 10)) << id;
    EXPECT_FALSE(timers.registerTimer(25, 10));
    EXPECT_FALSE(timers.contains(25));
    EXPECT_TRUE(timers.registerTimer(3, 30)); // known id: a change, no new slot
    EXPECT_EQ(timers.interval(3), 30);
    EXPECT_TRUE(timers.removeTimer(7));
    EXPECT_TRUE(timers.registerTimer(25, 10));
}

TEST(TimerManager, DueFiresEachTimerOncePerInterval) {
    TimerManager timers;
    timers.registerTimer(1000, 100);
    const auto t0 = TimerManager::Clock::time_point{};
    EXPECT_TRUE(timers.due(t0).empty()); // arms both timers
    EXPECT_TRUE(timers.due(t0 + 99ms).empty());
    EXPECT_EQ(timers.due(t0 + 100ms), std::vector<int>{1000});
    EXPECT_EQ(timers.due(t0 + 200ms), (std::vector<int>{9999, 1000}));
    // Far behind: one firing, then the interval counts from now.
    EXPECT_EQ(timers.due(t0 + 2000ms), (std::vector<int>{9999, 1000}));
    EXPECT_TRUE(timers.due(t0 + 2099ms).empty());
    EXPECT_EQ(timers.due(t0 + 2100ms), std::vector<int>{1000});
}

} // namespace
} // namespace vortimax
