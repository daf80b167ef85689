#pragma once

#include "palette/palette.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

enum class PngLoadResult {
    Loaded = 0,
    NotOpened = 1,     // the file could not be opened
    ReadError = 2,     // the file is not a readable PNG (or is broken)
    StructsFailed = 3, // libpng could not create its structures
    OutOfMemory = 4,   // the image is too large
    Aborted = 5,       // the abort flag was set between two rows
};

// A decoded PNG. Whatever its format, the pixels come as blue, green, red bytes, rows
// bottom-up (row 0 is the bottom row) and `width * 3` bytes apart: the layout of a
// true-colour image buffer.
struct DecodedPng {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgrRows;
    // The PNG's palette (entries it lacks black), or a grey ramp 0..255 for a grey-scale
    // image; nothing for true colour.
    std::optional<RgbTriples> palette;
    // The texts of the "Parameter" chunks after the image data, in file order.
    std::vector<std::string> parameterTexts;
};

// Whether `bytes` starts with the 8-byte PNG signature.
bool hasPngSignature(std::string_view bytes);

// Decodes a PNG file. Sizes beyond kMaxImageSide, broken chunks, truncated data and
// oversized text chunks are refused (ReadError) rather than half-loaded; on any result
// but Loaded `image` is left as it was. `progress` hears the share of rows read.
PngLoadResult loadPng(const std::filesystem::path& path, DecodedPng& image,
                      const std::atomic<bool>* abort = nullptr,
                      const std::function<void(double)>& progress = {});

} // namespace vortimax
