#pragma once

#include "model/image_buffers.h"

#include <filesystem>
#include <system_error>

namespace vortimax::cli {

// Writes the value buffer as a NumPy .npy file: float32, shape (height, width), the top
// row first, the spare column left out. Written as a whole or not at all; `error` (may be
// null) receives the reason of a failure.
bool writeValuesNpy(const ImageBuffers& buffers, const std::filesystem::path& path,
                    std::error_code* error = nullptr);

} // namespace vortimax::cli
