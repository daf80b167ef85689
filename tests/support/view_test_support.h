#pragma once

#include "model/fractal_view.h"

#include <chrono>
#include <thread>

namespace vortimax::testing {

// Polls `predicate` every 2 ms for at most 20 seconds; false when time ran out.
template <typename Predicate> bool waitFor(Predicate predicate) {
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// The open fractal has finished its image and its worker is idle again.
inline bool settled(const FractalRecord& record) {
    return waitFor(
        [&] { return record.view->finished() && record.view->commandWord() == calc::kIdle; });
}

} // namespace vortimax::testing
