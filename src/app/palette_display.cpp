#include "app/application.h"
#include "palette/palette_application.h"

namespace vortimax {

Palette& Application::workingPalette() const {
    PaletteList& palettes = *palettes_;
    if (const FractalRecord* record = currentFractal())
        return palettes.findByName(record->palName);
    return palettes.current() != nullptr ? *palettes.current() : palettes.defaultPalette();
}

void Application::showCurrentPalette() {
    FractalRecord* record = currentFractal();
    if (record != nullptr && record->view != nullptr)
        showPalette(*record->view, *palettes_);
}

void Application::followColourCycling() {
    if (cycling_.follow(currentFractal()))
        timers_->changeTimer(ColourCycling::kTimerId, cycling_.intervalMs());
}

void Application::changeColourCycling(const ColourCyclingSettings& settings) {
    followColourCycling();
    const int interval = cycling_.intervalMs();
    cycling_.settings = settings;
    cycling_.store(currentFractal());
    if (cycling_.intervalMs() != interval)
        timers_->changeTimer(ColourCycling::kTimerId, cycling_.intervalMs());
}

} // namespace vortimax
