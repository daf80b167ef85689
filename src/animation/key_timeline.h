#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vortimax {

// Where the keys of an animation lie in time, from their frame gaps (gap j is the number
// of frames from key j - 1 to key j; the first key's own gap only counts towards the
// total). The first key lies at position 0 and is frame 1; frame f lies at position f - 1.
class KeyTimeline {
public:
    explicit KeyTimeline(std::vector<double> gaps);

    std::size_t keyCount() const { return gaps_.size(); }
    // x_j: 0 for the first key, then x_(j-1) + gap_j.
    const std::vector<double>& positions() const { return positions_; }
    // F_j: 1 for the first key, then trunc(F_(j-1) + gap_j).
    const std::vector<std::int64_t>& frameNumbers() const { return frames_; }
    // Frames of the whole animation: trunc(1 - gap_1), then every gap added in order with
    // truncation at each step. With whole gaps it is the last key's frame number.
    std::int64_t totalFrames() const { return total_; }

    // The segment that frame `f` lies in: the key that ends it (at least 1) and the
    // fraction t = (g - (F_j - f)) / g with g = trunc(gap_j). Frame 1 is the first key itself
    // (segment 1 at t = 0). Nothing below frame 1, beyond the last key or with fewer
    // than two keys.
    struct Segment {
        std::size_t end = 1;
        double fraction = 0.0;
    };
    std::optional<Segment> segmentOf(std::int64_t frame) const;

    // The first key (counting from 1 for the second key) whose gap is below 1, which would
    // give a segment without frames, or not finite.
    std::optional<std::size_t> firstShortGap() const;

private:
    std::vector<double> gaps_;
    std::vector<double> positions_;
    std::vector<std::int64_t> frames_;
    std::int64_t total_ = 0;
};

// The smallest gap between two keys.
constexpr double kMinimumGap = 1.0;

} // namespace vortimax
