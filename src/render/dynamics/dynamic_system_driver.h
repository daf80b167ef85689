#pragma once

namespace vortimax {

class FractalView;

// The calculation of the Dynamic_System type: clears the picture to the background
// (palette entry 252, black in true colour) and draws the orbit of the record's system
// with the colour of palette entry 254, as lines joining its points (Drawmode 0) or as
// points (Drawmode 1). The picture is drawn, not coloured from values: the value buffer
// stays untouched. A stop ends the drawing; the next calculation starts it again. A
// Delta that is not greater than 0, or a step that no longer advances the time, is
// reported as the reason the image could not be calculated. The rectangle is ignored:
// the whole picture is drawn.
void calculateDynamicSystem(FractalView& view, int x0, int y0, int x1, int y1);

} // namespace vortimax
