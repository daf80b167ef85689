// Cost of writing a 1024 x 768 fractal image as a PNG with its parameter text: the
// Mandel image coloured as a palette image and as a true-colour image.

#include "bench_image.h"
#include "imagefile/png_writer.h"
#include "render/colour/colour_row.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace vortimax;

namespace {

// Argument: display depth.
void BM_WritePng(benchmark::State& state) {
    bench::ImageView image(static_cast<int>(state.range(0)), false, 0, 0);
    for (int y = 0; y < bench::kImageHeight; ++y)
        colourRow(*image.view, 0, y, bench::kImageWidth + 1, 1);
    const std::string parameters(2000, 'p');
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("vortimax-png-bench-" + std::to_string(getpid()) + ".png");
    const PngWriteSource source{image.view->buffers(), image.view->colours, false};
    for (auto _ : state) {
        if (writeFractalPng(source, parameters, path) != PngWriteResult::Written)
            state.SkipWithError("the image could not be written");
    }
    std::error_code ignored;
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path, ignored));
    std::filesystem::remove(path, ignored);
}
BENCHMARK(BM_WritePng)->ArgName("depth")->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond);

} // namespace
