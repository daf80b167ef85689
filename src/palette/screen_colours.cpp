#include "palette/screen_colours.h"

#include <array>
#include <cstddef>

namespace vortimax {

void indexImageToRgb32(const ImageBuffers& buffers, const ColourTable& colours,
                       std::uint32_t* out) {
    std::array<std::uint32_t, 256> lookup{};
    for (std::size_t i = 0; i < lookup.size(); ++i) {
        const ColourEntry& entry = colours.entries[i];
        lookup[i] = 0xFF000000u | (std::uint32_t{entry.red} << 16) |
                    (std::uint32_t{entry.green} << 8) | entry.blue;
    }
    const auto width = static_cast<std::size_t>(buffers.width);
    for (int y = 0; y < buffers.height; ++y) {
        const std::uint8_t* row =
            buffers.pixels.data() +
            static_cast<std::size_t>(buffers.height - 1 - y) * buffers.rowLength;
        std::uint32_t* target = out + static_cast<std::size_t>(y) * width;
        for (std::size_t x = 0; x < width; ++x)
            target[x] = lookup[row[x]];
    }
}

} // namespace vortimax
