#pragma once

#include "render/geometry/geometry_drivers.h"

#include <cstdint>
#include <string>

namespace vortimax {

class FractalView;

// Draws an L-system fractal in one go: the definition its `Formula` names, expanded to
// the depth MaxIter, drawn by the turtle with step length 1 / 2^MaxIter and turns of a
// full circle divided by the definition's angle (no turn when that is 0). An expansion
// beyond the bounds of measureExpansion is refused with the reason before anything is
// drawn.
void drawLSystem(FractalView& view, const LSystemLookup& lookup);

// Why an L-system is not drawn.
std::string expansionTooLongText(const std::string& name, std::int64_t depth);
std::string expansionTooDeepText(const std::string& name, std::int64_t depth);

} // namespace vortimax
