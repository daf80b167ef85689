#pragma once

namespace vortimax {

class FractalView;

// The calculation of the Tierazon-mode types: reads the parameters and the pixel mapping
// once, then computes the rectangle x0..x1 by y0..y1 pass by pass like the escape-time
// driver, storing the three channel values of each pixel in the three value buffers.
// Pixels that already hold a value are skipped; a stopped job carries on later.
void calculateTiera(FractalView& view, int x0, int y0, int x1, int y1);

} // namespace vortimax
