// The true-colour Mandel24 row kernel per path (0 scalar, 1 AVX2, 2 AVX-512) on the
// default area at 640 x 480 with MaxIter 1000: z^2 + c with "CPM" and "Black" (the
// loop without derivative), z^2 + c with "DEM" (the derivative loop), z^3 + c with
// "CPM" and "Supremum" (the derivative loop with tracking). 16 whole rows spread over
// the image; items are pixels.

#include "kernel_paths.h"
#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "render/area/area.h"
#include "render/escape/escape_batch.h"
#include "render/escape/julia24_driver.h"
#include "render/escape/julia24_row_kernel.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

using namespace vortimax;

namespace {

struct Case {
    std::uint32_t subtype;
    int outside;
    int inside;
};
constexpr Case kCases[] = {
    {0, kOutside24Cpm, kInside24Black},
    {0, kOutside24Dem, kInside24Black},
    {1, kOutside24Cpm, kInside24Supremum},
};

void BM_Julia24Rows(benchmark::State& state) {
    KernelPath path;
    if (!bench::takePath(state, path))
        return;
    const Case& c = kCases[state.range(1)];
    auto record = createRecord(kTypeMandel24, c.subtype, RecordCreationContext{});
    record->params().setInteger("MaxIter", 1000);
    record->params().setInteger("Outside", c.outside);
    record->params().setInteger("Inside", c.inside);
    const Julia24Params params = readJulia24Params(*record);
    constexpr RasterSize kRaster{640, 480};
    const PixelMapping mapping = pixelMapping(*record, kRaster);
    Julia24RowKernel kernel(params, mapping, path);
    bench::runSpreadRows(state, kernel, kRaster);
}
BENCHMARK(BM_Julia24Rows)
    ->ArgsProduct({{0, 1, 2}, {0, 1, 2}})
    ->ArgNames({"path", "case"})
    ->Unit(benchmark::kMillisecond);

} // namespace
