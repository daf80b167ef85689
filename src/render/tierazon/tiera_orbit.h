#pragma once

#include "render/tierazon/colour_methods.h"
#include "render/tierazon/tiera_params.h"

namespace vortimax {

// Iterates the pixel at (re, im) (before circle inversion) with the subtype step, start
// values and stop tests of the escape-time kernel, letting the filter watch every step,
// and fills `result` with the final z, the saved value, the filter result, the step count
// and the escape-time value of the same orbit. The plain z^2 + c loop keeps the lagging
// escape test of the escape-time fast loop, so both stop at the same step.
void tieraOrbit(const TieraParams& params, double re, double im, TieraResult& result);

// Applies the colour method to `result`.
void tieraColour(const TieraParams& params, TieraResult& result);

} // namespace vortimax
