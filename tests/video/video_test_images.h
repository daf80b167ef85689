#pragma once

#include "model/colour_table.h"
#include "model/image_buffers.h"

#include <cstdint>
#include <vector>

namespace vortimax::test {

// A frame's image buffers and palette, different for every frame number: smooth enough
// for lossy codecs to keep its colours, varied enough that a mixed-up row, column or
// channel shows.
struct TestPicture {
    ImageBuffers buffers;
    ColourTable colours;
};

inline ColourTable testPalette(int frame) {
    ColourTable table;
    for (int i = 0; i < 256; ++i) {
        ColourEntry& e = table.entries[static_cast<std::size_t>(i)];
        e.red = static_cast<std::uint8_t>(i);
        e.green = static_cast<std::uint8_t>(255 - i);
        e.blue = static_cast<std::uint8_t>((i + 40 * frame) & 0xFF);
    }
    return table;
}

// `bits` 8 or 24; `use3D` fills the red-green-blue 3D image instead of the pixel buffer.
inline TestPicture testPicture(int width, int height, int bits, bool use3D, int frame) {
    TestPicture p;
    ImageBuffers& b = p.buffers;
    b.width = width;
    b.height = height;
    b.rowLength = bitmapRowLength(width);
    b.bytesPerPixel = bits == 8 ? 1 : 3;
    const std::size_t rowBytes =
        static_cast<std::size_t>(b.rowLength) * (use3D ? 3 : b.bytesPerPixel);
    std::vector<std::uint8_t>& target = use3D ? b.image3D : b.pixels;
    target.assign(rowBytes * static_cast<std::size_t>(height), 0xEE); // gap bytes marked
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = target.data() + rowBytes * static_cast<std::size_t>(y);
        for (int x = 0; x < width; ++x) {
            const int red = x * 255 / width;
            const int green = y * 255 / height;
            const int blue = (frame * 14 + x + y) & 0xFF; // no wrap below 64 x 48
            if (bits == 8 && !use3D) {
                row[x] = static_cast<std::uint8_t>((x * 7 + y * 3 + frame * 11) & 0xFF);
                continue;
            }
            std::uint8_t* px = row + 3 * x;
            px[0] = static_cast<std::uint8_t>(use3D ? red : blue);
            px[1] = static_cast<std::uint8_t>(green);
            px[2] = static_cast<std::uint8_t>(use3D ? blue : red);
        }
    }
    p.colours = testPalette(frame);
    return p;
}

// The picture as red-green-blue triples, top row first, worked out independently of the
// writer's own conversions.
inline std::vector<std::uint8_t> expectedRgb(const TestPicture& p, bool use3D) {
    const ImageBuffers& b = p.buffers;
    std::vector<std::uint8_t> out;
    for (int top = 0; top < b.height; ++top) {
        const int y = b.height - 1 - top;
        for (int x = 0; x < b.width; ++x) {
            if (use3D) {
                const std::uint8_t* px =
                    &b.image3D[(static_cast<std::size_t>(y) * b.rowLength + x) * 3];
                out.insert(out.end(), {px[0], px[1], px[2]});
            } else if (b.bytesPerPixel == 1) {
                const ColourEntry& e =
                    p.colours.entries[b.pixels[static_cast<std::size_t>(y) * b.rowLength + x]];
                out.insert(out.end(), {e.red, e.green, e.blue});
            } else {
                const std::uint8_t* px =
                    &b.pixels[(static_cast<std::size_t>(y) * b.rowLength + x) * 3];
                out.insert(out.end(), {px[2], px[1], px[0]});
            }
        }
    }
    return out;
}

} // namespace vortimax::test
