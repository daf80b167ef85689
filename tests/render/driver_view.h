#pragma once

#include "model/calculation_pool.h"
#include "model/fractal_view.h"
#include "model/param_text.h"
#include "render/colour/colouring_hooks.h"
#include "render/drivers.h"

#include <gtest/gtest.h>
#include <memory>

namespace vortimax::test {

// A view of `record` without a worker, with the program's drivers and colouring, on
// `threads` threads of the calculation pool (the old count comes back at the end).
struct DriverView {
    ViewEnvironment environment;
    std::unique_ptr<FractalView> view;
    int savedThreads = CalculationPool::shared().threadCount();

    DriverView(FractalRecord& record, int width, int height, int threads = 2) {
        CalculationPool::shared().setThreadCount(threads);
        installDrivers(environment.drivers);
        installColouring(environment.hooks);
        record.width = width;
        record.height = height;
        view = std::make_unique<FractalView>(record, environment);
        EXPECT_TRUE(allocateBuffers({width, height, record.displayDepth, false, false, false, 24},
                                    view->buffers()));
        for (int i = 0; i < 256; ++i) // every entry different
            view->colours.hsv[static_cast<std::size_t>(i)] = {static_cast<std::int16_t>(i), 200,
                                                              static_cast<std::int16_t>(i)};
    }
    ~DriverView() { CalculationPool::shared().setThreadCount(savedThreads); }

    // Runs the type's driver as the worker does: the whole image and the spare column.
    void calculate() {
        const FractalRecord& r = view->record();
        environment.drivers[r.type](*view, 0, 0, r.width, r.height - 1);
    }
    // Makes the driver stop after `rows` coloured rows.
    void stopAfterRows(int rows) {
        environment.hooks.colourRow = [this, rows, colour = environment.hooks.colourRow, count = 0](
                                          FractalView& v, int x, int y, int n, int block) mutable {
            colour(v, x, y, n, block);
            if (++count == rows)
                view->post(calc::kPause, calc::kPause);
        };
    }
    // Lets the driver go on, without stopping again.
    void carryOn() {
        view->post(calc::kIdle, calc::kIdle);
        installColouring(environment.hooks);
    }
    // The values and the pixels.
    std::pair<std::vector<float>, std::vector<std::uint8_t>> image() const {
        return {view->buffers().values, view->buffers().pixels};
    }
    long uncalculated() const {
        return std::count(view->buffers().values.begin(), view->buffers().values.end(), 0.0f);
    }
};

inline auto renderImage(FractalRecord& record, int width, int height, int threads) {
    DriverView driver(record, width, height, threads);
    driver.calculate();
    return driver.image();
}

inline void set(FractalRecord& record, std::string_view key, std::string_view value) {
    ASSERT_TRUE(setByKey(record.params(), key, value)) << key;
}

// The stored corners: left and right real, bottom and top imaginary bounds.
inline void setArea(FractalRecord& record, std::string_view left, std::string_view right,
                    std::string_view bottom, std::string_view top) {
    set(record, "TopLeftR", left);
    set(record, "BottomRightR", right);
    set(record, "BottomRightI", bottom);
    set(record, "TopLeftI", top);
}

} // namespace vortimax::test
