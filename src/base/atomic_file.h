#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace vortimax {

// Writes `content` as the whole new content of `path` through a FileReplacement
// (base/file_replacement.h): a regular file is replaced all at once and stays untouched
// when anything fails; a device, FIFO or the target of a symbolic link is written in
// place. False on any failure; `error` (may be null) then receives the reason.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view content,
                         std::error_code* error = nullptr);

} // namespace vortimax
