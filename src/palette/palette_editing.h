#pragma once

#include "base/frontend.h"
#include "palette/knot_curve.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>

namespace vortimax {

// The palette editor without its windows: the three channel curves of one palette as
// shown under a palette offset, and the edits made on them. Every edit writes the knot
// flags, rebuilds the palette from the curves and then calls `rebuilt`, through which
// the owner shows the changed palette at once.
class PaletteEditing {
public:
    static constexpr double kDefaultErrorLimit = 4.0;

    PaletteEditing();

    // Edits `palette` (none: nothing to edit) shown with palette offset `offset`; the
    // curves are filled from its knot flags.
    void attach(Palette* palette, double offset);
    // Fills the curves anew from the palette, e.g. after the offset moved.
    void refill(double offset);
    Palette* palette() const { return palette_; }
    int offset() const { return offset_; }
    const KnotCurve& curve(Channel channel) const { return curves_[index(channel)]; }

    double errorLimit = kDefaultErrorLimit;
    std::function<void()> rebuilt;

    // A knot at the rounded position (0..251) and value (0..255); on a position that
    // has a knot already, that knot takes the value. Returns the knot's index.
    std::optional<std::size_t> addKnot(Channel channel, double x, double y);
    // Moves a knot; it stays between its neighbours and inside 0..251 x 0..255. When its
    // rounded position changes, its knot flag moves to the entry now under it. Returns
    // the knot's index.
    std::optional<std::size_t> moveKnot(Channel channel, std::size_t knot, double x, double y);
    // Refused (false) for the last knot of a curve.
    bool deleteKnot(Channel channel, std::size_t knot);

    // The colour of the entry shown at a screen position, nothing outside 0..251.
    std::optional<Rgb> colourAtScreen(double x) const;

    // Removes the knots whose value lies within the error limit of the straight line
    // through their neighbours, the smallest error first. Interactively the first knot
    // beyond the limit is highlighted and the person asked whether to remove it anyway;
    // Yes removes it and goes on. Returns the last answer (Yes when none was asked).
    MessageAnswer removeKnots(Channel channel, Frontend* ask);
    // Without questions for red, green and blue, then with questions for each of them,
    // ending early on Cancel.
    void cleanUp(Frontend& frontend);

    // How far each knot lies from the line through its neighbours (taken cyclically).
    std::vector<double> knotErrors(Channel channel) const;

private:
    static std::size_t index(Channel channel) { return static_cast<std::size_t>(channel); }
    void removeKnot(Channel channel, std::size_t knot);
    void rebuild();

    Palette* palette_ = nullptr;
    int offset_ = 0;
    std::array<KnotCurve, 3> curves_;
};

// The question asked about a knot beyond the error limit.
std::string knotRemovalQuestion(Channel channel, std::size_t knot, double error, double limit);
constexpr std::string_view kKnotRemovalCaption = "Removing unnecessary knots...";

} // namespace vortimax
