#pragma once

namespace vortimax {

class FractalView;

// The calculation of the Lyapunov space: every pixel's point (a, b) gets the value of the
// forced map's Lyapunov exponent. Runs the passes of the rectangle x0..x1 by y0..y1 on
// the calculation pool, skipping pixels that already hold a value, so a calculation that
// a command stopped carries on where it stopped.
void calculateLyapunov(FractalView& view, int x0, int y0, int x1, int y1);

} // namespace vortimax
