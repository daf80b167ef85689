// A whole Julia/Mandel calculation: the default Mandel area at 320 x 256, z^2 + c with
// MaxIter 500, through the pass scheme (four passes) with the fast loop, and the same
// image with the tracking kernel ("Supremum") that runs the general loop.

#include "model/fractal_view.h"
#include "model/image_buffers.h"
#include "model/type_registry.h"
#include "render/escape_kernel.h"
#include "render/julia_mandel_driver.h"

#include <benchmark/benchmark.h>

using namespace vortimax;

namespace {

void BM_MandelCalculation(benchmark::State& state) {
    ViewEnvironment environment;
    auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
    record->width = 320;
    record->height = 256;
    record->params().setInteger("MaxIter", 500);
    record->params().setInteger("Inside", static_cast<int>(state.range(0)));
    FractalView view(*record, environment);
    BufferLayout layout{320, 256, 8, false, false, false, 24};
    allocateBuffers(layout, view.buffers());
    for (auto _ : state) {
        view.buffers().clearValues();
        calculateEscapeTime(view, 0, 0, 319, 255);
        benchmark::DoNotOptimize(view.buffers().values.data());
    }
    state.SetItemsProcessed(state.iterations() * 320 * 256);
}
BENCHMARK(BM_MandelCalculation)
    ->Arg(kInsideBlack)
    ->Arg(kInsideSupremum)
    ->Unit(benchmark::kMillisecond);

} // namespace
