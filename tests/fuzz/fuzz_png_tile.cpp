// Tiles for stitch: the chunk walker that reads a PNG's header, palette and texts without
// decoding it, and the row-by-row reader.

#include "fuzz_input.h"
#include "imagefile/png_tile_reader.h"
#include "model/image_region.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vortimax;
    const auto path = fuzz::writeScratchFile("fuzz_tile.png", fuzz::asText(data, size));
    std::string problem;
    const std::optional<PngOutline> outline = readPngOutline(path, problem);
    if (!outline) {
        if (problem.empty())
            std::abort(); // every refusal says why
        return 0;
    }
    if (const std::string* region = outline->text("Region"))
        (void)parseRegionText(*region);
    PngRowReader reader;
    if (!reader.open(path, *outline, problem))
        return 0;
    const std::size_t bytes = outline->palette.empty() ? 3 : 1;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(outline->width) * bytes);
    for (int y = 0; y < outline->height && reader.readRow(row.data()); ++y) {
    }
    return 0;
}
