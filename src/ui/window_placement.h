#pragma once

#include <QRect>

namespace vortimax::ui {

// Where a window goes on the screen, worked out from rectangles alone. The window keeps
// its wanted place when that lies inside `available` (the screen without panels); a
// window standing out is pulled back in, and one larger than `available` is shrunk to
// it. When `avoid` is given (the fractal window being worked on) and the window would
// cover it, the first place beside it that fits is taken: right of it, left of it,
// below it, above it. Without such a place the window stays where it was pulled to.
QRect placeWindow(const QRect& available, const QRect& wanted, const QRect& avoid = {});

} // namespace vortimax::ui
