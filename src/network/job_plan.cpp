#include "network/job_plan.h"

#include <algorithm>

namespace vortimax::net {

std::vector<int> coarseToFine(const std::vector<int>& rows) {
    const auto count = static_cast<long>(rows.size());
    // Moving the row at position i, i = 1 .. count / 2 - 1, moves the rows 1, 3, ...,
    // 2 moves - 1 of the original order to the end; everything else keeps its order.
    const long moves = std::max(0L, count / 2 - 1);
    std::vector<int> ordered;
    ordered.reserve(rows.size());
    for (long i = 0; i < count; ++i)
        if (i >= 2 * moves || i % 2 == 0)
            ordered.push_back(rows[static_cast<std::size_t>(i)]);
    for (long i = 1; i < 2 * moves; i += 2)
        ordered.push_back(rows[static_cast<std::size_t>(i)]);
    return ordered;
}

RequestPlan planRequest(int target, int queued, int outstanding) {
    if (queued + outstanding < 8)
        target += 5;
    if (queued > 30)
        target -= 5;
    target = std::clamp(target, kLeastTarget, kMostTarget);
    return RequestPlan{target, std::max(0, target - outstanding - queued)};
}

int jobsToSend(int request, int pending) {
    if (request >= 1)
        return std::min(request, kMostTarget);
    return pending <= kFirstJobs - 2 ? 2 : 0;
}

} // namespace vortimax::net
