// Cost of one colour-cycling step on a 1024 x 768 8-bit Mandel image on a true-colour
// screen: the offset moves, the palette's display form is built and the index image is
// turned into screen colours through it (what the fractal window paints). Beside it, for
// comparison in the same run, the recolouring of the whole image from its values, which
// a step would cost if the index image were coloured anew. At 30 steps per second a step
// has 33 ms.

#include "bench_image.h"
#include "model/pass_scheme.h"
#include "palette/colour_cycling.h"
#include "palette/palette_application.h"
#include "palette/screen_colours.h"
#include "render/colour/colouring_hooks.h"

#include <benchmark/benchmark.h>
#include <vector>

using namespace vortimax;
using bench::kImageHeight;
using bench::kImageWidth;

namespace {

// The image with its palette indices coloured once, as a finished 8-bit fractal has them.
struct CyclingImage {
    bench::ImageView image{8, false, 0, 0};
    PaletteList palettes;
    std::vector<std::uint32_t> screen =
        std::vector<std::uint32_t>(static_cast<std::size_t>(kImageWidth) * kImageHeight);

    CyclingImage() {
        installColouring(image.environment.hooks);
        recolourImage(*image.view);
        image.record->palName = palettes.defaultPalette().name();
        applyPaletteToView(*image.view, palettes);
    }
};

void BM_CyclingStep(benchmark::State& state) {
    CyclingImage cycling;
    FractalView& view = *cycling.image.view;
    FractalRecord& record = *cycling.image.record;
    for (auto _ : state) {
        record.palOffset = ColourCycling::nextOffset(record.palOffset, 1.0, true);
        if (showPalette(view, cycling.palettes) != PaletteShown::Repainted)
            state.SkipWithError("the step was not a repaint");
        indexImageToRgb32(view.buffers(), view.colours, cycling.screen.data());
        benchmark::DoNotOptimize(cycling.screen.data());
    }
    state.SetItemsProcessed(state.iterations() * kImageWidth * kImageHeight);
}
BENCHMARK(BM_CyclingStep)->Unit(benchmark::kMillisecond);

// The same step if the whole image were coloured anew from its values.
void BM_CyclingStepByRecolouring(benchmark::State& state) {
    CyclingImage cycling;
    FractalView& view = *cycling.image.view;
    FractalRecord& record = *cycling.image.record;
    for (auto _ : state) {
        record.palOffset = ColourCycling::nextOffset(record.palOffset, 1.0, true);
        applyPaletteToView(view, cycling.palettes);
        recolourImage(view);
        indexImageToRgb32(view.buffers(), view.colours, cycling.screen.data());
        benchmark::DoNotOptimize(cycling.screen.data());
    }
    state.SetItemsProcessed(state.iterations() * kImageWidth * kImageHeight);
}
BENCHMARK(BM_CyclingStepByRecolouring)->Unit(benchmark::kMillisecond);

} // namespace
