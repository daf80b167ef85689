#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

// The lines of the "Output" window. It keeps the newest kCapacity messages; adding one
// more drops the oldest. Lines may be added from any thread (the library loader adds its
// progress notes while the interface thread shows them).
class MessageWindow {
public:
    static constexpr std::size_t kCapacity = 100;
    // Called after every change, on the thread that made it, without the lock held, so
    // it may read the window back. The GUI uses it to schedule a refresh.
    using Listener = std::function<void()>;

    void add(std::string_view text);
    void clear();
    void setListener(Listener listener);

    std::vector<std::string> messages() const;
    std::size_t size() const;
    // What the window shows: every message followed by a line break.
    std::string text() const;
    // Grows with every change; a window that remembers the last value it showed knows
    // whether it must refresh.
    std::uint64_t changeCount() const;

private:
    void notify();

    mutable std::mutex mutex_;
    std::deque<std::string> messages_;
    std::uint64_t changes_ = 0;
    Listener listener_;
};

} // namespace vortimax
