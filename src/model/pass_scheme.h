#pragma once

#include "model/fractal_view.h"

#include <chrono>
#include <cstdint>
#include <vector>

namespace vortimax {

// The inclusive rectangle a calculation covers; rows count from the bottom.
struct PassRect {
    int x0, y0, x1, y1;
};

// Rows of one pass in visiting order: from the middle outward, alternately one row of
// the lower half (middle - step, middle - 2 step, ...) and one of the upper half (middle,
// middle + step, ...), until both ends of the rectangle are passed.
std::vector<int> passRowOrder(const PassRect& rect, int step);

// Number of passes of a job: Passes + 1, or the view's pass limit for a resume, clamped
// to 1 ... Passes + 1.
int passCount(int passesParameter, int lastJob, int passLimit);

// The bookkeeping around the pixel loop that every escape-time driver shares: steps,
// progress over the estimated total work, colouring of finished rows and painting at
// most every DrawingSpeed milliseconds.
class PassProgress {
public:
    PassProgress(FractalView& view, const PassRect& rect, int passes);

    // Block sizes of the passes, coarsest first: 2^(P-1) ... 1.
    const std::vector<int>& steps() const { return steps_; }
    // Hands a finished row to the colouring stage, advances the progress and paints
    // when DrawingSpeed milliseconds have passed since the last paint.
    void rowDone(int row, int step);
    // Paints what is left of the pass (after reducing a true-colour image for an
    // 8-bit screen).
    void passDone();

private:
    void paintBand();

    FractalView& view_;
    PassRect rect_;
    std::vector<int> steps_;
    double total_ = 0.0;
    double visited_ = 0.0;
    int bandLow_ = 0;
    int bandHigh_ = -1;
    std::chrono::steady_clock::time_point lastPaint_;
};

// Runs the passes of a job over `rect`. `kernel(x, y)` computes one pixel's value (never
// 0.0); pixels whose cell is already non-zero are skipped. Returns false when a command
// stopped the job.
template <typename Kernel>
bool runPasses(FractalView& view, const PassRect& rect, int passes, Kernel&& kernel) {
    PassProgress progress(view, rect, passes);
    ImageBuffers& buffers = view.buffers();
    for (int step : progress.steps()) {
        for (int row : passRowOrder(rect, step)) {
            float* cells = &buffers.value(0, row);
            for (int x = rect.x0; x <= rect.x1; x += step) {
                if (view.mustStop())
                    return false;
                if (cells[x] == 0.0f)
                    cells[x] = kernel(x, row);
            }
            progress.rowDone(row, step);
        }
        progress.passDone();
    }
    return true;
}

// Redraw without calculation: every row of the image, middle outward, coloured at block
// size 1. Returns false when a command stopped it.
bool recolourImage(FractalView& view);

} // namespace vortimax
