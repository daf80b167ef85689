#pragma once

#include "render/geometry/figure_canvas.h"

#include <chrono>
#include <mutex>

namespace vortimax {

class FractalView;

// The bookkeeping around drawing a figure into an open fractal, shared by the IFS and
// L-system drivers: the bitmap is cleared at the start; the figure is drawn in slices
// under the view's pixel lock; between slices the progress is set, the window is told
// to repaint at most every DrawingSpeed milliseconds and the command word is read.
class FigureDrawing {
public:
    explicit FigureDrawing(FractalView& view);

    // Runs `draw(canvas)` under the pixel lock.
    template <typename Draw> void slice(Draw&& draw) {
        std::lock_guard pixels(pixelLock());
        draw(canvas_);
    }
    // After a slice: true when the command word says stop.
    bool sliceDone(double progress);
    // The figure is complete (or nothing more will be drawn): a true-colour image shown
    // on an 8-bit screen is reduced to the palette and the whole image painted.
    void finish();

private:
    std::mutex& pixelLock();
    void paint();

    FractalView& view_;
    FigureCanvas canvas_;
    std::chrono::steady_clock::time_point lastPaint_;
};

} // namespace vortimax
