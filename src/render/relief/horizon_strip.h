#pragma once

#include "render/relief/column_profile.h"

#include <vector>

namespace vortimax {

// Screen rows no surface covers keep this shade.
constexpr float kNoSurface = -999.0f;

// What one screen column of the relief shows: a shade and a palette position per screen
// row (rows from the bottom), kNoSurface where the background shows.
struct StripColumn {
    std::vector<float> shade;
    std::vector<float> position;
    void reset(int rows);
};

// Draws a column by the floating-horizon rule. The data rows are walked from the front
// (row 0) to the back, or from the back when `backToFront`. The first row walked is drawn
// at its own screen row; every later row that rises above the upper horizon (or falls
// below the lower one) fills the screen rows from the horizon to its own, blending
// linearly from the previous row's shade and position to its own, and moves the
// horizon. Screen rows outside the strip are not drawn. `shades` holds one shade per
// data row.
void drawStrip(const std::vector<ProfileRow>& rows, const std::vector<double>& shades,
               bool backToFront, StripColumn& strip);

// Whether the observer's vertical angle (degrees) looks at the relief from behind:
// brought into -180 ... 180 it lies beyond 90 either way.
bool seenFromBehind(double observerAngle);

} // namespace vortimax
