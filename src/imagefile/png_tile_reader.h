#pragma once

#include "imagefile/png_writer.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vortimax {

// What a PNG file says about itself without its pixels being decoded: the header, the
// palette and the text chunks. Only images as this program writes them are accepted:
// 8 bits per channel, not interlaced, true colour or a palette.
struct PngOutline {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> palette; // 256 RGB triples; empty for true colour
    std::vector<PngText> texts;        // tEXt and zTXt chunks in file order

    // The text of the first chunk with this keyword.
    const std::string* text(std::string_view key) const;
};

// Walks the file's chunks, skipping the image data. Every length is checked before it is
// used: a damaged or foreign file gives nothing and `problem` says why.
std::optional<PngOutline> readPngOutline(const std::filesystem::path& path, std::string& problem);

// Reads the rows of such an image one at a time, top first, holding one row at most.
class PngRowReader {
public:
    PngRowReader() = default;
    ~PngRowReader();
    PngRowReader(const PngRowReader&) = delete;
    PngRowReader& operator=(const PngRowReader&) = delete;

    // Opens the file and checks that its header is `outline`'s.
    bool open(const std::filesystem::path& path, const PngOutline& outline, std::string& problem);
    // The next row: width bytes of palette indices, or width RGB triples. False when the
    // file is damaged.
    bool readRow(std::uint8_t* out);

private:
    void close();

    std::FILE* file_ = nullptr;
    struct LibraryState;
    LibraryState* png_ = nullptr;
};

} // namespace vortimax
