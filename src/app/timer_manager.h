#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <vector>

namespace vortimax {

// What actually runs timers: the desktop program starts and stops its own timers here.
// TimerManager calls it for every change of its table.
class TimerHost {
public:
    virtual ~TimerHost() = default;
    // Starts the timer, or restarts it with the new interval when it runs already.
    virtual void startTimer(int id, int intervalMs) = 0;
    virtual void stopTimer(int id) = 0;
};

// The table of the program's periodic timers: up to kSlots (timer id, interval) pairs.
// It runs no timers itself; the host does (or, headless, a loop polling due()).
// Creating it registers the progress-display timer; destroying it stops every timer
// still registered. Used from the interface thread only.
class TimerManager {
public:
    static constexpr std::size_t kSlots = 25;
    static constexpr int kProgressTimer = 9999;
    static constexpr int kProgressIntervalMs = 200;

    using Clock = std::chrono::steady_clock;

    struct Slot {
        int id = 0;
        int intervalMs = 0;
        std::optional<Clock::time_point> next{}; // set by the first due() that sees it
    };

    explicit TimerManager(TimerHost* host = nullptr);
    ~TimerManager();
    TimerManager(const TimerManager&) = delete;
    TimerManager& operator=(const TimerManager&) = delete;

    // Registering an id already present changes its interval. Refused (false) with all
    // slots taken or an interval below 1 ms.
    bool registerTimer(int id, int intervalMs);
    // False when the id is not registered or the interval is below 1 ms.
    bool changeTimer(int id, int intervalMs);
    // False when the id is not registered.
    bool removeTimer(int id);

    bool contains(int id) const;
    std::optional<int> interval(int id) const;
    const std::vector<Slot>& slots() const { return slots_; }

    // For running without a host: the ids whose interval has passed at `now`, in order
    // of registration. A timer first seen here becomes due one interval later; a timer
    // that fell behind by several intervals fires once and restarts from `now`.
    std::vector<int> due(Clock::time_point now);

private:
    Slot* find(int id);
    const Slot* find(int id) const;

    TimerHost* host_;
    std::vector<Slot> slots_;
};

} // namespace vortimax
