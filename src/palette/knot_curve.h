#pragma once

#include "palette/palette.h"

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace vortimax {

// A knot of a palette editor curve: a screen position 0..251 and a channel value 0..255,
// both real while the knot is being dragged.
struct Knot {
    double x = 0.0;
    double y = 0.0;
    bool highlighted = false;
};

// The palette entry shown at a screen position under a rounded offset: (x - k) mod 252.
std::size_t entryAtScreen(int x, int offset);

// One channel of the palette editor: a polyline through knots kept in order of x. The
// curve is cyclic: after the last knot it runs on to the first one, 252 positions on.
class KnotCurve {
public:
    explicit KnotCurve(Channel channel = Channel::Red) : channel_(channel) {}

    Channel channel() const { return channel_; }
    const std::vector<Knot>& knots() const { return knots_; }
    std::size_t size() const { return knots_.size(); }
    Knot& operator[](std::size_t index) { return knots_.at(index); }
    const Knot& operator[](std::size_t index) const { return knots_.at(index); }

    // A knot for every entry flagged in this channel, at its screen position under the
    // rounded offset `offset`.
    void fill(const Palette& palette, int offset);
    // Adds the knot at its place in x order and returns its index.
    std::size_t insert(const Knot& knot);
    void erase(std::size_t index);
    void clearHighlights();
    // The index of the knot at the rounded screen position, if there is one.
    std::optional<std::size_t> knotAt(int x) const;

    // The curve's value at a screen position by linear interpolation between the knots
    // around it; nothing without knots.
    std::optional<double> valueAt(double x) const;

private:
    Channel channel_;
    std::vector<Knot> knots_;
};

// Writes the curves into the palette: screen position i = 0..251 goes to entry
// (i - offset) mod 252, each channel the truncated value of its curve there. A channel
// without knots keeps its colours. Knot flags are left alone.
void rebuildPalette(Palette& palette, const std::array<KnotCurve, 3>& curves, int offset);

} // namespace vortimax
