#pragma once

#include "model/colour_table.h"
#include "model/image_buffers.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <string_view>
#include <system_error>

namespace vortimax {

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
PngWriteResult writeFractalPng(const PngWriteSource& source, std::string_view parameterText,
                               const std::filesystem::path& path,
                               const std::atomic<bool>* abort = nullptr,
                               const std::function<void(double)>& progress = {},
                               std::error_code* error = nullptr);

} // namespace vortimax
