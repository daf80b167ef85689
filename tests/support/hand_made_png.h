#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <zlib.h>

namespace vortimax::test {

// One PNG chunk: length, type, data and a correct CRC.
inline std::string pngChunk(std::string_view type, std::string_view data) {
    auto bigEndian = [](std::uint32_t v) {
        return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                           static_cast<char>(v >> 8), static_cast<char>(v)};
    };
    const std::string typed = std::string(type) + std::string(data);
    const auto crc =
        crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()));
    return bigEndian(static_cast<std::uint32_t>(data.size())) + typed +
           bigEndian(static_cast<std::uint32_t>(crc));
}

// A PNG put together byte by byte, so that its header may claim what it likes: an
// 8-bit grey image of the declared size whose IDAT holds `pixelRows` compressed (all
// rows zero when empty), with a "Parameter" text chunk when `parameter` is given.
inline std::string handMadePng(std::uint32_t width, std::uint32_t height,
                               std::string pixelRows = {}, const char* parameter = nullptr) {
    std::string header(13, '\0');
    for (int i = 0; i < 4; ++i) {
        header[i] = static_cast<char>(width >> (24 - 8 * i));
        header[4 + i] = static_cast<char>(height >> (24 - 8 * i));
    }
    header[8] = 8; // bit depth; colour type 0 (grey), no interlace
    if (pixelRows.empty())
        pixelRows.assign(static_cast<std::size_t>(width + 1) * height, '\0');
    uLongf packedSize = compressBound(static_cast<uLong>(pixelRows.size()));
    std::string packed(packedSize, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
              reinterpret_cast<const Bytef*>(pixelRows.data()),
              static_cast<uLong>(pixelRows.size()), 9);
    packed.resize(packedSize);
    std::string png =
        std::string("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", packed);
    if (parameter)
        png += pngChunk("tEXt", std::string("Parameter\0", 10) + parameter);
    return png + pngChunk("IEND", "");
}

} // namespace vortimax::test
