#pragma once

#include <filesystem>
#include <string_view>

namespace vortimax {

// Replaces the file at `path` with `content` all at once: the bytes go to a temporary
// file in the same directory, which is flushed to disk and then renamed over the target.
// Readers (and a crash half-way) see either the old file or the complete new one. On any
// failure the temporary file is removed, the old file is left untouched and the result
// is false.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view content);

} // namespace vortimax
