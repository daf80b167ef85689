#pragma once

namespace vortimax {

// Keeps the animation's frame step apart from starting, stopping and aborting it. All of
// them run on the main thread, but a message box or file requester shown by one of them
// runs a nested event loop in which the main timer fires again: the frame step then skips
// its tick (try_lock fails) instead of waiting for itself for ever, as a mutex would.
// Holders nest; the step runs only when nobody holds the gate.
class AnimationGate {
public:
    void lock() { ++holders_; }
    bool try_lock() {
        if (holders_ != 0)
            return false;
        ++holders_;
        return true;
    }
    void unlock() { --holders_; }

private:
    int holders_ = 0;
};

} // namespace vortimax
