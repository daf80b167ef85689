#include "app/timer_manager.h"

#include <algorithm>

namespace vortimax {

TimerManager::TimerManager(TimerHost* host) : host_(host) {
    slots_.reserve(kSlots);
    registerTimer(kProgressTimer, kProgressIntervalMs);
}

TimerManager::~TimerManager() {
    while (!slots_.empty())
        removeTimer(slots_.back().id);
}

bool TimerManager::registerTimer(int id, int intervalMs) {
    if (find(id))
        return changeTimer(id, intervalMs);
    if (intervalMs < 1 || slots_.size() >= kSlots)
        return false;
    slots_.push_back(Slot{id, intervalMs});
    if (host_)
        host_->startTimer(id, intervalMs);
    return true;
}

bool TimerManager::changeTimer(int id, int intervalMs) {
    Slot* slot = find(id);
    if (!slot || intervalMs < 1)
        return false;
    slot->intervalMs = intervalMs;
    slot->next.reset();
    if (host_)
        host_->startTimer(id, intervalMs);
    return true;
}

bool TimerManager::removeTimer(int id) {
    const Slot* slot = find(id);
    if (!slot)
        return false;
    slots_.erase(slots_.begin() + (slot - slots_.data()));
    if (host_)
        host_->stopTimer(id);
    return true;
}

bool TimerManager::contains(int id) const {
    return find(id) != nullptr;
}

std::optional<int> TimerManager::interval(int id) const {
    const Slot* slot = find(id);
    return slot ? std::optional<int>(slot->intervalMs) : std::nullopt;
}

std::vector<int> TimerManager::due(Clock::time_point now) {
    std::vector<int> ids;
    for (Slot& slot : slots_) {
        const std::chrono::milliseconds interval(slot.intervalMs);
        if (!slot.next) {
            slot.next = now + interval;
        } else if (now >= *slot.next) {
            ids.push_back(slot.id);
            *slot.next += interval;
            if (*slot.next <= now)
                slot.next = now + interval;
        }
    }
    return ids;
}

TimerManager::Slot* TimerManager::find(int id) {
    auto it = std::find_if(slots_.begin(), slots_.end(),
                           [id](const Slot& slot) { return slot.id == id; });
    return it == slots_.end() ? nullptr : &*it;
}

const TimerManager::Slot* TimerManager::find(int id) const {
    return const_cast<TimerManager*>(this)->find(id);
}

} // namespace vortimax
