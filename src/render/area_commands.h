#pragma once

#include "model/fractal_view.h"

namespace vortimax {

// The area commands on an open fractal: they stop its calculation, change the area (and
// for a move the buffers), record the change as an undo step of its own, report in the
// message window and calculate again.

// Zooms into (or out of) the view's selection box: the undo step "Zoom in" / "Zoom out".
// False when there is nothing to do: no view, no box, a box of zero size or a type
// without an area.
bool zoomFractal(FractalRecord& record, bool zoomIn, ViewEnvironment& environment);

// Drags the image dx columns to the right and dy rows up: what stays visible is kept and
// only the uncovered strips are calculated again, with fewer passes the more is kept.
// The undo step "Move".
bool moveFractal(FractalRecord& record, int dx, int dy, ViewEnvironment& environment);

// "Proportional": gives the area the image's aspect ratio; an open fractal records the
// undo step "Proportional" and recalculates.
bool proportionalFractal(FractalRecord& record);

} // namespace vortimax
