#include "palette/colour_cycling.h"

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

void ColourCycling::setOffset(FractalRecord* active, double offset) {
    (active != nullptr ? active->palOffset : defaultOffset) = offset;
}

bool ColourCycling::follow(const FractalRecord* active) {
    if (active == followed_)
        return false;
    followed_ = active;
    if (active == nullptr)
        return false;
    const ColourCyclingSettings before = settings;
    settings.on = active->colCyc != 0;
    settings.upwards = active->colCycUp != 0;
    settings.speed = active->colCycSpeed;
    settings.step = active->colCycStep;
    return settings != before;
}

void ColourCycling::store(FractalRecord* active) const {
    if (active == nullptr)
        return;
    active->colCyc = settings.on ? 1 : 0;
    active->colCycUp = settings.upwards ? 1 : 0;
    active->colCycSpeed = settings.speed;
    active->colCycStep = settings.step;
}

bool ColourCycling::tick(FractalRecord* active, const PaletteList& palettes) {
    if (!settings.on || active == nullptr || active->displayDepth != 8)
        return false;
    active->palOffset = nextOffset(active->palOffset, settings.step, settings.upwards);
    if (active->view != nullptr)
        showPalette(*active->view, palettes);
    return true;
}

} // namespace vortimax
