#pragma once

#include "model/image_buffers.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <png.h>
#include <string>
#include <vector>

namespace vortimax::test {

// The chunk types of a PNG file in order, walked by hand from the bytes.
inline std::vector<std::string> chunkTypes(const std::string& bytes) {
    std::vector<std::string> types;
    std::size_t pos = 8;
    while (pos + 12 <= bytes.size()) {
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + pos);
        const std::size_t length =
            (std::size_t{p[0]} << 24) | (std::size_t{p[1]} << 16) | (std::size_t{p[2]} << 8) | p[3];
        types.emplace_back(bytes.substr(pos + 4, 4));
        pos += 12 + length;
    }
    return types;
}

// An image buffer of the given depth with a recognisable pattern: every pixel differs
// from its neighbours in both directions.
inline ImageBuffers patternBuffers(int width, int height, int bytesPerPixel) {
    ImageBuffers b;
    b.width = width;
    b.height = height;
    b.rowLength = bitmapRowLength(width);
    b.bytesPerPixel = bytesPerPixel;
    b.pixels.assign(static_cast<std::size_t>(b.rowLength) * height * bytesPerPixel, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < bytesPerPixel; ++c)
                b.pixelRow(y)[x * bytesPerPixel + c] =
                    static_cast<std::uint8_t>(x * 7 + y * 31 + c * 85);
    return b;
}

// A PNG from another program: libpng with no text chunk.
inline bool writeForeignPng(const std::filesystem::path& path, int width, int height,
                            int colourType) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[4] = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {200, 210, 220}};
    if (colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, palette, 4);
    png_write_info(png, info);
    const int channels = colourType == PNG_COLOR_TYPE_RGB ? 3 : 1;
    std::vector<png_byte> row(static_cast<std::size_t>(width) * channels);
    for (int y = 0; y < height; ++y) {
        for (std::size_t i = 0; i < row.size(); ++i)
            row[i] = static_cast<png_byte>(colourType == PNG_COLOR_TYPE_PALETTE ? (i + y) % 4
                                                                                : i * 3 + y);
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

} // namespace vortimax::test
