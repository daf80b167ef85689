#pragma once

namespace vortimax::cli {

// Catches SIGINT and SIGTERM while it lives, so that a long command can stop cleanly
// (end its calculation and leave no half-made output) instead of dying half-way. The
// handlers in place before come back when it ends. One at a time.
class Interruption {
public:
    Interruption();
    ~Interruption();
    Interruption(const Interruption&) = delete;
    Interruption& operator=(const Interruption&) = delete;

    // The signal caught since construction, or 0.
    int signal() const;
    // The exit status of a command ended by that signal, as a shell reports it:
    // 128 + the signal's number.
    int exitStatus() const;
};

} // namespace vortimax::cli
