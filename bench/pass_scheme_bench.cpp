// Overhead of the pass scheme around a kernel: the same trivial kernel over a 320 x 256
// image, once through runPasses (command-word check, skipping, row bookkeeping) and once
// in a bare loop. The ratio is the scheme's cost per pixel relative to a bare store.

#include "model/fractal_view.h"
#include "model/pass_scheme.h"

#include <benchmark/benchmark.h>

using namespace vortimax;

namespace {

float trivialKernel(int x, int y) {
    return 1.0f + static_cast<float>(x ^ y);
}

void BM_PassScheme(benchmark::State& state) {
    ViewEnvironment environment;
    auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
    record->width = 320;
    record->height = 256;
    FractalView view(*record, environment);
    BufferLayout layout{320, 256, 8, false, false, false, 24};
    allocateBuffers(layout, view.buffers());
    for (auto _ : state) {
        view.buffers().clearValues();
        runPasses(view, PassRect{0, 0, 320, 255}, static_cast<int>(state.range(0)), trivialKernel);
        benchmark::DoNotOptimize(view.buffers().values.data());
    }
}
BENCHMARK(BM_PassScheme)->Arg(1)->Arg(4);

void BM_BareLoop(benchmark::State& state) {
    std::vector<float> values(321 * 256);
    for (auto _ : state) {
        std::fill(values.begin(), values.end(), 0.0f);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x <= 320; ++x)
                values[y * 321 + x] = trivialKernel(x, y);
        benchmark::DoNotOptimize(values.data());
    }
}
BENCHMARK(BM_BareLoop);

} // namespace
