#include "app/status_text.h"

#include "base/text_utils.h"

#include <algorithm>
#include <cmath>

namespace vortimax {

void StatusText::set(std::string_view text, int ticks) {
    std::lock_guard lock(mutex_);
    text_ = text;
    ticks_ = ticks;
}

void StatusText::clear() {
    std::lock_guard lock(mutex_);
    text_.clear();
    ticks_ = -1;
}

bool StatusText::tick() {
    std::lock_guard lock(mutex_);
    if (ticks_ < 0)
        return false;
    if (--ticks_ >= 0)
        return false;
    text_.clear();
    return true;
}

std::string StatusText::text() const {
    std::lock_guard lock(mutex_);
    return text_;
}

int StatusText::ticksLeft() const {
    std::lock_guard lock(mutex_);
    return ticks_;
}

namespace {

std::string twoDigits(std::int64_t value) {
    std::string digits = std::to_string(value);
    return digits.size() < 2 ? "0" + digits : digits;
}

} // namespace

std::string formatElapsed(std::int64_t seconds) {
    seconds = std::max<std::int64_t>(seconds, 0);
    return twoDigits(seconds / 60) + " mins  " + twoDigits(seconds % 60) + " secs";
}

std::string formatPercentDone(std::optional<double> percent) {
    if (!percent || std::isnan(*percent))
        return "unknown";
    return formatFixed(std::clamp(*percent, 0.0, 100.0), 0) + "% done";
}

} // namespace vortimax
