#include "palette/colour_cycling.h"

#include "model/calc_command.h"
#include "model/fractal_view.h"
#include "palette/palette_application.h"

#include <cmath>

namespace vortimax {

namespace {
constexpr double kPaletteLength = 252.0;
} // namespace

int ColourCycling::intervalMs() const {
    const double speed = settings.speed > 0.0 ? settings.speed : 1.0;
    const double interval = std::trunc(1000.0 / speed);
    if (!(interval >= 1.0))
        return 1;
    return interval > 1000000.0 ? 1000000 : static_cast<int>(interval);
}

double ColourCycling::nextOffset(double offset, double step, bool upwards) {
    double next = upwards ? offset + step : offset - step;
    if (!std::isfinite(next))
        return 0.0;
    // A step larger than the palette still lands inside it.
    next = std::fmod(next, kPaletteLength);
    if (next < 0.0)
        next += kPaletteLength;
    return next >= kPaletteLength ? 0.0 : next;
}

double ColourCycling::currentOffset(const FractalRecord* active) const {
    return active != nullptr ? active->palOffset : defaultOffset;
}

bool ColourCycling::tick(FractalRecord* active, const PaletteList& palettes) {
    if (!settings.on || active == nullptr || active->displayDepth != 8)
        return false;
    active->palOffset = nextOffset(active->palOffset, settings.step, settings.upwards);
    FractalView* view = active->view;
    // The colour table may only change while the worker is idle.
    if (view != nullptr && view->finished() && view->commandWord() == calc::kIdle) {
        applyPaletteToView(*view, palettes);
        redrawView(*view);
    }
    return true;
}

} // namespace vortimax
