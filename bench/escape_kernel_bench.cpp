// A whole Julia/Mandel calculation: the default Mandel area at 320 x 256, z^2 + c with
// MaxIter 500, through the pass scheme (four passes) with the fast loop, and the same
// image with the tracking kernel ("Supremum") that runs the general loop. Then the batch
// kernel of the fast loop alone on one thread, per path (0 scalar, 1 AVX2, 2 AVX-512) on
// the default area (MaxIter 1000) and a deep area 3e-7 wide (MaxIter 5000), rows of
// 640 pixels in batches of 64; items are iterations. Last the general loop per path for
// z^3 + c and "Magnet 2" (Mandel, default area, MaxIter 500), plain ("Black") and
// tracking ("Supremum"), 16 whole rows of 640 pixels spread over the image; items are
// pixels.

#include "kernel_paths.h"
#include "model/fractal_view.h"
#include "model/image_buffers.h"
#include "model/type_registry.h"
#include "render/area/area.h"
#include "render/escape/escape_batch.h"
#include "render/escape/escape_kernel.h"
#include "render/escape/julia_mandel_driver.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

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

std::unique_ptr<FractalRecord> batchRecord(bool deep) {
    auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
    record->params().setInteger("MaxIter", deep ? 5000 : 1000);
    if (deep) {
        const double re = -0.743643887037151, im = 0.13182590420533, half = 1.5e-7;
        record->params().setBigFixed("TopLeftR", BigFixed::fromDouble(re - half));
        record->params().setBigFixed("BottomRightR", BigFixed::fromDouble(re + half));
        record->params().setBigFixed("TopLeftI", BigFixed::fromDouble(im + half * 0.75));
        record->params().setBigFixed("BottomRightI", BigFixed::fromDouble(im - half * 0.75));
    }
    return record;
}

// The iterations the fast loop takes for a batch's values (escaped pixels only count
// their steps; inside pixels count MaxIter).
void BM_FastBatch(benchmark::State& state) {
    KernelPath path;
    if (!bench::takePath(state, path))
        return;
    const bool deep = state.range(1) != 0;
    const auto record = batchRecord(deep);
    const EscapeParams params = readEscapeParams(*record);
    constexpr RasterSize kRaster{640, 480};
    const PixelMapping mapping = pixelMapping(*record, kRaster);
    EscapeBatchKernel kernel(params, mapping, path);
    constexpr int kRows = 16;
    double iterations = 0.0;
    for (auto _ : state) {
        for (int r = 0; r < kRows; ++r) {
            PixelBatch batch;
            batch.row = kRaster.height / 2 - kRows / 2 + r;
            for (int x0 = 0; x0 < kRaster.width; x0 += kPixelBatchSize) {
                batch.count = kPixelBatchSize;
                for (int i = 0; i < kPixelBatchSize; ++i)
                    batch.columns[i] = x0 + i;
                kernel(batch);
                for (int i = 0; i < kPixelBatchSize; ++i)
                    iterations += batch.values[i] < 0.0f ? params.maxIter : batch.values[i];
            }
        }
    }
    state.counters["iterations/s"] = benchmark::Counter(iterations, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FastBatch)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->ArgNames({"path", "deep"})
    ->Unit(benchmark::kMillisecond);

void BM_GeneralRows(benchmark::State& state) {
    KernelPath path;
    if (!bench::takePath(state, path))
        return;
    auto record = createRecord(kTypeMandel, static_cast<std::uint32_t>(state.range(1)),
                               RecordCreationContext{});
    record->params().setInteger("MaxIter", 500);
    record->params().setInteger("Inside", static_cast<int>(state.range(2)));
    const EscapeParams params = readEscapeParams(*record);
    constexpr RasterSize kRaster{640, 480};
    const PixelMapping mapping = pixelMapping(*record, kRaster);
    EscapeBatchKernel kernel(params, mapping, path);
    bench::runSpreadRows(state, kernel, kRaster);
}
BENCHMARK(BM_GeneralRows)
    ->ArgsProduct({{0, 1, 2}, {1, 4}, {kInsideBlack, kInsideSupremum}})
    ->ArgNames({"path", "subtype", "inside"})
    ->Unit(benchmark::kMillisecond);

} // namespace
