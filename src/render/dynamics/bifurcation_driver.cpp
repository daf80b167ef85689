#include "render/dynamics/bifurcation_driver.h"

#include "base/frontend.h"
#include "model/calculation_pool.h"
#include "model/fractal_view.h"
#include "render/dynamics/bifurcation_kernel.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <vector>

namespace vortimax {

namespace {

// Columns one thread computes at a time.
constexpr int kColumnsPerBand = 8;

// An inclusive range of columns.
struct Columns {
    int first;
    int last;
};

// Advances the progress (finished columns over all columns) as bands finish on several
// threads, and at most every DrawingSpeed milliseconds colours the columns finished since
// the last time and paints them. Colouring a row costs the same setting-up for a few
// columns as for many, so finished bands wait to be coloured together; the window could
// not show them any sooner.
class ColumnProgress {
public:
    ColumnProgress(FractalView& view, int x0, int x1, int height)
        : view_(view), x0_(x0), x1_(x1), height_(height),
          lastPaint_(std::chrono::steady_clock::now()) {}

    void bandDone(const Columns& band) {
        bool due = false;
        {
            std::lock_guard lock(pendingMutex_);
            pending_.push_back(band);
            done_ += band.last - band.first + 1;
            view_.setProgress(static_cast<double>(done_) / (x1_ - x0_ + 1));
            const auto interval =
                std::chrono::milliseconds(view_.environment().drawingSpeed.load());
            due = std::chrono::steady_clock::now() - lastPaint_ >= interval;
        }
        if (!due)
            return;
        // One thread colours at a time; the others go back to their columns.
        std::unique_lock colouring(colourMutex_, std::try_to_lock);
        if (colouring.owns_lock())
            colourAndPaint();
    }

    // Colours and paints what is left; a complete true-colour image shown on an 8-bit
    // screen is then reduced to the palette.
    void finish(bool complete) {
        std::lock_guard colouring(colourMutex_);
        colourAndPaint();
        if (!complete || !view_.record().trueColourOn8Bit)
            return;
        const ViewHooks& hooks = view_.environment().hooks;
        if (hooks.reduceToPalette) {
            std::lock_guard pixels(view_.pixelLock());
            hooks.reduceToPalette(view_, x0_, 0, x1_, height_ - 1);
        }
        paint({x0_, x1_});
    }

private:
    // The finished columns not coloured yet, adjacent ranges joined.
    std::vector<Columns> takePending() {
        std::vector<Columns> taken;
        {
            std::lock_guard lock(pendingMutex_);
            taken.swap(pending_);
            lastPaint_ = std::chrono::steady_clock::now();
        }
        std::sort(taken.begin(), taken.end(),
                  [](const Columns& a, const Columns& b) { return a.first < b.first; });
        std::vector<Columns> joined;
        for (const Columns& range : taken) {
            if (!joined.empty() && joined.back().last + 1 == range.first)
                joined.back().last = range.last;
            else
                joined.push_back(range);
        }
        return joined;
    }

    void colourAndPaint() {
        const std::vector<Columns> ranges = takePending();
        if (ranges.empty())
            return;
        const ViewHooks& hooks = view_.environment().hooks;
        if (hooks.colourRow) {
            std::lock_guard pixels(view_.pixelLock());
            for (const Columns& range : ranges)
                for (int row = 0; row < height_; ++row)
                    hooks.colourRow(view_, range.first, row, range.last - range.first + 1, 1);
        }
        paint({ranges.front().first, ranges.back().last});
    }

    void paint(const Columns& columns) {
        const int last = std::min(columns.last, view_.buffers().width - 1); // not the spare
        if (Frontend* frontend = view_.environment().frontend; frontend && columns.first <= last)
            frontend->viewChanged(view_.id(),
                                  Rect{columns.first, 0, last - columns.first + 1, height_});
    }

    FractalView& view_;
    const int x0_, x1_, height_;
    std::mutex pendingMutex_; // guards pending_, done_ and lastPaint_
    std::vector<Columns> pending_;
    int done_ = 0;
    std::chrono::steady_clock::time_point lastPaint_;
    std::mutex colourMutex_; // held by the thread that colours
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
    ColumnProgress progress(view, x0, x1, buffers.height);
    const std::function<bool()> stop = [&view] { return view.mustStop(); };
    const int bands = (x1 - x0) / kColumnsPerBand + 1;
    const int threads = CalculationPool::shared().threadCount();
    // Each thread plots into a column of its own, which stays in the cache, and copies it
    // into the image (whose column cells lie a row apart) when the orbit is done.
    std::vector<std::vector<float>> scratch(static_cast<std::size_t>(threads),
                                            std::vector<float>(buffers.height));
    const bool complete = CalculationPool::shared().run(bands, threads, [&](int slot, int band) {
        const int first = x0 + band * kColumnsPerBand;
        const int last = std::min(first + kColumnsPerBand - 1, x1);
        int end = first; // after the last column begun
        bool stopped = false;
        for (int column = first; column <= last && !stopped; ++column) {
            stopped = view.mustStop();
            if (stopped)
                break;
            end = column + 1;
            std::vector<float>& cells = scratch[static_cast<std::size_t>(slot)];
            stopped = !plotColumn(params, columnParameter(params, column),
                                  ColumnCells{cells.data(), 1, buffers.height}, stop);
            for (int row = 0; row < buffers.height; ++row)
                buffers.value(column, row) = cells[static_cast<std::size_t>(row)];
        }
        // A column a stop interrupted keeps (and shows) what it plotted.
        if (end > first)
            progress.bandDone({first, end - 1});
        return !stopped;
    });
    progress.finish(complete);
}

} // namespace vortimax
