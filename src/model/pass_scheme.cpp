#include "model/pass_scheme.h"

#include "base/frontend.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

namespace vortimax {

std::vector<int> passRowOrder(const PassRect& rect, int step) {
    std::vector<int> rows;
    const int middle = (rect.y0 + rect.y1 + 1) / 2;
    int lower = middle - step;
    int upper = middle;
    while (lower >= rect.y0 || upper <= rect.y1) {
        if (lower >= rect.y0) {
            rows.push_back(lower);
            lower -= step;
        }
        if (upper <= rect.y1) {
            rows.push_back(upper);
            upper += step;
        }
    }
    return rows;
}

int passCount(int passesParameter, int lastJob, int passLimit) {
    const int most = std::max(passesParameter, 0) + 1;
    const int passes = lastJob == calc::kResume ? passLimit : most;
    return std::clamp(passes, 1, most);
}

PassProgress::PassProgress(FractalView& view, const PassRect& rect, int passes)
    : view_(view), rect_(rect), lastPaint_(std::chrono::steady_clock::now()) {
    for (int p = std::clamp(passes, 1, 16) - 1; p >= 0; --p)
        steps_.push_back(1 << p);
    for (int step : steps_) {
        const double columns = (rect.x1 - rect.x0) / step + 1;
        total_ += columns * static_cast<double>(passRowOrder(rect, step).size());
    }
}

void PassProgress::rowDone(int row, int step) {
    const ViewHooks& hooks = view_.environment().hooks;
    if (hooks.colourRow) {
        std::lock_guard pixels(view_.pixelLock());
        hooks.colourRow(view_, rect_.x0, row, rect_.x1 - rect_.x0 + 1, step);
    }
    rowWritten(row, step);
}

void PassProgress::rowWritten(int row, int step) {
    visited_ += (rect_.x1 - rect_.x0) / step + 1;
    if (total_ > 0.0)
        view_.setProgress(std::min(visited_ / total_, 1.0));
    const int top = std::min(row + step - 1, rect_.y1);
    if (bandHigh_ < bandLow_) {
        bandLow_ = row;
        bandHigh_ = top;
    } else {
        bandLow_ = std::min(bandLow_, row);
        bandHigh_ = std::max(bandHigh_, top);
    }
    const auto interval = std::chrono::milliseconds(view_.environment().drawingSpeed.load());
    if (std::chrono::steady_clock::now() - lastPaint_ >= interval)
        paintBand();
}

void PassProgress::passDone() {
    paintBand();
    if (view_.record().trueColourOn8Bit) {
        const ViewHooks& hooks = view_.environment().hooks;
        if (hooks.reduceToPalette) {
            std::lock_guard pixels(view_.pixelLock());
            hooks.reduceToPalette(view_, rect_.x0, rect_.y0, rect_.x1, rect_.y1);
        }
        bandLow_ = rect_.y0;
        bandHigh_ = rect_.y1;
        paintBand();
    }
}

void PassProgress::paintBand() {
    lastPaint_ = std::chrono::steady_clock::now();
    if (bandHigh_ < bandLow_)
        return;
    if (Frontend* frontend = view_.environment().frontend) {
        const int width = std::min(rect_.x1, view_.buffers().width - 1) - rect_.x0 + 1;
        frontend->viewChanged(view_.id(),
                              Rect{rect_.x0, bandLow_, width, bandHigh_ - bandLow_ + 1});
    }
    bandLow_ = 0;
    bandHigh_ = -1;
}

void computeInBatches(PixelRow& row, const std::function<void(PixelBatch&)>& compute) {
    PixelBatch batch;
    const std::size_t count = row.columns.size();
    std::size_t first = 0;
    while (first < count) {
        if (row.mustStop())
            return;
        // Up to kPixelBatchSize pixels of one row.
        batch.row = row.rowOf(first);
        std::size_t end = first;
        while (end < count && end - first < kPixelBatchSize && row.rowOf(end) == batch.row)
            ++end;
        batch.count = static_cast<int>(end - first);
        std::copy_n(row.columns.begin() + static_cast<std::ptrdiff_t>(first), batch.count,
                    batch.columns.begin());
        compute(batch);
        std::copy_n(batch.values.begin(), batch.count,
                    row.values.begin() + static_cast<std::ptrdiff_t>(first));
        first = end;
    }
}

namespace {

// Rows of a pass are handed to a kernel together until they hold this many pixels, so
// that short rows (those of the coarse passes) keep the vector lanes busy too.
constexpr std::size_t kPixelsPerJob = 2048;

// The pixels of some rows that have no value yet, and room for their values; one per
// thread.
struct RowScratch {
    std::vector<int> columns;
    std::vector<int> rows;
    std::vector<float> values;
};

// Calculates the pixels of the given rows that have no value yet. Returns false when a
// command stopped it; the pixels finished before are kept.
bool calculateRows(FractalView& view, const PassRect& rect, std::span<const int> rows, int step,
                   int slot, RowScratch& scratch, const RowCompute& compute) {
    scratch.columns.clear();
    scratch.rows.clear();
    for (int row : rows) {
        const float* cells = &view.buffers().value(0, row);
        for (int x = rect.x0; x <= rect.x1; x += step) {
            if (cells[x] == 0.0f) {
                scratch.columns.push_back(x);
                scratch.rows.push_back(row);
            }
        }
    }
    if (scratch.columns.empty())
        return true;
    scratch.values.assign(scratch.columns.size(), 0.0f);
    PixelRow pixels{rows.front(), scratch.columns, scratch.values,
                    [&view] { return view.mustStop(); }};
    if (rows.size() > 1)
        pixels.rows = scratch.rows;
    compute(slot, pixels);
    for (std::size_t i = 0; i < scratch.columns.size(); ++i)
        view.buffers().value(scratch.columns[i], scratch.rows[i]) = scratch.values[i];
    return !pixels.stopped;
}

// The rows of a pass in jobs of about kPixelsPerJob pixels each, in visiting order: the
// start of each job in `order`, and its end.
std::vector<std::size_t> jobStarts(const PassRect& rect, int step, std::size_t rowCount) {
    const auto rowPixels = static_cast<std::size_t>((rect.x1 - rect.x0) / step + 1);
    const std::size_t rowsPerJob = std::max<std::size_t>(1, kPixelsPerJob / rowPixels);
    std::vector<std::size_t> starts;
    for (std::size_t first = 0; first < rowCount; first += rowsPerJob)
        starts.push_back(first);
    starts.push_back(rowCount);
    return starts;
}

// The rows of finished jobs, coloured and reported to PassProgress one thread at a time.
// A thread that finishes a job queues its rows and reports every queued row unless
// another thread is reporting already; so no thread ever sleeps waiting for another's
// report (waking it again can take milliseconds on a busy or virtual machine).
class RowReports {
public:
    explicit RowReports(PassProgress& progress) : progress_(progress) {}

    void report(std::span<const int> rows, int step) {
        {
            SpinGuard guard(queueBusy_);
            queued_.insert(queued_.end(), rows.begin(), rows.end());
        }
        while (!reporting_.exchange(true)) {
            {
                SpinGuard guard(queueBusy_);
                taken_.swap(queued_);
            }
            for (int row : taken_)
                progress_.rowDone(row, step);
            taken_.clear();
            reporting_.store(false);
            // Rows queued after the swap whose thread saw this one reporting.
            SpinGuard guard(queueBusy_);
            if (queued_.empty())
                return;
        }
    }

private:
    // Holds the queue for a push or a swap, a few instructions at most.
    class SpinGuard {
    public:
        explicit SpinGuard(std::atomic_flag& flag) : flag_(flag) {
            while (flag_.test_and_set(std::memory_order_acquire))
                std::this_thread::yield();
        }
        ~SpinGuard() { flag_.clear(std::memory_order_release); }
        SpinGuard(const SpinGuard&) = delete;
        SpinGuard& operator=(const SpinGuard&) = delete;

    private:
        std::atomic_flag& flag_;
    };

    PassProgress& progress_;
    std::atomic_flag queueBusy_;
    std::atomic<bool> reporting_ = false;
    std::vector<int> queued_;
    std::vector<int> taken_; // used by the reporting thread only
};

} // namespace

bool runRowPasses(FractalView& view, const PassRect& rect, int passes, int threads,
                  const RowCompute& compute) {
    PassProgress progress(view, rect, passes);
    RowReports reports(progress);
    std::vector<RowScratch> scratch(static_cast<std::size_t>(std::max(threads, 1)));
    for (int step : progress.steps()) {
        const std::vector<int> rows = passRowOrder(rect, step);
        const std::vector<std::size_t> starts = jobStarts(rect, step, rows.size());
        const bool complete = CalculationPool::shared().run(
            static_cast<int>(starts.size() - 1), threads, [&](int slot, int index) {
                const auto job = static_cast<std::size_t>(index);
                const std::span<const int> jobRows(rows.data() + starts[job],
                                                   starts[job + 1] - starts[job]);
                if (!calculateRows(view, rect, jobRows, step, slot,
                                   scratch[static_cast<std::size_t>(slot)], compute))
                    return false;
                reports.report(jobRows, step);
                return true;
            });
        if (!complete)
            return false;
        progress.passDone();
    }
    return true;
}

bool runPassesWith(FractalView& view, const PassRect& rect, int passes, int threads,
                   const BatchCompute& compute) {
    return runRowPasses(view, rect, passes, threads, [&](int slot, PixelRow& row) {
        computeInBatches(row, [&](PixelBatch& batch) { compute(slot, batch); });
    });
}

bool recolourImage(FractalView& view) {
    const int width = view.buffers().width;
    const int height = view.buffers().height;
    const PassRect rect{0, 0, width - 1, height - 1};
    PassProgress progress(view, rect, 1);
    int done = 0;
    for (int row : passRowOrder(rect, 1)) {
        if (view.mustStop())
            return false;
        progress.rowDone(row, 1);
        view.setProgress(static_cast<double>(++done) / height);
    }
    progress.passDone();
    return true;
}

} // namespace vortimax
