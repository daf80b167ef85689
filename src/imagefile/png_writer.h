#pragma once

#include "model/colour_table.h"
#include "model/image_buffers.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace vortimax {

// The "Parameter" chunk of our images holds the fractal's entry text.
inline constexpr std::string_view kParameterTextKey = "Parameter";
// The "Region" chunk of a tile names its rectangle of the whole image (model/image_region.h).
inline constexpr std::string_view kRegionTextKey = "Region";

// A text chunk: keyword and text.
struct PngText {
    std::string key;
    std::string text;
};

// Result of writing a fractal image.
enum class PngWriteResult {
    Written = 0,
    NotOpened = 1,     // the file could not be created
    WriteError = 2,    // writing (or finishing) the file failed
    StructsFailed = 3, // libpng could not create its structures
    Aborted = 4,       // the abort flag was set between two rows
};

// What to write: the 2D pixel buffer (a palette image when it holds one byte per pixel,
// otherwise true colour) or the 3D image (always true colour).
struct PngWriteSource {
    const ImageBuffers& buffers;
    const ColourTable& colours; // the displayed palette of a palette image
    bool use3D = false;
};

// Writes the image as a PNG: 8 bits per channel, rows top first, then one compressed
// text chunk "Parameter" holding `parameterText` after the image data. The bytes go
// through a FileReplacement (base/file_replacement.h): a regular file at `path` is
// replaced only once everything was written, so a failed or aborted write leaves no
// partial file (and an existing file untouched); a device or FIFO is written directly.
// `abort` (may be null) is looked at after every row; `progress` (may be empty) hears
// row / height after every row; `error` (may be null) receives the reason of a failed
// opening or write. Needs no running calculation.
// `extraTexts` are further compressed text chunks (keyword, text) written after it.
PngWriteResult writeFractalPng(const PngWriteSource& source, std::string_view parameterText,
                               const std::filesystem::path& path,
                               const std::atomic<bool>* abort = nullptr,
                               const std::function<void(double)>& progress = {},
                               std::error_code* error = nullptr,
                               std::span<const PngText> extraTexts = {});

// An image handed over row by row, for images that are never whole in memory.
struct PngRowImage {
    int width = 0;
    int height = 0;
    // 256 RGB triples for a palette image; empty for true colour.
    std::vector<std::uint8_t> palette;
    // Fills PNG row `row` (0 = top): width bytes of palette indices or width RGB triples.
    // False ends the write as failed (the reader of the rows knows why).
    std::function<bool(int row, std::uint8_t* out)> fillRow;
    std::vector<PngText> texts; // written after the image data, compressed
};

// Writes the image as writeFractalPng does (8 bits per channel, no partial file on failure).
PngWriteResult writePngRows(const PngRowImage& image, const std::filesystem::path& path,
                            const std::function<void(double)>& progress = {},
                            std::error_code* error = nullptr);

} // namespace vortimax
