#pragma once

namespace vortimax {

class FractalView;

// The calculation of bifurcation diagrams: every column x0 ... x1 is the orbit of the map
// with that column's parameter, computed whole (rows y0 ... y1 are all the image's rows).
// Columns are computed in bands on the calculation pool, each band coloured and painted
// when it is done. A command that stops it leaves what was computed; the next calculation
// starts again from the first column.
void calculateBifurcation(FractalView& view, int x0, int y0, int x1, int y1);

} // namespace vortimax
