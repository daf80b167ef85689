#pragma once

// Shared by the benchmarks of the vector kernels.

#include "model/pass_scheme.h"
#include "render/area/area.h"
#include "render/escape/escape_batch.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

namespace vortimax::bench {

// The message of a case whose path the processor cannot run; bench/smoke.sh accepts it.
inline constexpr const char* kPathUnavailable = "path not available on this processor";

// The path of the case's first argument, or nothing (the case is skipped) when the
// processor cannot run it.
inline bool takePath(benchmark::State& state, KernelPath& path) {
    path = static_cast<KernelPath>(state.range(0));
    const auto& paths = availablePaths();
    if (std::find(paths.begin(), paths.end(), path) != paths.end())
        return true;
    state.SkipWithError(kPathUnavailable);
    return false;
}

// Runs a row kernel over 16 whole rows spread over the raster, for every iteration of
// the case; one item is one pixel.
template <typename Kernel>
void runSpreadRows(benchmark::State& state, Kernel& kernel, RasterSize raster) {
    constexpr int kRows = 16;
    std::vector<int> columns(static_cast<std::size_t>(raster.width));
    for (int x = 0; x < raster.width; ++x)
        columns[static_cast<std::size_t>(x)] = x;
    std::vector<float> values(columns.size());
    for (auto _ : state) {
        for (int r = 0; r < kRows; ++r) {
            std::fill(values.begin(), values.end(), 0.0f);
            PixelRow row{(2 * r + 1) * raster.height / (2 * kRows), columns, values,
                         [] { return false; }};
            kernel(row);
            benchmark::DoNotOptimize(values.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * kRows * raster.width);
}

} // namespace vortimax::bench
