// The Formula type against the kernel it mirrors: the default Mandel area at 320 x 256
// with MaxIter 500 and the "Supremum" inside rule, once through the general Mandel kernel
// and once as the formula "z = pixel: z = z^2 + pixel, |z| <= 4" run by the evaluator.
// Both give the same values; the ratio is the price of interpreting the formula.

#include "formula/formula_entry.h"
#include "model/fractal_view.h"
#include "model/image_buffers.h"
#include "model/param_text.h"
#include "model/type_registry.h"
#include "render/drivers.h"
#include "render/escape_kernel.h"
#include "render/formula_driver.h"

#include <benchmark/benchmark.h>

using namespace vortimax;

namespace {

void calculate(benchmark::State& state, std::uint32_t type) {
    FormulaEntry basic;
    compileFormula(basic, "Basic", "z = pixel: z = z^2 + pixel, |z| <= 4", {}, nullptr);
    ViewEnvironment environment;
    installDrivers(environment.drivers);
    installFormulaDriver(environment.drivers, environment.hooks,
                         [&basic](std::string_view) { return std::optional(basic.code); });
    auto record = createRecord(type, 0, RecordCreationContext{});
    record->width = 320;
    record->height = 256;
    for (auto [key, value] : {std::pair{"TopLeftR", "-2.1"},
                              {"TopLeftI", "1.2"},
                              {"BottomRightR", "0.9"},
                              {"BottomRightI", "-1.2"},
                              {"MaxIter", "500"},
                              {"Bailout", "4"},
                              {"Inside", "2"}})
        setByKey(record->params(), key, value);
    FractalView view(*record, environment);
    allocateBuffers(BufferLayout{320, 256, 8, false, false, false, 24}, view.buffers());
    for (auto _ : state) {
        view.buffers().clearValues();
        environment.drivers[type](view, 0, 0, 319, 255);
        benchmark::DoNotOptimize(view.buffers().values.data());
    }
    state.SetItemsProcessed(state.iterations() * 320 * 256);
}

void BM_MandelGeneralKernel(benchmark::State& state) {
    calculate(state, kTypeMandel);
}
void BM_FormulaBasic(benchmark::State& state) {
    calculate(state, kTypeFormula);
}
BENCHMARK(BM_MandelGeneralKernel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormulaBasic)->Unit(benchmark::kMillisecond);

} // namespace
