#include "base/atomic_file.h"

#include "base/file_replacement.h"

namespace vortimax {

bool writeFileAtomically(const std::filesystem::path& path, std::string_view content,
                         std::error_code* error) {
    FileReplacement file(path);
    const bool written = file.write(content) && file.commit();
    if (error != nullptr)
        *error = file.error();
    return written;
}

} // namespace vortimax
