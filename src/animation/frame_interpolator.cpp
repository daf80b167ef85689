#include "animation/frame_interpolator.h"

#include "animation/big_curve.h"
#include "animation/key_layers.h"
#include "animation/time_warp.h"
#include "base/natural_spline.h"
#include "model/descriptor_tables.h"
#include "model/param_block.h"
#include "model/type_registry.h"
#include "model/unique_name.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

namespace vortimax {

namespace {

// The two blocks the generic pass walks: the type's parameters and the 3D settings.
constexpr std::size_t kTypeBlock = 0;
constexpr std::size_t kSettings3DBlock = 1;

// A knot x below this marks a colour-mapping knot that is not in use.
constexpr double kUnusedKnot = -1e9;
constexpr int kKnots = 20;
// Zoom factors this close to 1 move the area linearly.
constexpr double kNoZoom = 1e-5;
// Frames of one segment that decide whether its area may follow the spline; longer
// segments are sampled evenly.
constexpr std::int64_t kMostCheckedFrames = 4096;

// The corners, the real parts first; the inversion centre moves with the real parts.
constexpr std::array<std::string_view, 3> kRealCorners = {"TopLeftR", "BottomRightR", "TopRightR"};
constexpr std::array<std::string_view, 3> kImaginaryCorners = {"TopLeftI", "BottomRightI",
                                                               "TopRightI"};
constexpr std::array<std::string_view, 2> kCentreValues = {"InvCenterX", "InvCenterY"};

bool hasArea(const FractalRecord& record) {
    const FractalTypeInfo* info = fractalType(record.type);
    return info != nullptr && info->hasArea && record.hasParams();
}

ConstBlockRef blockOf(const FractalRecord& record, std::size_t block) {
    return block == kTypeBlock ? record.params() : record.settings3D();
}
BlockRef blockOf(FractalRecord& record, std::size_t block) {
    return block == kTypeBlock ? record.params() : record.settings3D();
}

// The horizontal and vertical extent of a key's area: right minus left real part of the
// top edge, and bottom minus top imaginary part.
struct Extents {
    double width = 0.0;
    double height = 0.0;
};
struct Corners {
    BigFixed topLeftR, topLeftI, bottomRightR, bottomRightI, topRightR, topRightI;
    bool stretch = false;
};
Corners cornersOf(ConstBlockRef block) {
    return {block.bigFixed("TopLeftR"),     block.bigFixed("TopLeftI"),
            block.bigFixed("BottomRightR"), block.bigFixed("BottomRightI"),
            block.bigFixed("TopRightR"),    block.bigFixed("TopRightI"),
            block.integer("Stretch") != 0};
}
Extents extentsOf(const Corners& c) {
    const BigFixed& right = c.stretch ? c.topRightR : c.bottomRightR;
    const BigFixed& top = c.stretch ? c.topRightI : c.topLeftI;
    return {(right - c.topLeftR).toDouble(), (c.bottomRightI - top).toDouble()};
}

std::int32_t truncatedInteger(double value) {
    if (std::isnan(value))
        return 0;
    constexpr double kLow = std::numeric_limits<std::int32_t>::min();
    constexpr double kHigh = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(std::trunc(value), kLow, kHigh));
}

NaturalSpline::Kind splineKind(const AnimData& data) {
    return data.spline() ? NaturalSpline::Kind::Cubic : NaturalSpline::Kind::Linear;
}
BigCurve::Kind bigKind(const AnimData& data) {
    return data.spline() ? BigCurve::Kind::Cubic : BigCurve::Kind::Linear;
}

bool within(double value, double a, double b) {
    const double low = std::min(a, b), high = std::max(a, b);
    const double slack = 1e-12 * std::max(std::fabs(a), std::fabs(b));
    return value >= low - slack && value <= high + slack;
}

} // namespace

FrameInterpolator::FrameInterpolator(std::vector<const FractalRecord*> keys, const AnimData& data)
    : keys_(std::move(keys)), data_(data), timeline_([this] {
          std::vector<double> gaps;
          for (const FractalRecord* key : keys_)
              gaps.push_back(key->numFrames);
          return gaps;
      }()),
      splineSegments_(keys_.size()) {}

std::optional<FrameChange> FrameInterpolator::makeFrame(std::int64_t f, FractalRecord& frame) {
    const auto segment = timeline_.segmentOf(f);
    // A gap below 1 puts two keys at one position, where no curve is defined.
    if (!segment || timeline_.firstShortGap())
        return std::nullopt;
    const ParamBlock paramsBefore = frame.paramBlock;
    const Settings3DBlock settingsBefore = frame.settings3DBlock;
    const double p = static_cast<double>(f - 1);
    if (frame.hasParams() && keys_.front()->hasParams())
        interpolateBlock(kTypeBlock, p, segment->end, frame);
    interpolateBlock(kSettings3DBlock, p, segment->end, frame);
    if (hasArea(frame) && hasArea(*keys_.front()))
        interpolateArea(segment->end, segment->fraction, frame);
    takeUnusedKnots(segment->end, frame);
    frame.dims = data_.dimension != 0 ? 1 : 0;

    // Which changed rows need a new calculation.
    FrameChange change = FrameChange::Unchanged;
    const auto compare = [&change](ConstBlockRef now, const std::uint8_t* before) {
        const DescriptorTable& table = now.table();
        for (std::size_t i = 0; i < table.size(); ++i) {
            const std::size_t offset = table.offset(i);
            if (std::memcmp(now.bytes().data() + offset, before + offset,
                            table.row(i).fieldSize()) == 0)
                continue;
            if (table.row(i).recalculation)
                change = FrameChange::Recalculate;
            else if (change == FrameChange::Unchanged)
                change = FrameChange::Recolour;
        }
    };
    if (frame.hasParams())
        compare(std::as_const(frame).params(), paramsBefore.data());
    compare(std::as_const(frame).settings3D(), settingsBefore.data());
    return change;
}

std::unique_ptr<FractalRecord>
FrameInterpolator::createFrame(std::int64_t f, std::string_view name,
                               const RecordCreationContext& context) {
    const auto segment = timeline_.segmentOf(f);
    if (!segment || timeline_.firstShortGap())
        return nullptr;
    auto frame = cloneRecord(*keys_[segment->end - 1], context);
    frame->name = cutName(name);
    frame->entryKind = kEntryOrdinary;
    frame->width = data_.width;
    frame->height = data_.height;
    makeFrame(f, *frame);
    return frame;
}

// Every animated row of one block, by its rule, at position p (frame f - 1).
void FrameInterpolator::interpolateBlock(std::size_t blockIndex, double p, std::size_t segment,
                                         FractalRecord& frame) const {
    BlockRef target = blockOf(frame, blockIndex);
    const DescriptorTable& table = target.table();
    if (&blockOf(*keys_.front(), blockIndex).table() != &table)
        return; // keys of another type: nothing fits
    const ConstBlockRef first = blockOf(*keys_[segment - 1], blockIndex);
    const std::vector<double>& xs = timeline_.positions();
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ParamDescriptor& row = table.row(i);
        // A compound frame's layer names are set by whoever made its layer fractals.
        if (!row.animated || isLayerLink(frame, row))
            continue;
        std::uint8_t* field = target.field(i);
        const std::size_t size = row.fieldSize();
        const bool interpolated =
            row.animMode == AnimMode::Interpolate && (row.kind != ParamKind::Text);
        if (row.animMode == AnimMode::SetZero) {
            std::memset(field, 0, size);
            continue;
        }
        if (!interpolated) { // hold the segment's first key, or equal in every key
            std::memcpy(field, first.field(i), size);
            continue;
        }
        std::vector<double> ys;
        std::vector<BigFixed> bigs;
        for (const FractalRecord* key : keys_) {
            const std::uint8_t* value = blockOf(*key, blockIndex).field(i);
            if (row.kind == ParamKind::BigFixed) {
                bigs.push_back(loadBigFixed(value));
                ys.push_back(bigs.back().toDouble());
            } else {
                ys.push_back(row.kind == ParamKind::Real ? loadReal(value) : loadInt(value));
            }
        }
        const double at = logarithmicTime(row.timeWarp) ? warpedPosition(p, xs, ys) : p;
        if (row.kind == ParamKind::BigFixed) {
            storeBigFixed(field, BigCurve(xs, std::move(bigs), bigKind(data_))(at));
            continue;
        }
        const double value = NaturalSpline(xs, std::move(ys), splineKind(data_))(at);
        if (row.kind == ParamKind::Real)
            storeReal(field, value);
        else
            storeInt(field, truncatedInteger(value));
    }
}

// s = (q^t - 1) / (q - 1) for the zoom q of the segment, so that the area shrinks or grows
// geometrically and the picture moves at an even pace on screen.
FrameInterpolator::AreaTime FrameInterpolator::areaTime(std::size_t segment, double t,
                                                        bool horizontal) const {
    const Extents from = extentsOf(cornersOf(keys_[segment - 1]->params()));
    const Extents to = extentsOf(cornersOf(keys_[segment]->params()));
    const double q = horizontal ? to.width / from.width : to.height / from.height;
    if (!std::isfinite(q) || !(q > 0.0) || std::fabs(q - 1.0) < kNoZoom)
        return {t, 1.0 - t};
    const double power = std::pow(q, t);
    return {(power - 1.0) / (q - 1.0), (q - power) / (q - 1.0)};
}

void FrameInterpolator::interpolateArea(std::size_t segment, double t, FractalRecord& frame) {
    const bool linear = !areaFollowsSpline(segment);
    const AreaTime across = areaTime(segment, t, true);
    const AreaTime down = areaTime(segment, t, false);
    BlockRef target = frame.params();
    const auto place = [&](std::string_view key, const AreaTime& time) {
        std::vector<BigFixed> ys;
        for (const FractalRecord* k : keys_)
            ys.push_back(k->params().bigFixed(key));
        const BigCurve curve(timeline_.positions(), std::move(ys), bigKind(data_));
        target.setBigFixed(key, curve.inInterval(segment, time.s, time.rest, linear));
    };
    for (std::string_view key : kCentreValues)
        place(key, across);
    for (std::string_view key : kRealCorners)
        place(key, across);
    for (std::string_view key : kImaginaryCorners)
        place(key, down);
}

bool FrameInterpolator::areaFollowsSpline(std::size_t segment) {
    if (!data_.spline() || keys_.size() < 3 || segment == 0 || segment >= keys_.size())
        return false;
    if (!hasArea(*keys_.front()))
        return false;
    if (!splineSegments_[segment])
        splineSegments_[segment] = splineKeepsExtents(segment);
    return *splineSegments_[segment];
}

// Whether the spline keeps every frame's width and height between those of the segment's
// two keys.
bool FrameInterpolator::splineKeepsExtents(std::size_t segment) const {
    std::vector<BigCurve> curves;
    constexpr std::array<std::string_view, 6> kCorners = {
        "TopLeftR", "TopLeftI", "BottomRightR", "BottomRightI", "TopRightR", "TopRightI"};
    for (std::string_view key : kCorners) {
        std::vector<BigFixed> ys;
        for (const FractalRecord* k : keys_)
            ys.push_back(k->params().bigFixed(key));
        curves.emplace_back(timeline_.positions(), std::move(ys), BigCurve::Kind::Cubic);
    }
    const Extents from = extentsOf(cornersOf(keys_[segment - 1]->params()));
    const Extents to = extentsOf(cornersOf(keys_[segment]->params()));
    const bool stretch = keys_[segment - 1]->params().integer("Stretch") != 0;
    const std::int64_t firstFrame = timeline_.frameNumbers()[segment - 1];
    const std::int64_t lastFrame = timeline_.frameNumbers()[segment];
    const std::int64_t frames = lastFrame - firstFrame;
    const std::int64_t step = std::max<std::int64_t>(1, frames / kMostCheckedFrames);
    const double g = std::trunc(keys_[segment]->numFrames);
    for (std::int64_t f = firstFrame + 1; f <= lastFrame; f += step) {
        const double t = (g - static_cast<double>(lastFrame - f)) / g;
        const AreaTime across = areaTime(segment, t, true);
        const AreaTime down = areaTime(segment, t, false);
        Corners c;
        c.stretch = stretch;
        c.topLeftR = curves[0].inInterval(segment, across.s, across.rest);
        c.topLeftI = curves[1].inInterval(segment, down.s, down.rest);
        c.bottomRightR = curves[2].inInterval(segment, across.s, across.rest);
        c.bottomRightI = curves[3].inInterval(segment, down.s, down.rest);
        c.topRightR = curves[4].inInterval(segment, across.s, across.rest);
        c.topRightI = curves[5].inInterval(segment, down.s, down.rest);
        const Extents e = extentsOf(c);
        if (!within(e.width, from.width, to.width) || !within(e.height, from.height, to.height))
            return false;
    }
    return true;
}

// A knot one key does not use takes the other key's knot, x and y together.
void FrameInterpolator::takeUnusedKnots(std::size_t segment, FractalRecord& frame) const {
    const ConstBlockRef from = keys_[segment - 1]->settings3D();
    const ConstBlockRef to = keys_[segment]->settings3D();
    BlockRef target = frame.settings3D();
    for (int i = 1; i <= kKnots; ++i) {
        const std::string x = "Knotx" + std::to_string(i);
        const std::string y = "Knoty" + std::to_string(i);
        const ConstBlockRef* source = nullptr;
        if (from.real(x) < kUnusedKnot)
            source = &to;
        else if (to.real(x) < kUnusedKnot)
            source = &from;
        if (source == nullptr)
            continue;
        target.setReal(x, source->real(x));
        target.setReal(y, source->real(y));
    }
}

} // namespace vortimax
