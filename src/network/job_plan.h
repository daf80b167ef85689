#pragma once

#include <vector>

namespace vortimax::net {

// Puts the rows of a distribution in the order they are handed out: for i = 1 up to
// count / 2 - 1, the row at position i at that moment moves to the end. So every second
// row of the first half comes early and the skipped ones follow at the end, and the image
// fills in coarse-to-fine: rows 0..9 go out as 0, 2, 4, 6, 8, 9, 1, 3, 5, 7.
std::vector<int> coarseToFine(const std::vector<int>& rows);

// A slave's queue target and request when it sends a result message.
struct RequestPlan {
    int target;  // kept between kLeastTarget and kMostTarget
    int request; // rows to ask for, at least 0
};
constexpr int kLeastTarget = 10;
constexpr int kMostTarget = 30;
// The target rises by 5 while fewer than 8 rows are queued or asked for, falls by 5
// while more than 30 are queued; the request fills the queue up to the target.
RequestPlan planRequest(int target, int queued, int outstanding);

// The rows a master sends a member that asked for `request` rows while it has
// `pending` rows outstanding: what it asked for (never above kMostTarget, whatever a
// peer claims), or 2 when it asked for none and is at least 2 short of the first
// distribution's 10.
int jobsToSend(int request, int pending);
constexpr int kFirstJobs = 10;

} // namespace vortimax::net
