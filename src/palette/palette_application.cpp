#include "palette/palette_application.h"

namespace vortimax {

void applyPaletteToView(FractalView& view, const PaletteList& palettes) {
    const FractalRecord& record = view.record();
    pauseCompoundsReading(view);
    view.colours = displayForm(palettes.findByName(record.palName), record.palOffset);
}

void installPaletteApplication(ViewHooks& hooks, const PaletteList& palettes) {
    hooks.applyPalette = [&palettes](FractalView& view) { applyPaletteToView(view, palettes); };
}

} // namespace vortimax
