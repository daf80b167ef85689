#include "imagefile/png_writer.h"

#include "base/file_replacement.h"

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <png.h>
#include <string>
#include <vector>
#include <zlib.h>

namespace vortimax {
namespace {

// Where the rows of the chosen image are and how their pixels are laid out.
struct RowSource {
    const std::uint8_t* data = nullptr;
    std::size_t stride = 0; // bytes per buffer row
    int bytesPerPixel = 1;  // 1: palette indices, 3: colour triples
    bool blueFirst = false; // the 2D true-colour buffer holds blue, green, red
};

RowSource rowSourceOf(const PngWriteSource& source) {
    const ImageBuffers& b = source.buffers;
    if (source.use3D)
        return {b.image3D.data(), static_cast<std::size_t>(b.rowLength) * 3, 3, false};
    const int bpp = b.bytesPerPixel == 1 ? 1 : 3;
    return {b.pixels.data(), static_cast<std::size_t>(b.rowLength) * b.bytesPerPixel, bpp,
            bpp == 3};
}

bool sourceIsComplete(const PngWriteSource& source, const RowSource& rows) {
    const ImageBuffers& b = source.buffers;
    if (b.width <= 0 || b.height <= 0 || b.rowLength < b.width || b.bytesPerPixel < 1)
        return false;
    const std::size_t size = source.use3D ? b.image3D.size() : b.pixels.size();
    return size >= rows.stride * static_cast<std::size_t>(b.height);
}

// The PNG row `pngRow` (0 = top) in the byte order the file wants.
void fillRow(const RowSource& rows, int width, int height, int pngRow, std::uint8_t* out) {
    const std::uint8_t* in =
        rows.data + static_cast<std::size_t>(height - 1 - pngRow) * rows.stride;
    const std::size_t bytes = static_cast<std::size_t>(width) * rows.bytesPerPixel;
    if (!rows.blueFirst) {
        std::copy(in, in + bytes, out);
        return;
    }
    for (std::size_t i = 0; i < bytes; i += 3) {
        out[i] = in[i + 2];
        out[i + 1] = in[i + 1];
        out[i + 2] = in[i];
    }
}

std::vector<png_color> pngPalette(const ColourTable& colours) {
    std::vector<png_color> palette(colours.entries.size());
    for (std::size_t i = 0; i < palette.size(); ++i)
        palette[i] = {colours.entries[i].red, colours.entries[i].green, colours.entries[i].blue};
    return palette;
}

// Everything the libpng part needs; no object with a destructor lives in the function
// that calls setjmp, so a libpng error may jump back safely.
struct WriteJob {
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_infop endInfo = nullptr;
    int width = 0;
    int height = 0;
    const std::function<bool(int, std::uint8_t*)>* fillRow = nullptr;
    std::uint8_t* rowBuffer = nullptr;
    png_color* palette = nullptr; // null: true colour
    png_text* texts = nullptr;
    int textCount = 0;
    const std::atomic<bool>* abort = nullptr;
    const std::function<void(double)>* progress = nullptr;
};

void silentWarning(png_structp, png_const_charp) {}
// Errors are reported through the result code, not printed.
[[noreturn]] void silentError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

// libpng hands every byte of the file to this function. A failed write ends the image
// through the error handler; the file keeps the reason.
void writeToFile(png_structp png, png_bytep data, std::size_t length) {
    auto* file = static_cast<FileReplacement*>(png_get_io_ptr(png));
    if (!file->write({reinterpret_cast<const char*>(data), length}))
        png_error(png, "write failed");
}

// The file is finished by FileReplacement::commit.
void flushNothing(png_structp) {}

// Fractal images are mostly runs of one colour and smooth gradients. The Sub filter
// turns gradients into runs, and run-length matching finds them at a fraction of the
// cost of zlib's full match search: a 1024 x 768 image is written three to four times
// faster than with the adaptive filters and the default strategy, for a file a few
// percent larger.
void setCompression(png_structp png) {
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_compression_strategy(png, Z_RLE);
}

PngWriteResult encode(WriteJob& job, FileReplacement& file) {
    if (setjmp(png_jmpbuf(job.png)))
        return PngWriteResult::WriteError;
    png_set_write_fn(job.png, &file, writeToFile, flushNothing);
    const int colourType = job.palette ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB;
    png_set_IHDR(job.png, job.info, static_cast<png_uint_32>(job.width),
                 static_cast<png_uint_32>(job.height), 8, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (job.palette)
        png_set_PLTE(job.png, job.info, job.palette, 256);
    setCompression(job.png);
    png_write_info(job.png, job.info);
    for (int row = 0; row < job.height; ++row) {
        if (!(*job.fillRow)(row, job.rowBuffer))
            png_error(job.png, "row not available");
        png_write_row(job.png, job.rowBuffer);
        if (job.abort && job.abort->load())
            return PngWriteResult::Aborted;
        if (*job.progress)
            (*job.progress)(static_cast<double>(row + 1) / job.height);
    }
    png_set_text(job.png, job.endInfo, job.texts, job.textCount);
    png_write_end(job.png, job.endInfo);
    return PngWriteResult::Written;
}

PngWriteResult writeImage(WriteJob& job, FileReplacement& file) {
    PngWriteResult result = PngWriteResult::StructsFailed;
    job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, silentError, silentWarning);
    if (job.png) {
        job.info = png_create_info_struct(job.png);
        job.endInfo = png_create_info_struct(job.png);
        if (job.info && job.endInfo)
            result = encode(job, file);
        // The end-info struct goes first: freeing it needs the write struct.
        png_destroy_info_struct(job.png, &job.endInfo);
        png_destroy_write_struct(&job.png, &job.info);
    }
    if (result == PngWriteResult::Written && !file.commit())
        result = PngWriteResult::WriteError;
    return result;
}

// The texts as libpng's compressed text entries; they point into `texts`.
std::vector<png_text> pngTexts(std::vector<PngText>& texts) {
    std::vector<png_text> chunks(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        chunks[i].compression = PNG_TEXT_COMPRESSION_zTXt;
        chunks[i].key = texts[i].key.data();
        chunks[i].text = texts[i].text.data();
        chunks[i].text_length = texts[i].text.size();
    }
    return chunks;
}

PngWriteResult writeRows(int width, int height, png_color* palette, std::vector<PngText> texts,
                         const std::function<bool(int, std::uint8_t*)>& fillRow,
                         const std::filesystem::path& path, const std::atomic<bool>* abort,
                         const std::function<void(double)>& progress, std::error_code* error) {
    std::vector<std::uint8_t> rowBuffer(static_cast<std::size_t>(width) * 3);
    std::vector<png_text> chunks = pngTexts(texts);
    WriteJob job;
    job.width = width;
    job.height = height;
    job.fillRow = &fillRow;
    job.rowBuffer = rowBuffer.data();
    job.palette = palette;
    job.texts = chunks.data();
    job.textCount = static_cast<int>(chunks.size());
    job.abort = abort;
    job.progress = &progress;

    FileReplacement file(path);
    const PngWriteResult result = file.isOpen() ? writeImage(job, file) : PngWriteResult::NotOpened;
    if (error != nullptr)
        *error = file.error();
    return result;
}

} // namespace

PngWriteResult writeFractalPng(const PngWriteSource& source, std::string_view parameterText,
                               const std::filesystem::path& path, const std::atomic<bool>* abort,
                               const std::function<void(double)>& progress, std::error_code* error,
                               std::span<const PngText> extraTexts) {
    const RowSource rows = rowSourceOf(source);
    if (!sourceIsComplete(source, rows))
        return PngWriteResult::WriteError;
    std::vector<png_color> palette = pngPalette(source.colours);
    std::vector<PngText> texts{{std::string(kParameterTextKey), std::string(parameterText)}};
    texts.insert(texts.end(), extraTexts.begin(), extraTexts.end());
    const int width = source.buffers.width;
    const int height = source.buffers.height;
    const std::function<bool(int, std::uint8_t*)> fill = [&](int row, std::uint8_t* out) {
        fillRow(rows, width, height, row, out);
        return true;
    };
    return writeRows(width, height, rows.bytesPerPixel == 1 ? palette.data() : nullptr,
                     std::move(texts), fill, path, abort, progress, error);
}

PngWriteResult writePngRows(const PngRowImage& image, const std::filesystem::path& path,
                            const std::function<void(double)>& progress, std::error_code* error) {
    if (image.width <= 0 || image.height <= 0 || !image.fillRow ||
        (!image.palette.empty() && image.palette.size() != 256 * 3))
        return PngWriteResult::WriteError;
    std::vector<png_color> palette(image.palette.size() / 3);
    for (std::size_t i = 0; i < palette.size(); ++i)
        palette[i] = {image.palette[3 * i], image.palette[3 * i + 1], image.palette[3 * i + 2]};
    return writeRows(image.width, image.height, palette.empty() ? nullptr : palette.data(),
                     image.texts, image.fillRow, path, nullptr, progress, error);
}

} // namespace vortimax
