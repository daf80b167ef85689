#pragma once

#include "palette/palette_list.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace vortimax::test {

// A fresh directory under the system's temporary directory, removed with its contents
// when the object goes.
class PaletteTempDir {
public:
    PaletteTempDir() {
        static std::atomic<int> counter{0};
        path_ =
            std::filesystem::temp_directory_path() /
            ("vortimax-palette-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~PaletteTempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    PaletteTempDir(const PaletteTempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

    // Writes `bytes` to the file `name` in the directory and returns its path.
    std::filesystem::path write(std::string_view name, std::string_view bytes) const {
        return writeTo(path_ / name, bytes);
    }
    static std::filesystem::path writeTo(const std::filesystem::path& file,
                                         std::string_view bytes) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

private:
    std::filesystem::path path_;
};

// The names of the list's palettes in list order.
inline std::vector<std::string> names(const PaletteList& list) {
    std::vector<std::string> result;
    for (const Palette& palette : list.palettes().all())
        result.push_back(palette.name());
    return result;
}

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A grey ramp: entry i of 0..251 is (i, i, i) plus `shift`, or minus it with `down`.
inline Palette greyRamp(std::string_view name, int shift = 0, bool down = false) {
    Palette palette;
    palette.setName(name);
    for (int i = 0; i < static_cast<int>(kPaletteColours); ++i) {
        const int grey = down ? shift - i : i + shift;
        palette.setColour(static_cast<std::size_t>(i), {grey, grey, grey});
    }
    return palette;
}

} // namespace vortimax::test
