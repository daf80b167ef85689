#pragma once

#include "model/fractal_view.h"
#include "model/view_undo.h"

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

// The notches of the mouse wheel over one fractal. Each notch zooms one step about the
// point under the cursor and calculates anew; the notches of one turn of the wheel make one
// undo step, "Zoom in" or "Zoom out" as the turn went in the whole.
class WheelZoom {
public:
    // One notch at pixel (column, row), rows counted from the bottom. `continues` says
    // whether it belongs to the turn of the notches before it. False when the fractal
    // cannot zoom (no view, no area).
    bool notch(FractalRecord& record, double column, double row, bool zoomIn, bool continues,
               ViewEnvironment& environment);

private:
    GrowingUndoStep step_;
    int inwards_ = 0; // notches in minus notches out in this turn
};

// "Proportional": gives the area the image's aspect ratio; an open fractal records the
// undo step "Proportional" and recalculates.
bool proportionalFractal(FractalRecord& record);

} // namespace vortimax
