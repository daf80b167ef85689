#pragma once

#include "animation/anim_data.h"
#include "animation/key_timeline.h"
#include "model/fractal_record.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace vortimax {

// The name of the frame fractal of a running animation.
inline constexpr std::string_view kRunningFrameName = "(running anim)";

// What making a frame did to the frame fractal's parameters.
enum class FrameChange {
    Unchanged,   // every parameter as it was
    Recolour,    // only values whose change needs no new calculation changed
    Recalculate, // the image must be calculated anew
};

// Makes the frames of one list of key frames: every animated parameter of the type's
// table and of the 3D table follows its rule, the area corners follow a zoom-aware time,
// unused colour-mapping knots are taken from the other key. The keys must outlive the
// interpolator and be of one type and subtype (adding a key verifies that).
class FrameInterpolator {
public:
    FrameInterpolator(std::vector<const FractalRecord*> keys, const AnimData& data);

    const KeyTimeline& timeline() const { return timeline_; }
    std::size_t keyCount() const { return keys_.size(); }

    // Interpolates frame f into `frame`. Nothing (and `frame` untouched) when f is below 1
    // or beyond the last key.
    std::optional<FrameChange> makeFrame(std::int64_t f, FractalRecord& frame);
    // A new frame fractal for frame f: a copy of its segment's first key named `name`
    // (cut to 63 characters), at the animation's image size and dimension, interpolated.
    // Nothing when f is below 1 or beyond the last key.
    std::unique_ptr<FractalRecord> createFrame(std::int64_t f, std::string_view name,
                                               const RecordCreationContext& context);

    // Whether the area of segment j (1-based by its end key) follows the spline; the
    // linear curve is used where the spline would take a frame's width or height outside
    // those of the segment's two keys.
    bool areaFollowsSpline(std::size_t segment);

private:
    struct AreaTime {
        double s = 0.0;    // warped fraction of the segment
        double rest = 1.0; // 1 - s, with its own digits
    };
    void interpolateBlock(std::size_t blockIndex, double p, std::size_t segment,
                          FractalRecord& frame) const;
    void interpolateArea(std::size_t segment, double t, FractalRecord& frame);
    void takeUnusedKnots(std::size_t segment, FractalRecord& frame) const;
    AreaTime areaTime(std::size_t segment, double t, bool horizontal) const;
    bool splineKeepsExtents(std::size_t segment) const;

    std::vector<const FractalRecord*> keys_;
    AnimData data_;
    KeyTimeline timeline_;
    std::vector<std::optional<bool>> splineSegments_;
};

} // namespace vortimax
