// Cost of colouring one row of 1024 values, as the calculation does after every row and
// a recolour does for every row: palette positions, then palette indices (8-bit) or
// HSV-interpolated colours (24-bit). Arguments: ColormodeType, block size.

#include "model/fractal_view.h"
#include "render/colour_row.h"

#include <benchmark/benchmark.h>

using namespace vortimax;

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 64;

void fillPalette(ColourTable& colours) {
    for (int i = 0; i < 256; ++i) {
        colours.hsv[i] = {static_cast<std::int16_t>(i * 359 / 255), 200,
                          static_cast<std::int16_t>(i)};
        colours.entries[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                              static_cast<std::uint8_t>(i / 2), 0};
    }
}

void colourRows(benchmark::State& state, int depth) {
    ViewEnvironment environment;
    auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
    record->width = kWidth;
    record->height = kHeight;
    record->displayDepth = depth;
    record->params().setInteger("ColormodeType", static_cast<int>(state.range(0)));
    record->params().setReal("ColormodeAccel", 5.0);
    FractalView view(*record, environment);
    allocateBuffers(BufferLayout{kWidth, kHeight, depth, false, false, false, 24}, view.buffers());
    fillPalette(view.colours);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x <= kWidth; ++x)
            view.buffers().value(x, y) = 1.0f + static_cast<float>((x * 7 + y * 13) % 5000) * 0.37f;
    const int block = static_cast<int>(state.range(1));
    int row = 0;
    for (auto _ : state) {
        colourRow(view, 0, row, kWidth + 1, block);
        benchmark::DoNotOptimize(view.buffers().pixels.data());
        row = (row + block) % (kHeight - block + 1);
    }
    state.SetItemsProcessed(state.iterations() * (kWidth / block));
}

void BM_ColourRow8Bit(benchmark::State& state) {
    colourRows(state, 8);
}
BENCHMARK(BM_ColourRow8Bit)->Args({0, 1})->Args({1, 1})->Args({3, 1})->Args({0, 8});

void BM_ColourRow24Bit(benchmark::State& state) {
    colourRows(state, 24);
}
BENCHMARK(BM_ColourRow24Bit)->Args({0, 1})->Args({1, 1})->Args({3, 1})->Args({0, 8});

} // namespace
