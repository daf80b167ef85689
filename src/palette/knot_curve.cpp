#include "palette/knot_curve.h"

#include <algorithm>
#include <cmath>

namespace vortimax {

namespace {

constexpr int kColours = static_cast<int>(kPaletteColours);

int wrapColour(long long position) {
    const long long wrapped = position % kColours;
    return static_cast<int>(wrapped < 0 ? wrapped + kColours : wrapped);
}

} // namespace

std::size_t entryAtScreen(int x, int offset) {
    return static_cast<std::size_t>(wrapColour(static_cast<long long>(x) - offset));
}

void KnotCurve::fill(const Palette& palette, int offset) {
    knots_.clear();
    for (std::size_t e = 0; e < kPaletteColours; ++e) {
        if (!palette.isKnot(channel_, e))
            continue;
        const Rgb colour = palette.colour(e);
        const int values[3] = {colour.red, colour.green, colour.blue};
        knots_.push_back({static_cast<double>(wrapColour(static_cast<long long>(e) + offset)),
                          static_cast<double>(values[static_cast<int>(channel_)]), false});
    }
    std::sort(knots_.begin(), knots_.end(), [](const Knot& a, const Knot& b) { return a.x < b.x; });
}

std::size_t KnotCurve::insert(const Knot& knot) {
    auto at = std::upper_bound(knots_.begin(), knots_.end(), knot.x,
                               [](double x, const Knot& k) { return x < k.x; });
    // Insertion may move the knots: the index is taken from the new iterator only.
    const auto inserted = knots_.insert(at, knot);
    return static_cast<std::size_t>(inserted - knots_.begin());
}

void KnotCurve::erase(std::size_t index) {
    if (index < knots_.size())
        knots_.erase(knots_.begin() + static_cast<std::ptrdiff_t>(index));
}

void KnotCurve::clearHighlights() {
    for (Knot& knot : knots_)
        knot.highlighted = false;
}

std::optional<std::size_t> KnotCurve::knotAt(int x) const {
    for (std::size_t i = 0; i < knots_.size(); ++i)
        if (std::lround(knots_[i].x) == x)
            return i;
    return std::nullopt;
}

std::optional<double> KnotCurve::valueAt(double x) const {
    if (knots_.empty())
        return std::nullopt;
    const Knot& first = knots_.front();
    const Knot& last = knots_.back();
    Knot a = last, b = first;
    if (x < first.x) {
        a.x -= kColours;
    } else if (x > last.x) {
        b.x += kColours;
    } else {
        auto next = std::lower_bound(knots_.begin(), knots_.end(), x,
                                     [](const Knot& k, double value) { return k.x < value; });
        b = *next;
        a = next == knots_.begin() ? *next : *(next - 1);
    }
    if (!(b.x > a.x))
        return b.y;
    return a.y + (x - a.x) * (b.y - a.y) / (b.x - a.x);
}

void rebuildPalette(Palette& palette, const std::array<KnotCurve, 3>& curves, int offset) {
    for (int i = 0; i < kColours; ++i) {
        const std::size_t entry = entryAtScreen(i, offset);
        const Rgb old = palette.colour(entry);
        int values[3] = {old.red, old.green, old.blue};
        for (std::size_t c = 0; c < 3; ++c)
            if (const auto value = curves[c].valueAt(i))
                values[c] = std::clamp(static_cast<int>(std::trunc(*value)), 0, 255);
        palette.setColour(entry, Rgb{values[0], values[1], values[2]});
    }
}

} // namespace vortimax
