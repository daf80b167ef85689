#pragma once

#include "model/calculation_pool.h"
#include "model/fractal_view.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
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
    // rowDone for a row whose pixels the driver wrote itself: no colouring.
    void rowWritten(int row, int step);
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

// Up to this many pixels of one row are calculated between two looks at the command
// word, and handed to a kernel at once so that it can compute them side by side.
constexpr int kPixelBatchSize = 64;

// Pixels of one row that still need values: the kernel fills values[i] for the pixel in
// column columns[i] (never 0.0).
struct PixelBatch {
    int row = 0;
    int count = 0;
    std::array<int, kPixelBatchSize> columns{};
    std::array<float, kPixelBatchSize> values{};
};

// Every pixel of one row (or of a few short rows) that still needs a value, for kernels
// that keep their vector lanes busier with many pixels than with one batch: values[i]
// (0.0 on entry) gets the value of the pixel in column columns[i] of row rowOf(i), or
// stays 0.0 when the kernel stopped first.
struct PixelRow {
    int row = 0;
    std::span<const int> columns;
    std::span<float> values;
    // Whether the command word says stop (FractalView::mustStop of the calculation).
    std::function<bool()> commandSaysStop;
    bool stopped = false;
    // The row of each pixel when they come from several rows; empty: all from `row`.
    std::span<const int> rows{};

    int rowOf(std::size_t i) const { return rows.empty() ? row : rows[i]; }
    // The row of every pixel, written into `scratch` when they all share `row`.
    std::span<const int> pixelRows(std::vector<int>& scratch) const {
        if (!rows.empty())
            return rows;
        scratch.assign(columns.size(), row);
        return scratch;
    }

    // Asks commandSaysStop and remembers a stop. A row kernel asks at least once per
    // kPixelBatchSize pixels it finishes and returns as soon as the answer is yes.
    bool mustStop() {
        stopped = stopped || (commandSaysStop && commandSaysStop());
        return stopped;
    }
};

// Computes a batch, or a row, on the thread with the given slot (see
// CalculationPool::Work).
using BatchCompute = std::function<void(int slot, PixelBatch& batch)>;
using RowCompute = std::function<void(int slot, PixelRow& row)>;

// Runs the passes of a job over `rect`, the rows of each pass on up to `threads`
// threads of the shared calculation pool. Pixels whose cell is already non-zero are
// skipped, so a resumed job never computes a pixel again. Rows are coloured and
// reported as they are finished. Returns false when a command stopped the job.
bool runRowPasses(FractalView& view, const PassRect& rect, int passes, int threads,
                  const RowCompute& compute);

// The pixels of a row in batches of up to kPixelBatchSize, looking at the command word
// before each batch.
void computeInBatches(PixelRow& row, const std::function<void(PixelBatch&)>& compute);

// runRowPasses for a kernel of batches.
bool runPassesWith(FractalView& view, const PassRect& rect, int passes, int threads,
                   const BatchCompute& compute);

// runPassesWith with one kernel per thread: `makeKernel()` gives a callable taking a
// PixelBatch&, made once for each thread that may take part.
template <typename MakeKernel>
bool runBatchPasses(FractalView& view, const PassRect& rect, int passes, MakeKernel&& makeKernel) {
    const int threads = CalculationPool::shared().threadCount();
    std::vector<decltype(makeKernel())> kernels;
    kernels.reserve(static_cast<std::size_t>(threads));
    for (int k = 0; k < threads; ++k)
        kernels.push_back(makeKernel());
    return runPassesWith(view, rect, passes, threads, [&](int slot, PixelBatch& batch) {
        kernels[static_cast<std::size_t>(slot)](batch);
    });
}

// runRowPasses with one row kernel per thread: `makeKernel()` gives a callable taking a
// PixelRow&, made once for each thread that may take part.
template <typename MakeKernel>
bool runRowKernelPasses(FractalView& view, const PassRect& rect, int passes,
                        MakeKernel&& makeKernel) {
    const int threads = CalculationPool::shared().threadCount();
    std::vector<decltype(makeKernel())> kernels;
    kernels.reserve(static_cast<std::size_t>(threads));
    for (int k = 0; k < threads; ++k)
        kernels.push_back(makeKernel());
    return runRowPasses(view, rect, passes, threads, [&](int slot, PixelRow& row) {
        kernels[static_cast<std::size_t>(slot)](row);
    });
}

// runPassesWith for a kernel of one pixel, `kernel(x, y)` (never 0.0). It is called
// from several threads at once and must not change shared state.
template <typename Kernel>
bool runPasses(FractalView& view, const PassRect& rect, int passes, Kernel&& kernel) {
    return runPassesWith(view, rect, passes, CalculationPool::shared().threadCount(),
                         [&](int, PixelBatch& batch) {
                             for (int i = 0; i < batch.count; ++i)
                                 batch.values[i] = kernel(batch.columns[i], batch.row);
                         });
}

// Redraw without calculation: every row of the image, middle outward, coloured at block
// size 1. Returns false when a command stopped it.
bool recolourImage(FractalView& view);

} // namespace vortimax
