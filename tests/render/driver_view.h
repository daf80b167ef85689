#pragma once

#include "model/calculation_pool.h"
#include "model/fractal_view.h"
#include "model/param_text.h"
#include "render/colouring_hooks.h"
#include "render/drivers.h"

#include <gtest/gtest.h>
#include <memory>
#include <string_view>
#include <vector>

namespace vortimax::test {

// Sets the calculation pool's thread count for one test and puts the old one back.
class PoolThreads {
public:
    explicit PoolThreads(int threads) : saved_(CalculationPool::shared().threadCount()) {
        CalculationPool::shared().setThreadCount(threads);
    }
    ~PoolThreads() { CalculationPool::shared().setThreadCount(saved_); }
    PoolThreads(const PoolThreads&) = delete;
    PoolThreads& operator=(const PoolThreads&) = delete;

private:
    int saved_;
};

inline void set(FractalRecord& record, std::string_view key, std::string_view value) {
    ASSERT_TRUE(setByKey(record.params(), key, value)) << key << "=" << value;
}

// A view of `record` without a worker, with the program's drivers and colouring and a
// palette whose entries all differ, so that equal pixels mean equal colours.
struct DriverView {
    ViewEnvironment environment;
    std::unique_ptr<FractalView> view;

    DriverView(FractalRecord& record, int width, int height) {
        installDrivers(environment.drivers);
        installColouring(environment.hooks);
        record.width = width;
        record.height = height;
        view = std::make_unique<FractalView>(record, environment);
        EXPECT_TRUE(allocateBuffers(
            BufferLayout{width, height, record.displayDepth, false, false, false, 24},
            view->buffers()));
        for (int i = 0; i < 256; ++i) {
            const auto level = static_cast<std::uint8_t>(i);
            view->colours.entries[static_cast<std::size_t>(i)] = {level, level, level, 0};
            view->colours.hsv[static_cast<std::size_t>(i)] = {
                static_cast<std::int16_t>(i * 7 % 360), 200, static_cast<std::int16_t>(i)};
        }
    }

    // Runs the type's driver as the worker does: the whole image and the spare column.
    void calculate() {
        FractalRecord& record = view->record();
        environment.drivers[record.type](*view, 0, 0, record.width, record.height - 1);
    }
    // The command word says "pause" (drivers stop) or "idle" (they go on).
    void pause() { view->post(calc::kPause, calc::kPause); }
    void release() { view->post(calc::kIdle, calc::kIdle); }

    const std::vector<float>& values() const { return view->buffers().values; }
    const std::vector<std::uint8_t>& pixels() const { return view->buffers().pixels; }
    float value(int x, int y) const { return view->buffers().value(x, y); }
};

// The values and pixels of `record` at the given size and thread count.
struct Image {
    std::vector<float> values;
    std::vector<std::uint8_t> pixels;
    bool operator==(const Image&) const = default;
};
inline Image renderImage(FractalRecord& record, int width, int height, int threads) {
    const PoolThreads pool(threads);
    DriverView driver(record, width, height);
    driver.calculate();
    return {driver.values(), driver.pixels()};
}

} // namespace vortimax::test
