#include "animation/key_timeline.h"

#include <cmath>
#include <limits>

namespace vortimax {

namespace {

// Frame numbers stay within what the animation's 32-bit fields hold.
constexpr double kMostFrames = std::numeric_limits<std::int32_t>::max();

std::int64_t truncatedFrame(double value) {
    if (!std::isfinite(value))
        return value > 0 ? static_cast<std::int64_t>(kMostFrames) : 0;
    if (value > kMostFrames)
        value = kMostFrames;
    if (value < -kMostFrames)
        value = -kMostFrames;
    return static_cast<std::int64_t>(std::trunc(value));
}

} // namespace

KeyTimeline::KeyTimeline(std::vector<double> gaps) : gaps_(std::move(gaps)) {
    double position = 0.0;
    std::int64_t frame = 1;
    for (std::size_t j = 0; j < gaps_.size(); ++j) {
        if (j > 0) {
            position += gaps_[j];
            frame = truncatedFrame(static_cast<double>(frame) + gaps_[j]);
        }
        positions_.push_back(position);
        frames_.push_back(frame);
    }
    if (!gaps_.empty()) {
        std::int64_t total = truncatedFrame(1.0 - gaps_[0]);
        for (double gap : gaps_)
            total = truncatedFrame(static_cast<double>(total) + gap);
        total_ = total;
    }
}

std::optional<KeyTimeline::Segment> KeyTimeline::segmentOf(std::int64_t frame) const {
    if (frames_.size() < 2 || frame < 1)
        return std::nullopt;
    if (frame == 1)
        return Segment{1, 0.0};
    for (std::size_t j = 1; j < frames_.size(); ++j) {
        if (frames_[j] < frame)
            continue;
        const double g = std::trunc(gaps_[j]);
        if (!(g >= kMinimumGap))
            return std::nullopt;
        return Segment{j, (g - static_cast<double>(frames_[j] - frame)) / g};
    }
    return std::nullopt;
}

std::optional<std::size_t> KeyTimeline::firstShortGap() const {
    for (std::size_t j = 1; j < gaps_.size(); ++j)
        if (!(gaps_[j] >= kMinimumGap) || !std::isfinite(gaps_[j]))
            return j;
    return std::nullopt;
}

} // namespace vortimax
