// The Formula type against the kernel it mirrors: the default Mandel area at 320 x 256
// with MaxIter 500, once through the Mandel kernel and once as the formula
// "z = pixel: z = z^2 + pixel, |z| <= 4", with the inside rule "Black" (Mandel's fast loop)
// and "Supremum" (Mandel's tracking loop). The ratio is the price of interpreting the
// formula. Below that, the formula's evaluators alone over the same pixels: one pixel at a
// time, and in batches of 64.

#include "formula/formula_batch.h"
#include "formula/formula_entry.h"
#include "formula/formula_iteration.h"
#include "model/fractal_view.h"
#include "model/image_buffers.h"
#include "model/param_text.h"
#include "model/type_registry.h"
#include "render/drivers.h"
#include "render/escape/escape_kernel.h"
#include "render/escape/formula_driver.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

using namespace vortimax;

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 256;
constexpr std::string_view kBasic = "z = pixel: z = z^2 + pixel, |z| <= 4";

void calculate(benchmark::State& state, std::uint32_t type) {
    FormulaEntry basic;
    compileFormula(basic, "Basic", kBasic, {}, nullptr);
    ViewEnvironment environment;
    installDrivers(environment.drivers);
    installFormulaDriver(environment.drivers, environment.hooks,
                         [&basic](std::string_view) { return std::optional(basic.code); });
    auto record = createRecord(type, 0, RecordCreationContext{});
    record->width = kWidth;
    record->height = kHeight;
    const std::string inside = std::to_string(state.range(0));
    for (auto [key, value] : {std::pair<const char*, std::string_view>{"TopLeftR", "-2.1"},
                              {"TopLeftI", "1.2"},
                              {"BottomRightR", "0.9"},
                              {"BottomRightI", "-1.2"},
                              {"MaxIter", "500"},
                              {"Bailout", "4"},
                              {"Inside", inside}})
        setByKey(record->params(), key, value);
    FractalView view(*record, environment);
    allocateBuffers(BufferLayout{kWidth, kHeight, 8, false, false, false, 24}, view.buffers());
    for (auto _ : state) {
        view.buffers().clearValues();
        environment.drivers[type](view, 0, 0, kWidth - 1, kHeight - 1);
        benchmark::DoNotOptimize(view.buffers().values.data());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_MandelKernel(benchmark::State& state) {
    calculate(state, kTypeMandel);
}
void BM_FormulaBasic(benchmark::State& state) {
    calculate(state, kTypeFormula);
}
// Argument: the inside rule (0 Black, 2 Supremum).
BENCHMARK(BM_MandelKernel)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormulaBasic)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

// The evaluators on one thread, with the driver's infinity test (bailout 4).
struct EvaluatorCase {
    FormulaCode code;
    FormulaSettings settings;
    std::vector<FormulaPixel> pixels;

    explicit EvaluatorCase(std::string_view source = kBasic) {
        FormulaEntry basic;
        compileFormula(basic, "Basic", source, {}, nullptr);
        code = basic.code;
        settings.maxIter = 500;
        settings.bailout = 4.0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                pixels.push_back({{-2.1 + 3.0 * x / kWidth, 1.2 - 2.4 * y / kHeight}, x, y});
    }
};

// An if block whose branches differ from pixel to pixel: the batch evaluator runs both
// over the lanes that disagree.
constexpr std::string_view kIfBlock = "z = pixel:\n if(real(z) < 0)\n z = z*z + pixel\n else\n"
                                      " z = z*z*z + pixel\n endif\n |z| <= 4";

// state.range(0): 1 for the if block, 0 for the basic formula.
std::string_view evaluatorSource(const benchmark::State& state) {
    return state.range(0) != 0 ? kIfBlock : kBasic;
}

void BM_EvaluatorOnePixel(benchmark::State& state) {
    EvaluatorCase c(evaluatorSource(state));
    FormulaIterator iterator(c.code, c.settings);
    auto stop = [](Complex z, std::int32_t) { return 4.0 < z.re * z.re + z.im * z.im; };
    std::int64_t iterations = 0;
    for (auto _ : state) {
        for (const FormulaPixel& pixel : c.pixels)
            iterations += iterator.iteratePixel(pixel, stop).iterations;
    }
    state.counters["iterations/s"] =
        benchmark::Counter(static_cast<double>(iterations), benchmark::Counter::kIsRate);
}

void BM_EvaluatorBatch(benchmark::State& state) {
    EvaluatorCase c(evaluatorSource(state));
    FormulaBatchIterator iterator(c.code, c.settings, false, 4.0);
    std::vector<FormulaPixelResult> results(kFormulaLanes);
    std::int64_t iterations = 0;
    for (auto _ : state) {
        for (std::size_t at = 0; at < c.pixels.size(); at += kFormulaLanes) {
            iterator.iterateBatch(std::span(c.pixels).subspan(at, kFormulaLanes), results);
            for (const FormulaPixelResult& result : results)
                iterations += result.iterations;
        }
    }
    state.counters["iterations/s"] =
        benchmark::Counter(static_cast<double>(iterations), benchmark::Counter::kIsRate);
}

// The deep area of workload W2 (3e-7 wide, MaxIter 5000) at 160 x 120.
void BM_EvaluatorBatchDeep(benchmark::State& state) {
    EvaluatorCase c;
    c.settings.maxIter = 5000;
    c.pixels.clear();
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            c.pixels.push_back(
                {{-0.743644037037151 + 3e-7 * x / 160, 0.13182601670533 - 2.25e-7 * y / 120},
                 x,
                 y});
    FormulaBatchIterator iterator(c.code, c.settings, false, 4.0);
    std::vector<FormulaPixelResult> results(kFormulaLanes);
    std::int64_t iterations = 0;
    for (auto _ : state) {
        for (std::size_t at = 0; at < c.pixels.size(); at += kFormulaLanes) {
            iterator.iterateBatch(std::span(c.pixels).subspan(at, kFormulaLanes), results);
            for (const FormulaPixelResult& result : results)
                iterations += result.iterations;
        }
    }
    state.counters["iterations/s"] =
        benchmark::Counter(static_cast<double>(iterations), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_EvaluatorOnePixel)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EvaluatorBatch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EvaluatorBatchDeep)->Unit(benchmark::kMillisecond);

} // namespace
