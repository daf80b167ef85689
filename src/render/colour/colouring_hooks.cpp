#include "render/colour/colouring_hooks.h"

#include "model/view_environment.h"
#include "render/colour/colour_row.h"
#include "render/colour/dither.h"

namespace vortimax {

void installColouring(ViewHooks& hooks) {
    hooks.colourRow = colourRow;
    // The sweep covers the whole image, whatever part the pass computed: errors flow
    // across the part's edges.
    hooks.reduceToPalette = [](FractalView& view, int, int, int, int) { ditherImage(view); };
}

} // namespace vortimax
