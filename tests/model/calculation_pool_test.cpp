#include "model/calculation_pool.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

using namespace vortimax;
using namespace std::chrono_literals;

namespace {

TEST(CalculationPool, RunsEveryItemOnceOnAtMostTheThreadsAsked) {
    CalculationPool pool;
    pool.setThreadCount(3);
    for (int threads : {1, 2, 3}) {
        std::vector<std::atomic<int>> runs(500);
        std::mutex mutex;
        std::set<int> slots;
        EXPECT_TRUE(pool.run(500, threads, [&](int slot, int index) {
            ++runs[static_cast<std::size_t>(index)];
            std::lock_guard lock(mutex);
            slots.insert(slot);
            return true;
        }));
        for (const auto& count : runs)
            EXPECT_EQ(count.load(), 1);
        EXPECT_LE(slots.size(), static_cast<std::size_t>(threads));
        EXPECT_LT(*slots.rbegin(), threads);
    }
    EXPECT_TRUE(pool.run(0, 3, [](int, int) { return false; }));
}

TEST(CalculationPool, AnItemThatStopsTheJobStartsNoFurtherItems) {
    CalculationPool pool;
    std::atomic<int> started{0};
    const bool complete = pool.run(1000, 2, [&](int, int index) {
        ++started;
        std::this_thread::sleep_for(100us);
        return index < 10;
    });
    EXPECT_FALSE(complete);
    // Items already running when the stop came still end; none starts afterwards.
    EXPECT_GE(started.load(), 11);
    EXPECT_LT(started.load(), 20);
}

TEST(CalculationPool, TwoJobsAtOnceShareThePoolThreads) {
    CalculationPool pool;
    pool.setThreadCount(3);
    std::atomic<int> poolItems[2] = {0, 0};
    auto job = [&](int which) {
        return pool.run(300, 3, [&, which](int slot, int) {
            if (slot > 0)
                ++poolItems[which];
            std::this_thread::sleep_for(200us);
            return true;
        });
    };
    bool done[2] = {false, false};
    std::thread first([&] { done[0] = job(0); });
    std::this_thread::sleep_for(5ms); // the first job has the pool to itself for a while
    std::thread second([&] { done[1] = job(1); });
    first.join();
    second.join();
    EXPECT_TRUE(done[0] && done[1]);
    EXPECT_GT(poolItems[0].load(), 0);
    EXPECT_GT(poolItems[1].load(), 0);
}

} // namespace
