#pragma once

namespace vortimax {

class FractalView;

// The calculation of the Julia and Mandel types: reads the parameters and the pixel
// mapping once, then computes the rectangle x0..x1 by y0..y1 pass by pass (the coarse
// passes first), skipping pixels that already hold a value. Returns early when a command
// stops the job; the next calculation carries on where this one stopped.
void calculateEscapeTime(FractalView& view, int x0, int y0, int x1, int y1);

} // namespace vortimax
