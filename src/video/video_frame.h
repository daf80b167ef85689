#pragma once

#include "model/colour_table.h"
#include "model/image_buffers.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vortimax {

// One frame as the image buffers hold it: rows bottom first, `stride` bytes apart.
struct VideoFrame {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 8;                 // 8: palette indices, 24: colour triples
    const std::uint8_t* rows = nullptr;   // the bottom row
    std::size_t stride = 0;               // bytes from one row to the one above it
    bool blueFirst = true;                // 24 bits: blue, green, red (else red, green, blue)
    const ColourTable* colours = nullptr; // 8 bits: the displayed palette

    const std::uint8_t* row(int fromBottom) const {
        return rows + static_cast<std::size_t>(fromBottom) * stride;
    }
};

// The frame of a fractal's displayed image in its own depth (palette indices with
// `colours`, or blue-green-red triples), or of its 3D image (red-green-blue triples).
VideoFrame videoFrameOf(const ImageBuffers& buffers, const ColourTable& colours, bool use3D);

// Whether the frame's fields describe a complete image of the given depth.
bool videoFrameIsComplete(const VideoFrame& frame);

// Bytes of one stored bitmap row: width × bits / 8 rounded up to a multiple of 4, as a
// device-independent bitmap lays its rows out.
std::size_t dibRowBytes(int width, int bitsPerPixel);

// Bytes of the frame as a bitmap: dibRowBytes × height.
std::size_t dibImageBytes(const VideoFrame& frame);

// Writes the frame's dibImageBytes as uncompressed bitmap rows, bottom row first, each
// padded with zero bytes to dibRowBytes; 24-bit pixels in blue, green, red order.
void packDibRows(const VideoFrame& frame, std::uint8_t* out);

// The palette as FFmpeg hands it on: 256 native 32-bit values 0xAARRGGBB, opaque.
std::vector<std::uint32_t> packedPalette(const ColourTable& colours);

// Fills `out` with the frame top row first, `outStride` bytes per row, each pixel as
// blue, green, red and, when `bytesPerPixel` is 4, a fourth byte 0.
void fillBgrTopDown(const VideoFrame& frame, std::uint8_t* out, std::size_t outStride,
                    int bytesPerPixel);

} // namespace vortimax
