#include "video/video_frame.h"

#include <algorithm>

namespace vortimax {
namespace {

// The blue, green and red bytes of one pixel.
struct Bgr {
    std::uint8_t blue;
    std::uint8_t green;
    std::uint8_t red;
};

Bgr pixelOf(const VideoFrame& frame, const std::uint8_t* row, int x) {
    if (frame.bitsPerPixel == 8) {
        const ColourEntry& entry = frame.colours->entries[row[x]];
        return {entry.blue, entry.green, entry.red};
    }
    const std::uint8_t* p = row + static_cast<std::size_t>(x) * 3;
    return frame.blueFirst ? Bgr{p[0], p[1], p[2]} : Bgr{p[2], p[1], p[0]};
}

} // namespace

namespace {

// A buffer too short for its rows yields no rows at all, so the frame counts as incomplete.
const std::uint8_t* rowsIfWhole(const std::vector<std::uint8_t>& buffer, std::size_t stride,
                                int height) {
    if (height <= 0 || buffer.size() < stride * static_cast<std::size_t>(height))
        return nullptr;
    return buffer.data();
}

} // namespace

VideoFrame videoFrameOf(const ImageBuffers& buffers, const ColourTable& colours, bool use3D) {
    VideoFrame frame;
    frame.width = buffers.width;
    frame.height = buffers.height;
    if (use3D) {
        frame.bitsPerPixel = 24;
        frame.stride = static_cast<std::size_t>(buffers.rowLength) * 3;
        frame.rows = rowsIfWhole(buffers.image3D, frame.stride, frame.height);
        frame.blueFirst = false;
        return frame;
    }
    frame.bitsPerPixel = buffers.bytesPerPixel == 1 ? 8 : 24;
    frame.stride = static_cast<std::size_t>(buffers.rowLength) * buffers.bytesPerPixel;
    frame.rows = rowsIfWhole(buffers.pixels, frame.stride, frame.height);
    frame.colours = &colours;
    return frame;
}

bool videoFrameIsComplete(const VideoFrame& frame) {
    if (frame.width <= 0 || frame.height <= 0 || frame.rows == nullptr)
        return false;
    if (frame.bitsPerPixel != 8 && frame.bitsPerPixel != 24)
        return false;
    if (frame.bitsPerPixel == 8 && frame.colours == nullptr)
        return false;
    return frame.stride >= static_cast<std::size_t>(frame.width) * (frame.bitsPerPixel / 8);
}

std::size_t dibRowBytes(int width, int bitsPerPixel) {
    const std::size_t bytes = static_cast<std::size_t>(width) * (bitsPerPixel / 8);
    return (bytes + 3) / 4 * 4;
}

std::size_t dibImageBytes(const VideoFrame& frame) {
    return dibRowBytes(frame.width, frame.bitsPerPixel) * static_cast<std::size_t>(frame.height);
}

void packDibRows(const VideoFrame& frame, std::uint8_t* out) {
    const std::size_t rowBytes = dibRowBytes(frame.width, frame.bitsPerPixel);
    const std::size_t used = static_cast<std::size_t>(frame.width) * (frame.bitsPerPixel / 8);
    for (int y = 0; y < frame.height; ++y) {
        const std::uint8_t* in = frame.row(y);
        std::uint8_t* dest = out + rowBytes * static_cast<std::size_t>(y);
        std::fill(dest + used, dest + rowBytes, std::uint8_t{0});
        if (frame.bitsPerPixel == 8) {
            std::copy(in, in + frame.width, dest);
            continue;
        }
        for (int x = 0; x < frame.width; ++x) {
            const Bgr p = pixelOf(frame, in, x);
            dest[3 * x] = p.blue;
            dest[3 * x + 1] = p.green;
            dest[3 * x + 2] = p.red;
        }
    }
}

std::vector<std::uint32_t> packedPalette(const ColourTable& colours) {
    std::vector<std::uint32_t> out(colours.entries.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        const ColourEntry& e = colours.entries[i];
        out[i] = 0xFF000000u | (std::uint32_t{e.red} << 16) | (std::uint32_t{e.green} << 8) |
                 std::uint32_t{e.blue};
    }
    return out;
}

void fillBgrTopDown(const VideoFrame& frame, std::uint8_t* out, std::size_t outStride,
                    int bytesPerPixel) {
    for (int y = 0; y < frame.height; ++y) {
        const std::uint8_t* in = frame.row(frame.height - 1 - y);
        std::uint8_t* dest = out + outStride * static_cast<std::size_t>(y);
        for (int x = 0; x < frame.width; ++x) {
            const Bgr p = pixelOf(frame, in, x);
            std::uint8_t* d = dest + static_cast<std::size_t>(x) * bytesPerPixel;
            d[0] = p.blue;
            d[1] = p.green;
            d[2] = p.red;
            if (bytesPerPixel == 4)
                d[3] = 0;
        }
    }
}

} // namespace vortimax
