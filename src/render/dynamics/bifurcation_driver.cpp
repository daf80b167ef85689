#include "render/dynamics/bifurcation_driver.h"

#include "base/frontend.h"
#include "model/calculation_pool.h"
#include "model/fractal_view.h"
#include "render/dynamics/bifurcation_kernel.h"

#include <algorithm>
#include <chrono>
#include <mutex>

namespace vortimax {

namespace {

// Columns one thread computes together; their pixels are coloured together, row by row,
// once the last of them is done.
constexpr int kColumnsPerBand = 8;

// Colours the finished bands of columns, advances the progress (finished columns over all
// columns) and paints the finished columns at most every DrawingSpeed milliseconds. Bands
// finish on several threads; a lock keeps the count and the unpainted range.
class ColumnProgress {
public:
    ColumnProgress(FractalView& view, int x0, int x1, int y0, int y1)
        : view_(view), x0_(x0), x1_(x1), y0_(y0), y1_(y1),
          lastPaint_(std::chrono::steady_clock::now()) {}

    // Columns first ... last hold their values.
    void bandDone(int first, int last) {
        const ViewHooks& hooks = view_.environment().hooks;
        if (hooks.colourRow) {
            std::lock_guard pixels(view_.pixelLock());
            for (int row = y0_; row <= y1_; ++row)
                hooks.colourRow(view_, first, row, last - first + 1, 1);
        }
        std::lock_guard lock(mutex_);
        done_ += last - first + 1;
        view_.setProgress(static_cast<double>(done_) / (x1_ - x0_ + 1));
        low_ = std::min(low_, first);
        high_ = std::max(high_, last);
        const auto interval = std::chrono::milliseconds(view_.environment().drawingSpeed.load());
        if (std::chrono::steady_clock::now() - lastPaint_ >= interval)
            paint();
    }

    // Paints what is left (after reducing a true-colour image for an 8-bit screen).
    void finish() {
        std::lock_guard lock(mutex_);
        paint();
        if (!view_.record().trueColourOn8Bit)
            return;
        const ViewHooks& hooks = view_.environment().hooks;
        if (hooks.reduceToPalette) {
            std::lock_guard pixels(view_.pixelLock());
            hooks.reduceToPalette(view_, x0_, y0_, x1_, y1_);
        }
        low_ = x0_;
        high_ = x1_;
        paint();
    }

private:
    void paint() {
        lastPaint_ = std::chrono::steady_clock::now();
        const int high = std::min(high_, view_.buffers().width - 1); // not the spare column
        Frontend* frontend = view_.environment().frontend;
        if (frontend != nullptr && low_ <= high)
            frontend->viewChanged(view_.id(), Rect{low_, y0_, high - low_ + 1, y1_ - y0_ + 1});
        low_ = x1_ + 1;
        high_ = x0_ - 1;
    }

    FractalView& view_;
    const int x0_, x1_, y0_, y1_;
    std::mutex mutex_;
    int done_ = 0;
    int low_ = x1_ + 1; // the finished columns not painted yet
    int high_ = x0_ - 1;
    std::chrono::steady_clock::time_point lastPaint_;
};

} // namespace

void calculateBifurcation(FractalView& view, int x0, int, int x1, int) {
    ImageBuffers& buffers = view.buffers();
    if (buffers.width <= 0 || buffers.height <= 0 || buffers.values.empty())
        return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, buffers.valueStride() - 1);
    if (x1 < x0)
        return;
    const BifurcationParams params =
        readBifurcationParams(view.record(), RasterSize{buffers.width, buffers.height});
    ColumnProgress progress(view, x0, x1, 0, buffers.height - 1);
    const std::function<bool()> stop = [&view] { return view.mustStop(); };
    const int bands = (x1 - x0) / kColumnsPerBand + 1;
    const bool complete = CalculationPool::shared().run(
        bands, CalculationPool::shared().threadCount(), [&](int, int band) {
            const int first = x0 + band * kColumnsPerBand;
            const int last = std::min(first + kColumnsPerBand - 1, x1);
            int end = first; // after the last column begun
            bool stopped = false;
            for (int column = first; column <= last && !stopped; ++column) {
                stopped = view.mustStop();
                if (stopped)
                    break;
                end = column + 1;
                const ColumnCells cells{&buffers.value(column, 0), buffers.valueStride(),
                                        buffers.height};
                stopped = !plotColumn(params, columnParameter(params, column), cells, stop);
            }
            // A column a stop interrupted keeps (and shows) what it plotted.
            if (end > first)
                progress.bandDone(first, end - 1);
            return !stopped;
        });
    if (complete)
        progress.finish();
}

} // namespace vortimax
