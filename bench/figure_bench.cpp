// The figure types: chaos-game steps of the fern, characters of an L-system walk drawn
// into a bitmap, and beside them the bare loop of the chaos game (generator, map choice,
// affine step) as the baseline their costs are read against.

#include "formula/ifs_entry.h"
#include "model/image_buffers.h"
#include "render/geometry/figure_canvas.h"
#include "render/geometry/ifs_chaos_game.h"
#include "render/geometry/lsystem_expansion.h"
#include "render/geometry/turtle.h"

#include <benchmark/benchmark.h>

using namespace vortimax;

namespace {

constexpr std::int64_t kSteps = 1 << 16;

IfsMapSet fern() {
    IfsEntry entry;
    entry.transforms = parseIfsBody(" 0     0     0     0.16  0  0     0.01\n"
                                    " 0.85  0.04 -0.04  0.85  0  1.6   0.85\n"
                                    " 0.2  -0.26  0.23  0.22  0  1.6   0.07\n"
                                    "-0.15  0.28  0.26  0.24  0  0.44  0.07\n");
    return evaluateIfsMaps(entry, {});
}

void BM_ChaosLoopBaseline(benchmark::State& state) {
    const IfsMapSet maps = fern();
    for (auto _ : state) {
        ClassicRandom random(kIfsSeed);
        double x = 0, y = 0, z = 0;
        for (std::int64_t n = 0; n < kSteps; ++n) {
            const double r = random.next() / 32767.0 * maps.total();
            maps.maps()[maps.choose(r)].apply(x, y, z);
        }
        benchmark::DoNotOptimize(x + y + z);
    }
    state.SetItemsProcessed(state.iterations() * kSteps);
}
BENCHMARK(BM_ChaosLoopBaseline);

void BM_ChaosGameFern(benchmark::State& state) {
    ImageBuffers buffers;
    allocateBuffers(BufferLayout{640, 480, 8}, buffers);
    ColourTable colours;
    FigureCanvas canvas(buffers, colours);
    for (auto _ : state) {
        ChaosGame game({fern(), IfsProjection(0, 0),
                        PlaneToPixel(PixelMapping{-5, -1, 10.0 / 639, 0, 0, 12.0 / 480}),
                        IfsColouring::Density, kSteps + 1});
        game.play(kSteps, canvas);
    }
    state.SetItemsProcessed(state.iterations() * kSteps);
}
BENCHMARK(BM_ChaosGameFern);

// The Koch curve at depth 8 (4^8 lines of about 2 pixels) into an 8-bit bitmap.
void BM_LSystemWalkKoch(benchmark::State& state) {
    struct PixelPen : TurtlePen {
        FigureCanvas* canvas;
        void line(double, double, double x1, double y1, int index) override {
            canvas->plot(static_cast<int>(x1 * 2.0), static_cast<int>(y1 * 2.0) + 200, index);
        }
    };
    ImageBuffers buffers;
    allocateBuffers(BufferLayout{640, 480, 8}, buffers);
    ColourTable colours;
    FigureCanvas canvas(buffers, colours);
    PixelPen pen;
    pen.canvas = &canvas;
    const LSystemGrammar grammar(LSystemEntry{"Koch", "F", 6, {{'F', "F+F--F+F"}}});
    std::uint64_t characters = 0;
    for (auto _ : state) {
        TurtleState start;
        start.delta = 6.283185307 / 6;
        Turtle turtle(start, pen);
        LSystemWalk walk(grammar, "F", 8, turtle);
        walk.walk(~std::uint64_t{0} / 2);
        characters += walk.charactersWalked();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(characters));
}
BENCHMARK(BM_LSystemWalkKoch);

} // namespace
