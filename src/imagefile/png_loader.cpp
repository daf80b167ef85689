#include "imagefile/png_loader.h"

#include "model/image_buffers.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <new>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vortimax {
namespace {

constexpr std::size_t kSignatureBytes = 8;
// Largest chunk (a compressed text included, once inflated) the reader accepts.
constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;
constexpr png_uint_32 kMaxAncillaryChunks = 1000;
// Length, type and contents of the IHDR chunk that follows the signature.
constexpr std::size_t kHeaderChunkBytes = 4 + 4 + 13;
// Deflate turns no stream shorter than 1/1032 of its inflated size (a length-258 match
// costs at least two bits), so no file holds more image bytes than this many times its
// length.
constexpr std::uintmax_t kBestDeflateRatio = 1032;

// What the libpng part works on. Only plain pointers and numbers: no object with a
// destructor lives in a function that calls setjmp, so a libpng error may jump back.
struct ReadJob {
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_infop endInfo = nullptr;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int colourType = 0;
    int passes = 1;
    png_colorp plte = nullptr;
    int plteCount = 0;
    png_bytep* rowPointers = nullptr; // PNG row order (top first)
    png_textp texts = nullptr;
    int textCount = 0;
    const std::atomic<bool>* abort = nullptr;
    const std::function<void(double)>* progress = nullptr;
};

// libpng sizes some buffers from a chunk's declared length before it reads the chunk (a
// text chunk whose length had one bit flipped asked for 128 MiB). Nothing it needs comes
// near this: its row buffers hold one row of at most kMaxImageSide pixels, inflated texts
// stop at kMaxChunkBytes. A larger request fails, and libpng reports it as an error.
constexpr png_alloc_size_t kMaxLibraryAllocation = 2 * kMaxChunkBytes;

png_voidp boundedAllocate(png_structp, png_alloc_size_t size) {
    return size > kMaxLibraryAllocation ? nullptr : std::malloc(size);
}

void release(png_structp, png_voidp memory) {
    std::free(memory);
}

void silentWarning(png_structp, png_const_charp) {}
// Errors are reported through the result code, not printed.
[[noreturn]] void silentError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

// Reads the header and sets up the conversion to 8-bit blue, green, red.
bool readHeader(ReadJob& job, std::FILE* file) {
    if (setjmp(png_jmpbuf(job.png)))
        return false;
    png_init_io(job.png, file);
    png_set_sig_bytes(job.png, kSignatureBytes);
    png_set_user_limits(job.png, kMaxImageSide, kMaxImageSide);
    png_set_chunk_malloc_max(job.png, kMaxChunkBytes);
    png_set_chunk_cache_max(job.png, kMaxAncillaryChunks);
    png_read_info(job.png, job.info);
    job.width = png_get_image_width(job.png, job.info);
    job.height = png_get_image_height(job.png, job.info);
    job.colourType = png_get_color_type(job.png, job.info);
    if (job.colourType == PNG_COLOR_TYPE_PALETTE)
        png_get_PLTE(job.png, job.info, &job.plte, &job.plteCount);
    png_set_expand(job.png);
    png_set_strip_16(job.png);
    png_set_strip_alpha(job.png);
    png_set_gray_to_rgb(job.png);
    png_set_bgr(job.png);
    job.passes = png_set_interlace_handling(job.png);
    png_read_update_info(job.png, job.info);
    return png_get_rowbytes(job.png, job.info) == static_cast<png_size_t>(job.width) * 3;
}

enum class RowsOutcome { Read, Failed, Aborted };

RowsOutcome readRows(ReadJob& job) {
    if (setjmp(png_jmpbuf(job.png)))
        return RowsOutcome::Failed;
    const double total = static_cast<double>(job.passes) * job.height;
    for (int pass = 0; pass < job.passes; ++pass) {
        for (png_uint_32 y = 0; y < job.height; ++y) {
            png_read_row(job.png, job.rowPointers[y], nullptr);
            if (job.abort && job.abort->load())
                return RowsOutcome::Aborted;
            if (*job.progress)
                (*job.progress)((pass * static_cast<double>(job.height) + y + 1) / total);
        }
    }
    return RowsOutcome::Read;
}

bool readEnd(ReadJob& job) {
    if (setjmp(png_jmpbuf(job.png)))
        return false;
    png_read_end(job.png, job.endInfo);
    png_get_text(job.png, job.endInfo, &job.texts, &job.textCount);
    return true;
}

bool isParameterKey(const char* key) {
    static constexpr std::string_view wanted = "parameter";
    std::string_view k = key ? key : "";
    if (k.size() != wanted.size())
        return false;
    for (std::size_t i = 0; i < k.size(); ++i) {
        const char c = (k[i] >= 'A' && k[i] <= 'Z') ? static_cast<char>(k[i] + 32) : k[i];
        if (c != wanted[i])
            return false;
    }
    return true;
}

std::vector<std::string> parameterTexts(const ReadJob& job) {
    std::vector<std::string> texts;
    for (int i = 0; i < job.textCount; ++i) {
        const png_text& t = job.texts[i];
        if (!isParameterKey(t.key) || !t.text)
            continue;
        const bool itxt = t.compression == PNG_ITXT_COMPRESSION_NONE ||
                          t.compression == PNG_ITXT_COMPRESSION_zTXt;
        texts.emplace_back(t.text, itxt ? t.itxt_length : t.text_length);
    }
    return texts;
}

std::optional<RgbTriples> paletteOf(const ReadJob& job) {
    RgbTriples colours{};
    if (job.colourType == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i < job.plteCount && i < static_cast<int>(kPaletteEntries); ++i)
            colours[i] = {job.plte[i].red, job.plte[i].green, job.plte[i].blue};
        return colours;
    }
    if ((job.colourType & PNG_COLOR_MASK_COLOR) == 0) {
        for (std::size_t i = 0; i < kPaletteEntries; ++i) {
            const auto grey = static_cast<std::uint8_t>(i);
            colours[i] = {grey, grey, grey};
        }
        return colours;
    }
    return std::nullopt;
}

// Decodes with the structures created; fills `image` only when everything was read.
PngLoadResult decode(ReadJob& job, std::FILE* file, DecodedPng& image) {
    if (!readHeader(job, file))
        return PngLoadResult::ReadError;
    DecodedPng decoded;
    std::vector<png_bytep> rowPointers;
    try {
        const std::size_t stride = static_cast<std::size_t>(job.width) * 3;
        decoded.bgrRows.resize(stride * job.height);
        rowPointers.resize(job.height);
        for (png_uint_32 y = 0; y < job.height; ++y)
            rowPointers[y] = decoded.bgrRows.data() + (job.height - 1 - y) * stride;
    } catch (const std::bad_alloc&) {
        return PngLoadResult::OutOfMemory;
    }
    job.rowPointers = rowPointers.data();
    const RowsOutcome rows = readRows(job);
    if (rows != RowsOutcome::Read)
        return rows == RowsOutcome::Aborted ? PngLoadResult::Aborted : PngLoadResult::ReadError;
    if (!readEnd(job))
        return PngLoadResult::ReadError;
    decoded.width = static_cast<int>(job.width);
    decoded.height = static_cast<int>(job.height);
    decoded.palette = paletteOf(job);
    decoded.parameterTexts = parameterTexts(job);
    image = std::move(decoded);
    return PngLoadResult::Loaded;
}

std::uint32_t bigEndian32(const png_byte* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | bytes[3];
}

int channelsOf(int colourType) {
    switch (colourType) {
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 1; // grey, palette, or a type libpng refuses later
    }
}

// Reads the declared size from the IHDR chunk and decides whether the file may be
// decoded at all, before libpng allocates anything for that size. Leaves the file
// positioned just after the signature.
PngLoadResult checkDeclaredSize(std::FILE* file, PngFileFacts& facts) {
    png_byte header[kHeaderChunkBytes] = {};
    if (std::fread(header, 1, kHeaderChunkBytes, file) != kHeaderChunkBytes ||
        bigEndian32(header) != 13 ||
        std::string_view(reinterpret_cast<const char*>(header + 4), 4) != "IHDR")
        return PngLoadResult::ReadError;
    facts.declaredWidth = bigEndian32(header + 8);
    facts.declaredHeight = bigEndian32(header + 12);
    if (facts.declaredWidth > static_cast<std::uint32_t>(kMaxImageSide) ||
        facts.declaredHeight > static_cast<std::uint32_t>(kMaxImageSide))
        return PngLoadResult::TooLarge;
    const std::uint64_t bitsPerPixel = std::uint64_t{header[16]} * channelsOf(header[17]);
    const std::uint64_t leastImageBytes =
        std::uint64_t{facts.declaredWidth} * facts.declaredHeight * bitsPerPixel / 8;
    if (facts.fileBytes * kBestDeflateRatio < leastImageBytes)
        return PngLoadResult::TooShort;
    if (std::fseek(file, static_cast<long>(kSignatureBytes), SEEK_SET) != 0)
        return PngLoadResult::ReadError;
    return PngLoadResult::Loaded;
}

PngLoadResult decodeFile(std::FILE* file, DecodedPng& image, ReadJob& job, PngFileFacts& facts) {
    png_byte signature[kSignatureBytes] = {};
    if (std::fread(signature, 1, kSignatureBytes, file) != kSignatureBytes ||
        png_sig_cmp(signature, 0, kSignatureBytes) != 0)
        return PngLoadResult::ReadError;
    if (const PngLoadResult sized = checkDeclaredSize(file, facts); sized != PngLoadResult::Loaded)
        return sized;
    job.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, silentError, silentWarning,
                                       nullptr, boundedAllocate, release);
    if (!job.png)
        return PngLoadResult::StructsFailed;
    job.info = png_create_info_struct(job.png);
    job.endInfo = png_create_info_struct(job.png);
    PngLoadResult result = PngLoadResult::StructsFailed;
    if (job.info && job.endInfo)
        result = decode(job, file, image);
    png_destroy_read_struct(&job.png, &job.info, &job.endInfo);
    return result;
}

// Opens a regular file for reading without ever waiting: a pipe or device is refused
// before anything is read from it.
std::FILE* openRegularFile(const std::filesystem::path& path, PngLoadResult& refusal,
                           PngFileFacts& facts) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        refusal = PngLoadResult::NotOpened;
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        refusal = PngLoadResult::NotAFile;
        return nullptr;
    }
    facts.fileBytes = static_cast<std::uintmax_t>(info.st_size);
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        refusal = PngLoadResult::NotOpened;
    }
    return file;
}

} // namespace

bool hasPngSignature(std::string_view bytes) {
    return bytes.size() >= kSignatureBytes &&
           png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, kSignatureBytes) == 0;
}

PngLoadResult loadPng(const std::filesystem::path& path, DecodedPng& image,
                      const std::atomic<bool>* abort, const std::function<void(double)>& progress,
                      PngFileFacts* facts) {
    PngFileFacts learnt;
    PngLoadResult result = PngLoadResult::NotOpened;
    if (std::FILE* file = openRegularFile(path, result, learnt)) {
        ReadJob job;
        job.abort = abort;
        job.progress = &progress;
        result = decodeFile(file, image, job, learnt);
        std::fclose(file);
    }
    if (facts)
        *facts = learnt;
    return result;
}

std::string pngLoadProblem(PngLoadResult result, const PngFileFacts& facts) {
    const std::string declared =
        std::to_string(facts.declaredWidth) + " x " + std::to_string(facts.declaredHeight);
    switch (result) {
    case PngLoadResult::Loaded:
        return {};
    case PngLoadResult::NotOpened:
        return "the file cannot be opened";
    case PngLoadResult::NotAFile:
        return "it is not a regular file";
    case PngLoadResult::TooLarge:
        return "it declares " + declared + " pixels; images are at most " +
               std::to_string(kMaxImageSide) + " x " + std::to_string(kMaxImageSide);
    case PngLoadResult::TooShort:
        return "it declares " + declared + " pixels, more than its " +
               std::to_string(facts.fileBytes) + " bytes can hold";
    case PngLoadResult::StructsFailed:
    case PngLoadResult::OutOfMemory:
        return "there is not enough memory for its " + declared + " pixels";
    case PngLoadResult::Aborted:
        return "loading was stopped";
    case PngLoadResult::ReadError:
        break;
    }
    return "it is not a PNG image, or it is damaged or cut short";
}

} // namespace vortimax
