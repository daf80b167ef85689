#include "imagefile/png_tile_reader.h"

#include "model/image_buffers.h"

#include <array>
#include <csetjmp>
#include <cstring>
#include <fstream>
#include <png.h>
#include <sys/stat.h>
#include <zlib.h>

namespace vortimax {

namespace {

constexpr std::array<unsigned char, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
// No text of ours comes near this; a longer declared length is a damaged file.
constexpr std::uint32_t kMaxTextBytes = 16u << 20;
constexpr std::uint32_t kMaxChunkLength = 0x7fffffffu;
constexpr int kMaxTexts = 64;
constexpr int kColourTypeRgb = 2;
constexpr int kColourTypePalette = 3;

std::uint32_t bigEndian(const unsigned char* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

struct Chunk {
    std::uint32_t length = 0;
    std::string type;
    std::string data; // read only for the chunks the outline needs
};

class ChunkWalker {
public:
    explicit ChunkWalker(const std::filesystem::path& path) : in_(path, std::ios::binary) {}

    bool opened() const { return in_.is_open(); }

    bool readSignature() {
        std::array<unsigned char, 8> bytes{};
        return read(bytes.data(), bytes.size()) && bytes == kSignature;
    }

    // The next chunk's length and type; false at the end of the file or a damaged length.
    bool next(Chunk& chunk) {
        unsigned char header[8];
        if (!read(header, sizeof header))
            return false;
        chunk.length = bigEndian(header);
        chunk.type.assign(reinterpret_cast<const char*>(header + 4), 4);
        chunk.data.clear();
        return chunk.length <= kMaxChunkLength;
    }

    // Reads the chunk's data and checks its CRC.
    bool readData(Chunk& chunk) {
        chunk.data.resize(chunk.length);
        unsigned char crc[4];
        if (!read(reinterpret_cast<unsigned char*>(chunk.data.data()), chunk.length) ||
            !read(crc, sizeof crc))
            return false;
        uLong sum = crc32(0, reinterpret_cast<const Bytef*>(chunk.type.data()), 4);
        sum = crc32(sum, reinterpret_cast<const Bytef*>(chunk.data.data()),
                    static_cast<uInt>(chunk.data.size()));
        return sum == bigEndian(crc);
    }

    bool skipData(const Chunk& chunk) {
        in_.seekg(static_cast<std::streamoff>(chunk.length) + 4, std::ios::cur);
        return static_cast<bool>(in_);
    }

private:
    bool read(unsigned char* out, std::size_t size) {
        in_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(size));
        return static_cast<std::size_t>(in_.gcount()) == size;
    }

    std::ifstream in_;
};

// zlib data of a zTXt chunk, inflated to at most kMaxTextBytes.
std::optional<std::string> inflateText(std::string_view compressed) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    std::string text;
    std::array<char, 16384> block{};
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(block.data());
        stream.avail_out = static_cast<uInt>(block.size());
        status = inflate(&stream, Z_NO_FLUSH);
        text.append(block.data(), block.size() - stream.avail_out);
        if (text.size() > kMaxTextBytes || (status == Z_BUF_ERROR && stream.avail_in == 0))
            status = Z_DATA_ERROR;
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return std::nullopt;
    return text;
}

// A tEXt or zTXt chunk as keyword and text.
std::optional<PngText> textOf(const Chunk& chunk) {
    const std::size_t end = chunk.data.find('\0');
    if (end == std::string::npos || end == 0 || end > 79)
        return std::nullopt;
    PngText text{chunk.data.substr(0, end), {}};
    std::string_view rest = std::string_view(chunk.data).substr(end + 1);
    if (chunk.type == "tEXt") {
        text.text = rest;
        return text;
    }
    if (rest.empty() || rest.front() != 0) // compression method 0 is the only one
        return std::nullopt;
    auto inflated = inflateText(rest.substr(1));
    if (!inflated)
        return std::nullopt;
    text.text = std::move(*inflated);
    return text;
}

bool readHeader(const Chunk& chunk, PngOutline& outline, std::string& problem) {
    if (chunk.data.size() != 13) {
        problem = "its header is damaged";
        return false;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(chunk.data.data());
    const std::uint32_t width = bigEndian(bytes), height = bigEndian(bytes + 4);
    const int depth = bytes[8], colourType = bytes[9], interlace = bytes[12];
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) {
        problem = "its size is not one of ours (1 to " + std::to_string(kMaxImageSide) +
                  " pixels a side)";
        return false;
    }
    if (depth != 8 || (colourType != kColourTypeRgb && colourType != kColourTypePalette) ||
        interlace != 0) {
        problem = "it is not an image as vortimax-cli writes them (8-bit colour or palette, "
                  "not interlaced)";
        return false;
    }
    outline.width = static_cast<int>(width);
    outline.height = static_cast<int>(height);
    if (colourType == kColourTypePalette)
        outline.palette.assign(1, 0); // marks a palette image until PLTE arrives
    return true;
}

bool readPalette(const Chunk& chunk, PngOutline& outline, std::string& problem) {
    if (chunk.data.empty() || chunk.data.size() % 3 != 0 || chunk.data.size() > 768) {
        problem = "its palette is damaged";
        return false;
    }
    outline.palette.assign(chunk.data.begin(), chunk.data.end());
    outline.palette.resize(768, 0); // entries the file lacks are black
    return true;
}

bool isWanted(const Chunk& chunk) {
    return chunk.type == "IHDR" || chunk.type == "PLTE" || chunk.type == "tEXt" ||
           chunk.type == "zTXt";
}

bool isRegularFile(const std::filesystem::path& path) {
    struct stat facts {};
    return ::stat(path.c_str(), &facts) == 0 && S_ISREG(facts.st_mode);
}

bool walk(ChunkWalker& walker, PngOutline& outline, std::string& problem) {
    Chunk chunk;
    bool header = false;
    while (walker.next(chunk)) {
        if (chunk.type == "IEND") {
            if (!header)
                problem = "it has no header";
            return header;
        }
        if (!isWanted(chunk)) {
            if (!walker.skipData(chunk))
                break;
            continue;
        }
        const bool text = chunk.type == "tEXt" || chunk.type == "zTXt";
        if ((text && (chunk.length > kMaxTextBytes ||
                      outline.texts.size() >= static_cast<std::size_t>(kMaxTexts))) ||
            (!text && chunk.length > 768) || !walker.readData(chunk)) {
            problem = "its " + chunk.type + " chunk is damaged";
            return false;
        }
        if (chunk.type == "IHDR") {
            if (header) {
                problem = "it has two headers";
                return false;
            }
            if (!readHeader(chunk, outline, problem))
                return false;
            header = true;
        } else if (!header) {
            problem = "it does not start with its header";
            return false;
        } else if (chunk.type == "PLTE") {
            if (!readPalette(chunk, outline, problem))
                return false;
        } else if (auto found = textOf(chunk)) {
            outline.texts.push_back(std::move(*found));
        }
    }
    problem = "it ends before its last chunk";
    return false;
}

} // namespace

const std::string* PngOutline::text(std::string_view key) const {
    for (const PngText& entry : texts)
        if (entry.key == key)
            return &entry.text;
    return nullptr;
}

std::optional<PngOutline> readPngOutline(const std::filesystem::path& path, std::string& problem) {
    problem.clear();
    if (!isRegularFile(path)) {
        problem = "it is not a regular file";
        return std::nullopt;
    }
    ChunkWalker walker(path);
    if (!walker.opened()) {
        problem = "it cannot be opened";
        return std::nullopt;
    }
    if (!walker.readSignature()) {
        problem = "it is not a PNG image";
        return std::nullopt;
    }
    PngOutline outline;
    if (!walk(walker, outline, problem))
        return std::nullopt;
    if (outline.palette.size() == 1) {
        problem = "its palette is missing";
        return std::nullopt;
    }
    return outline;
}

// ---------------------------------------------------------------------------------------

struct PngRowReader::LibraryState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::size_t rowBytes = 0;
};

namespace {

void silentWarning(png_structp, png_const_charp) {}
[[noreturn]] void silentError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

// No object with a destructor lives in the functions that call setjmp.
bool readInfo(png_structp png, png_infop info, std::FILE* file) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_set_chunk_malloc_max(png, kMaxTextBytes);
    png_read_info(png, info);
    return true;
}

bool readOneRow(png_structp png, std::uint8_t* out) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_row(png, out, nullptr);
    return true;
}

} // namespace

PngRowReader::~PngRowReader() {
    close();
}

void PngRowReader::close() {
    if (png_ != nullptr) {
        png_destroy_read_struct(&png_->png, &png_->info, nullptr);
        delete png_;
        png_ = nullptr;
    }
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

bool PngRowReader::open(const std::filesystem::path& path, const PngOutline& outline,
                        std::string& problem) {
    close();
    file_ = isRegularFile(path) ? std::fopen(path.c_str(), "rb") : nullptr;
    if (file_ == nullptr) {
        problem = "it cannot be opened";
        return false;
    }
    png_ = new LibraryState;
    png_->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, silentError, silentWarning);
    png_->info = png_->png ? png_create_info_struct(png_->png) : nullptr;
    if (png_->info == nullptr || !readInfo(png_->png, png_->info, file_)) {
        problem = "its header cannot be read";
        close();
        return false;
    }
    const bool palette = png_get_color_type(png_->png, png_->info) == PNG_COLOR_TYPE_PALETTE;
    const auto width = static_cast<int>(png_get_image_width(png_->png, png_->info));
    const auto height = static_cast<int>(png_get_image_height(png_->png, png_->info));
    png_->rowBytes = png_get_rowbytes(png_->png, png_->info);
    const std::size_t expected = static_cast<std::size_t>(width) * (palette ? 1 : 3);
    if (width != outline.width || height != outline.height || palette != !outline.palette.empty() ||
        png_->rowBytes != expected) {
        problem = "it changed while it was read";
        close();
        return false;
    }
    return true;
}

bool PngRowReader::readRow(std::uint8_t* out) {
    return png_ != nullptr && readOneRow(png_->png, out);
}

} // namespace vortimax
