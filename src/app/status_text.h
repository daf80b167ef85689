#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace vortimax {

// The timed text of the status bar. set() shows a text for a number of runs of the
// 100 ms timer; each tick() counts down once and the text goes when the count passes
// zero (reaches -1), so a text set for 50 ticks stays for 50 full ticks and is cleared
// by the 51st, about five seconds. A negative count keeps the text until it is replaced
// or cleared. Texts may be set from any thread; the timer ticks on the interface thread.
class StatusText {
public:
    void set(std::string_view text, int ticks);
    // Clears the text at once (the mouse moved over the main window).
    void clear();
    // One run of the 100 ms timer. Returns true when it cleared the text, so the status
    // bar must be redrawn.
    bool tick();

    std::string text() const;
    int ticksLeft() const;

private:
    mutable std::mutex mutex_;
    std::string text_;
    int ticks_ = -1;
};

// Texts of the progress display refreshed by timer 9999.
// Elapsed time as "MM mins  SS secs"; negative times count as zero.
std::string formatElapsed(std::int64_t seconds);
// "NN% done", rounded to a whole percent and held within 0 ... 100; "unknown" while no
// progress is known (nullopt or NaN).
std::string formatPercentDone(std::optional<double> percent);

} // namespace vortimax
