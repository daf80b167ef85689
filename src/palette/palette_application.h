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

// How a palette change reached the screen.
enum class PaletteShown {
    Unchanged,  // the display form was the one shown already
    Animated,   // 8-bit screen: entries 0..251 of the colour table rewritten in place
    Repainted,  // true-colour screen: the index image painted again through the new table
    Recoloured, // the image coloured anew from its stored values
};

// Whether the view's picture is an image of palette indices that the screen shows
// through its colour table: an 8-bit fractal without a 3D image. The worker never reads
// the colour table of such a view, so it may change while a calculation runs.
bool showsIndexImage(const FractalView& view);

// Shows the fractal's palette after a change of the palette or of its offset. When
// entries 0..251 of the new display form equal the ones shown, nothing happens. An index
// image only needs its colour table changed and a repaint (requested from the
// frontend); any other image is paused, recoloured from its values and redrawn.
PaletteShown showPalette(FractalView& view, const PaletteList& palettes);

} // namespace vortimax
