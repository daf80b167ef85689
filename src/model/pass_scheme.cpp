#include "model/pass_scheme.h"

#include "base/frontend.h"

#include <algorithm>
#include <mutex>

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

namespace {

// Calculates the pixels of one row that have no value yet, in batches, looking at the
// command word before each batch. Returns false when a command stopped it.
bool calculateRow(FractalView& view, const PassRect& rect, int row, int step, int slot,
                  const BatchCompute& compute) {
    float* cells = &view.buffers().value(0, row);
    PixelBatch batch;
    batch.row = row;
    int x = rect.x0;
    while (x <= rect.x1) {
        batch.count = 0;
        for (; x <= rect.x1 && batch.count < kPixelBatchSize; x += step) {
            if (cells[x] == 0.0f)
                batch.columns[static_cast<std::size_t>(batch.count++)] = x;
        }
        if (batch.count == 0)
            continue;
        if (view.mustStop())
            return false;
        compute(slot, batch);
        for (int i = 0; i < batch.count; ++i)
            cells[batch.columns[static_cast<std::size_t>(i)]] =
                batch.values[static_cast<std::size_t>(i)];
    }
    return true;
}

} // namespace

bool runPassesWith(FractalView& view, const PassRect& rect, int passes, int threads,
                   const BatchCompute& compute) {
    PassProgress progress(view, rect, passes);
    std::mutex progressMutex;
    for (int step : progress.steps()) {
        const std::vector<int> rows = passRowOrder(rect, step);
        const bool complete = CalculationPool::shared().run(
            static_cast<int>(rows.size()), threads, [&](int slot, int index) {
                const int row = rows[static_cast<std::size_t>(index)];
                if (!calculateRow(view, rect, row, step, slot, compute))
                    return false;
                std::lock_guard lock(progressMutex);
                progress.rowDone(row, step);
                return true;
            });
        if (!complete)
            return false;
        progress.passDone();
    }
    return true;
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
