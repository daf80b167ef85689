// Cost of colouring: one row of 1024 values, as the calculation does after every row;
// every row of a 1024 x 768 Mandel image, as a recolour does; and a whole recolourImage
// (the Redraw command) with the colouring hooks installed. 8-bit images receive palette
// indices, true-colour images HSV-interpolated colours, optionally dithered for an 8-bit
// screen.

#include "bench_image.h"
#include "model/pass_scheme.h"
#include "render/colour/colour_row.h"
#include "render/colour/colouring_hooks.h"

#include <benchmark/benchmark.h>

using namespace vortimax;
using bench::kImageHeight;
using bench::kImageWidth;

namespace {

// Arguments: ColormodeType, block size. Synthetic values, as the calculation's passes
// paint them.
void colourRows(benchmark::State& state, int depth) {
    bench::ImageView image(depth, false, static_cast<int>(state.range(0)), 0);
    FractalView& view = *image.view;
    for (int y = 0; y < kImageHeight; ++y)
        for (int x = 0; x <= kImageWidth; ++x)
            view.buffers().value(x, y) = 1.0f + static_cast<float>((x * 7 + y * 13) % 5000) * 0.37f;
    const int block = static_cast<int>(state.range(1));
    int row = 0;
    for (auto _ : state) {
        colourRow(view, 0, row, kImageWidth + 1, block);
        benchmark::DoNotOptimize(view.buffers().pixels.data());
        row = (row + block) % (kImageHeight - block + 1);
    }
    state.SetItemsProcessed(state.iterations() * (kImageWidth / block));
}

void BM_ColourRow8Bit(benchmark::State& state) {
    colourRows(state, 8);
}
BENCHMARK(BM_ColourRow8Bit)->Args({0, 1})->Args({1, 1})->Args({3, 1})->Args({0, 8});

void BM_ColourRow24Bit(benchmark::State& state) {
    colourRows(state, 24);
}
BENCHMARK(BM_ColourRow24Bit)->Args({0, 1})->Args({1, 1})->Args({3, 1})->Args({0, 8});

// Every row of the Mandel image, block size 1. Arguments: display depth, ColormodeType,
// outside measure (0: iteration counts, 8: fractional values).
void BM_ColourImage(benchmark::State& state) {
    bench::ImageView image(static_cast<int>(state.range(0)), false,
                           static_cast<int>(state.range(1)), static_cast<int>(state.range(2)));
    for (auto _ : state) {
        for (int y = 0; y < kImageHeight; ++y)
            colourRow(*image.view, 0, y, kImageWidth + 1, 1);
        benchmark::DoNotOptimize(image.view->buffers().pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * kImageWidth * kImageHeight);
}
BENCHMARK(BM_ColourImage)
    ->ArgNames({"depth", "mode", "outside"})
    ->Args({8, 0, 0})
    ->Args({8, 1, 0})
    ->Args({8, 0, 8})
    ->Args({8, 2, 8})
    ->Args({24, 0, 0})
    ->Args({24, 1, 0})
    ->Args({24, 0, 8})
    ->Args({24, 2, 8})
    ->Unit(benchmark::kMillisecond);

// The Redraw command's work: recolourImage over the Mandel image (ColormodeType 0,
// iteration counts). Arguments: display depth, dithered for an 8-bit screen (24 only).
void BM_Recolour(benchmark::State& state) {
    const bool dithered = state.range(1) != 0;
    bench::ImageView image(static_cast<int>(state.range(0)), dithered, 0, 0);
    installColouring(image.environment.hooks);
    for (auto _ : state) {
        if (!recolourImage(*image.view))
            state.SkipWithError("recolourImage stopped");
        benchmark::DoNotOptimize(image.view->buffers().pixels.data());
    }
}
BENCHMARK(BM_Recolour)
    ->ArgNames({"depth", "dithered"})
    ->Args({8, 0})
    ->Args({24, 0})
    ->Args({24, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace
