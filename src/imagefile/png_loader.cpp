#include "imagefile/png_loader.h"

#include "model/image_buffers.h"

#include <csetjmp>
#include <cstdio>
#include <new>
#include <png.h>

namespace vortimax {
namespace {

constexpr std::size_t kSignatureBytes = 8;
// Largest chunk (a compressed text included, once inflated) the reader accepts.
constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;
constexpr png_uint_32 kMaxAncillaryChunks = 1000;

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

PngLoadResult decodeFile(std::FILE* file, DecodedPng& image, ReadJob& job) {
    png_byte signature[kSignatureBytes] = {};
    if (std::fread(signature, 1, kSignatureBytes, file) != kSignatureBytes ||
        png_sig_cmp(signature, 0, kSignatureBytes) != 0)
        return PngLoadResult::ReadError;
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, silentError, silentWarning);
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

} // namespace

bool hasPngSignature(std::string_view bytes) {
    return bytes.size() >= kSignatureBytes &&
           png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, kSignatureBytes) == 0;
}

PngLoadResult loadPng(const std::filesystem::path& path, DecodedPng& image,
                      const std::atomic<bool>* abort, const std::function<void(double)>& progress) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return PngLoadResult::NotOpened;
    ReadJob job;
    job.abort = abort;
    job.progress = &progress;
    const PngLoadResult result = decodeFile(file, image, job);
    std::fclose(file);
    return result;
}

} // namespace vortimax
