#pragma once

// What every fuzz target shares: the input as text, and one scratch file per process for
// readers that only take a path.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace vortimax::fuzz {

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Writes the bytes to this process's scratch file named `fileName` (the same path for
// every input, so that a run does not litter the temporary directory) and returns its
// path. The directory is removed when the process ends normally.
std::filesystem::path writeScratchFile(std::string_view fileName, std::string_view bytes);

} // namespace vortimax::fuzz
