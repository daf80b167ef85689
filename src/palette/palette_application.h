#pragma once

#include "model/fractal_view.h"
#include "palette/palette_list.h"

namespace vortimax {

// Gives an open fractal the display form of its palette (found by name, the default
// palette when the name is unknown) at its palette offset. Call it while the view's
// worker is paused or idle, then redraw; compounds reading the view are paused first.
void applyPaletteToView(FractalView& view, const PaletteList& palettes);

// Sets ViewHooks::applyPalette to applyPaletteToView with this list.
void installPaletteApplication(ViewHooks& hooks, const PaletteList& palettes);

} // namespace vortimax
