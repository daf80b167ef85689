// PNG images: the decoder, and the fractal the image's "Parameter" texts describe.

#include "fuzz_input.h"
#include "imagefile/image_commands.h"
#include "imagefile/png_loader.h"
#include "palette/palette_list.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vortimax;
    const std::string_view bytes = fuzz::asText(data, size);
    DecodedPng image;
    PngFileFacts facts;
    const PngLoadResult result =
        loadPng(fuzz::writeScratchFile("fuzz_input.png", bytes), image, nullptr, {}, &facts);
    (void)pngLoadProblem(result, facts);
    if (result != PngLoadResult::Loaded)
        return 0;
    const auto width = static_cast<std::size_t>(image.width);
    const auto height = static_cast<std::size_t>(image.height);
    if (image.width <= 0 || image.height <= 0 || image.bgrRows.size() != width * height * 3)
        std::abort();
    PaletteList palettes;
    const auto ignore = [](std::string_view) {};
    (void)fractalFromImage(image, "fuzz_input.png", palettes, ignore);
    return 0;
}
