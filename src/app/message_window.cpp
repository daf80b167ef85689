#include "app/message_window.h"

namespace vortimax {

void MessageWindow::add(std::string_view text) {
    {
        std::lock_guard lock(mutex_);
        if (messages_.size() >= kCapacity)
            messages_.pop_front();
        messages_.emplace_back(text);
        ++changes_;
    }
    notify();
}

void MessageWindow::clear() {
    {
        std::lock_guard lock(mutex_);
        messages_.clear();
        ++changes_;
    }
    notify();
}

void MessageWindow::setListener(Listener listener) {
    std::lock_guard lock(mutex_);
    listener_ = std::move(listener);
}

void MessageWindow::notify() {
    Listener listener;
    {
        std::lock_guard lock(mutex_);
        listener = listener_;
    }
    if (listener)
        listener();
}

std::vector<std::string> MessageWindow::messages() const {
    std::lock_guard lock(mutex_);
    return {messages_.begin(), messages_.end()};
}

std::size_t MessageWindow::size() const {
    std::lock_guard lock(mutex_);
    return messages_.size();
}

std::string MessageWindow::text() const {
    std::lock_guard lock(mutex_);
    std::string result;
    for (const std::string& message : messages_) {
        result += message;
        result += '\n';
    }
    return result;
}

std::uint64_t MessageWindow::changeCount() const {
    std::lock_guard lock(mutex_);
    return changes_;
}

} // namespace vortimax
