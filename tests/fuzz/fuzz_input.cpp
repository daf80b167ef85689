#include "fuzz_input.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>
#include <unistd.h>

namespace vortimax::fuzz {

namespace {

class ScratchDirectory {
public:
    ScratchDirectory() {
        std::error_code error;
        std::filesystem::path base = std::filesystem::temp_directory_path(error);
        if (error)
            base = "/tmp";
        path_ = base / ("vortimax-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path_, error);
        if (error)
            std::abort(); // every input would silently test nothing
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace

std::filesystem::path writeScratchFile(std::string_view fileName, std::string_view bytes) {
    static const ScratchDirectory directory;
    std::filesystem::path file = directory.path() / std::filesystem::path(fileName);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        std::abort();
    return file;
}

} // namespace vortimax::fuzz
