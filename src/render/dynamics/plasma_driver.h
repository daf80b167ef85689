#pragma once

namespace vortimax {

class FractalView;

// The calculation of the Plasma type: fills the value buffer with the record's plasma
// cloud (the random generator started from its Seed at every calculation, so the same
// seed always gives the same cloud) and colours the whole image once at the end, by the
// values' absolute size. A stop leaves the values found so far and colours nothing; the
// next calculation starts again from the seed. The rectangle is ignored: plasma always
// covers the whole image.
void calculatePlasma(FractalView& view, int x0, int y0, int x1, int y1);

} // namespace vortimax
