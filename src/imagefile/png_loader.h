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
    NotAFile = 6,      // a directory, pipe or device rather than a regular file
    TooLarge = 7,      // the header declares a side beyond kMaxImageSide
    TooShort = 8,      // the header declares more pixels than the file's bytes can hold
};

// What loadPng learnt of the file, filled whatever the result: the size the header
// declares (zero when no header was read) and the file's length in bytes.
struct PngFileFacts {
    std::uint32_t declaredWidth = 0;
    std::uint32_t declaredHeight = 0;
    std::uintmax_t fileBytes = 0;
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

// Decodes a PNG file. Only regular files are opened (a pipe could keep the reader
// waiting without end). The declared size is checked before anything is allocated for
// it: a side beyond kMaxImageSide is TooLarge, more pixels than the file could hold at
// the best compression deflate reaches is TooShort. Broken chunks, truncated data and
// oversized text chunks are refused (ReadError) rather than half-loaded; on any result
// but Loaded `image` is left as it was. `progress` hears the share of rows read; `facts`,
// when given, hears what the file declared.
PngLoadResult loadPng(const std::filesystem::path& path, DecodedPng& image,
                      const std::atomic<bool>* abort = nullptr,
                      const std::function<void(double)>& progress = {},
                      PngFileFacts* facts = nullptr);

// Why a file did not load, as one line without the file's name ("the file is cut short
// or damaged"); empty for Loaded.
std::string pngLoadProblem(PngLoadResult result, const PngFileFacts& facts);

} // namespace vortimax
