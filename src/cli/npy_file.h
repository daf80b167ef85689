#pragma once

#include "model/image_buffers.h"

#include <filesystem>

namespace vortimax::cli {

// Writes the value buffer as a NumPy .npy file: float32, shape (height, width), the top
// row first, the spare column left out. Written as a whole or not at all.
bool writeValuesNpy(const ImageBuffers& buffers, const std::filesystem::path& path);

} // namespace vortimax::cli
