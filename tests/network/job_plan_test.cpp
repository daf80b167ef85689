#include "network/job_plan.h"

#include <gtest/gtest.h>
#include <numeric>

namespace vortimax::net {
namespace {

// The rule as written: for i = 1 up to count / 2 - 1, the row at position i at that
// moment moves to the end.
std::vector<int> movedOneByOne(std::vector<int> rows) {
    const int count = static_cast<int>(rows.size());
    for (int i = 1; i <= count / 2 - 1; ++i) {
        const int row = rows[static_cast<std::size_t>(i)];
        rows.erase(rows.begin() + i);
        rows.push_back(row);
    }
    return rows;
}

TEST(JobPlan, TenRowsGoOutCoarseToFine) {
    std::vector<int> rows(10);
    std::iota(rows.begin(), rows.end(), 0);
    EXPECT_EQ(coarseToFine(rows), (std::vector<int>{0, 2, 4, 6, 8, 9, 1, 3, 5, 7}));
}

TEST(JobPlan, OrderEqualsMovingOneRowAtATimeForEveryCount) {
    for (int count = 0; count <= 41; ++count) {
        std::vector<int> rows(static_cast<std::size_t>(count));
        std::iota(rows.begin(), rows.end(), 100); // not starting at 0
        EXPECT_EQ(coarseToFine(rows), movedOneByOne(rows)) << count;
    }
}

TEST(JobPlan, QueueTargetRisesWhenRunningDryAndFallsWhenFull) {
    // 3 queued and 2 outstanding: the target rises to 15 and 10 more are asked for.
    RequestPlan plan = planRequest(10, 3, 2);
    EXPECT_EQ(plan.target, 15);
    EXPECT_EQ(plan.request, 10);
    plan = planRequest(30, 0, 0);
    EXPECT_EQ(plan.target, 30); // never above 30
    EXPECT_EQ(plan.request, 30);
    plan = planRequest(20, 35, 0);
    EXPECT_EQ(plan.target, 15);
    EXPECT_EQ(plan.request, 0); // never negative
    plan = planRequest(10, 40, 0);
    EXPECT_EQ(plan.target, 10); // never below 10
    plan = planRequest(10, 5, 3);
    EXPECT_EQ(plan.target, 10);
    EXPECT_EQ(plan.request, 2);
}

TEST(JobPlan, MasterSendsWhatWasAskedOrTwoWhenShort) {
    EXPECT_EQ(jobsToSend(7, 0), 7);
    EXPECT_EQ(jobsToSend(1000000, 0), 30); // a peer cannot ask for the whole image
    EXPECT_EQ(jobsToSend(0, 8), 2);
    EXPECT_EQ(jobsToSend(0, 9), 0);
    EXPECT_EQ(jobsToSend(-3, 0), 2);
}

} // namespace
} // namespace vortimax::net
