#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace vortimax::cli {

// `cannot write "PATH"`, followed by the reason when one is known
// (`cannot write "/dev/full": No space left on device`).
inline std::string cannotWriteText(const std::filesystem::path& path,
                                   const std::error_code& error) {
    std::string text = "cannot write \"" + path.string() + '"';
    if (error)
        text += ": " + error.message();
    return text;
}

} // namespace vortimax::cli
