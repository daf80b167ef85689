#pragma once

#include "app/timer_manager.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

namespace vortimax::ui {

// Runs the application's periodic timers as QTimers on the interface thread.
class QtTimerHost final : public QObject, public TimerHost {
public:
    using Fire = std::function<void(int id)>;

    explicit QtTimerHost(QObject* parent = nullptr) : QObject(parent) {}
    // Set once the application exists; timers that fire before do nothing.
    void setFire(Fire fire) { fire_ = std::move(fire); }

    void startTimer(int id, int intervalMs) override {
        auto& timer = timers_[id];
        if (!timer) {
            timer = std::make_unique<QTimer>();
            QObject::connect(timer.get(), &QTimer::timeout, this, [this, id] {
                if (fire_)
                    fire_(id);
            });
        }
        timer->start(intervalMs);
    }
    void stopTimer(int id) override { timers_.erase(id); }

    bool isRunning(int id) const {
        auto it = timers_.find(id);
        return it != timers_.end() && it->second->isActive();
    }

private:
    Fire fire_;
    std::map<int, std::unique_ptr<QTimer>> timers_;
};

} // namespace vortimax::ui
