#pragma once

#include "render/escape/escape_params.h"
#include "render/tierazon/colour_methods.h"
#include "render/tierazon/orbit_filters.h"

namespace vortimax {

class FractalRecord;

// Everything the Tierazon-mode kernel needs, read once per calculation: the escape-time
// parameters of the same orbit plus the filter, the colour method and their constants.
struct TieraParams {
    EscapeParams escape;
    const OrbitFilter* filter = &orbitFilter(0);
    const ColourMethod* method = &colourMethod(0);
    FilterConstants constants;
    MethodFactors factors;
};

// Reads a Tiera_Julia or Tiera_Mandel record. Unknown filter and method numbers fall back
// to "None" and "Normal".
TieraParams readTieraParams(const FractalRecord& record);

} // namespace vortimax
