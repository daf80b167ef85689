#pragma once

#include "render/geometry/geometry_drivers.h"

namespace vortimax {

class FractalView;

// Draws an IFS fractal in one go: the chaos game of the definition its `Formula` names,
// MaxIter points, projected with Alpha and Beta onto the area.
void drawIfs(FractalView& view, const IfsLookup& lookup);

} // namespace vortimax
