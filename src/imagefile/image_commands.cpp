#include "imagefile/image_commands.h"

#include "base/library_file.h"
#include "base/text_io.h"
#include "imagefile/entry_text_shape.h"
#include "imagefile/png_writer.h"
#include "model/fractal_view.h"
#include "model/type_registry.h"
#include "model/workspace.h"
#include "palette/map_file.h"
#include "palette/palette_list.h"
#include "parfile/entry_parser.h"
#include "parfile/entry_writer.h"
#include "parfile/save_commands.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace vortimax {
namespace {

using namespace image_texts;

const std::vector<std::string> kPngFilters{"*.png"};
constexpr std::string_view kLoadedImagesFolder = "Unnamed";
// Room the window frame and the desktop need around an image shown without scroll bars.
constexpr int kFrameWidth = 40;
constexpr int kFrameHeight = 50;

// Save failures by result code; %s is the file name.
constexpr std::array<std::string_view, 4> kSaveErrors{
    "",
    "Unable to save animation frame.\nCould not open file for writing\nFilename: %s",
    "Unable to save animation frame.\nCould not write data to file.\nPerhaps not enough bytes "
    "free on disk?",
    "Unable to save animation frame.\nUnknown error while creating PNG data structures.\n"
    "Perhaps too few memory. Please close other applications and try again...",
};

// Load failures by result code (4, out of memory, uses the program's general text).
constexpr std::array<std::string_view, 4> kLoadErrors{
    "",
    "Unable to open file\nFilename: %s",
    "Unable to load image.\nCould not read data from file.",
    "Unable to load image data.\nUnknown error while creating PNG data structures.\n"
    "Perhaps too few memory. Please close other applications and try again...",
};
constexpr std::string_view kRefusedImageText = "Unable to load image %s:\n";
constexpr std::string_view kBadSignatureText =
    "The file %s is not a valid PNG file.\nPNG signature not correct...";

std::string withFileName(std::string_view text, const std::filesystem::path& path) {
    std::string result(text);
    const auto at = result.find("%s");
    if (at != std::string::npos)
        result.replace(at, 2, path.string());
    return result;
}

void showError(Frontend& frontend, std::string_view caption, std::string_view text) {
    frontend.messageBox(caption, text, MessageButtons::Ok, MessageIcon::Error);
}

// 1: 3D image, 0: 2D image, nothing: cancelled.
std::optional<bool> choose3D(const FractalRecord& record, const ImageBuffers& buffers,
                             Frontend& frontend) {
    if (!buffers.has3D() || record.dims == 0)
        return false;
    const auto answer = frontend.messageBox(kSavingImageCaption, kAsk3DText,
                                            MessageButtons::YesNoCancel, MessageIcon::Question);
    if (answer == MessageAnswer::Cancel)
        return std::nullopt;
    return answer == MessageAnswer::Yes;
}

// "NAME.png" with the characters that would leave the directory replaced.
std::string proposedFileName(std::string_view name) {
    std::string file(name.empty() ? "Unnamed" : name);
    std::replace_if(
        file.begin(), file.end(), [](char c) { return c == '/' || c == '\0'; }, '_');
    return file + ".png";
}

void reportSave(Frontend& frontend, PngWriteResult result, const std::filesystem::path& path) {
    if (result == PngWriteResult::Aborted) {
        frontend.messageBox(kAbortingCaption, kSaveAbortedText, MessageButtons::Ok,
                            MessageIcon::Information);
        return;
    }
    const auto code = static_cast<std::size_t>(result);
    if (code > 0 && code < kSaveErrors.size())
        showError(frontend, kSaveErrorCaption, withFileName(kSaveErrors[code], path));
}

enum class SignatureCheck { Valid, NotOpened, NotAFile, Wrong };

SignatureCheck checkSignature(const std::filesystem::path& path) {
    // Opening a pipe would wait for a writer: only regular files are looked at.
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!error && status.type() != std::filesystem::file_type::regular)
        return SignatureCheck::NotAFile;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return SignatureCheck::NotOpened;
    char bytes[8] = {};
    const std::size_t read = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);
    return hasPngSignature(std::string_view(bytes, read)) ? SignatureCheck::Valid
                                                          : SignatureCheck::Wrong;
}

void reportLoad(Frontend& frontend, PngLoadResult result, const std::filesystem::path& path,
                const PngFileFacts& facts = {}) {
    if (result == PngLoadResult::Aborted) {
        frontend.messageBox(kAbortingCaption, kLoadAbortedText, MessageButtons::Ok,
                            MessageIcon::Information);
        return;
    }
    if (result == PngLoadResult::OutOfMemory) {
        showError(frontend, kLoadErrorCaption, kNotEnoughMemoryText);
        return;
    }
    const auto code = static_cast<std::size_t>(result);
    if (code > 0 && code < kLoadErrors.size())
        showError(frontend, kLoadErrorCaption, withFileName(kLoadErrors[code], path));
    else if (code >= kLoadErrors.size())
        showError(frontend, kLoadErrorCaption,
                  withFileName(kRefusedImageText, path) + pngLoadProblem(result, facts) + '.');
}

Folder& loadedImagesFolder(LoadImageContext& context) {
    for (Folder& folder : context.workspace.folders().all())
        if (!folder.isAnimation() && folder.name() == kLoadedImagesFolder)
            return folder;
    return context.workspace.createFolder(context.folderDirectory, kLoadedImagesFolder,
                                          FolderKind::Project);
}

// The record the first "Parameter" text that is an entry and parses describes, or
// nothing. Text of another shape describes no fractal, however leniently its words read.
std::unique_ptr<FractalRecord> parsedRecord(const DecodedPng& image, PaletteList& palettes,
                                            const std::function<void(std::string_view)>& messages,
                                            const RecordCreationContext& creation,
                                            int screenDepth) {
    EntryParseOptions options;
    options.screenDepth = screenDepth;
    for (const std::string& text : image.parameterTexts) {
        if (!isSingleEntryText(text))
            continue;
        auto candidate = createRecord(kTypeMandel, 0, creation);
        if (parseEntryText(*candidate, text, palettes, messages, options))
            return candidate;
    }
    return nullptr;
}

// The image's name, size and palette.
void adoptImage(FractalRecord& record, const DecodedPng& image, std::string_view name,
                PaletteList& palettes) {
    record.name = std::string(name);
    record.pendingEntry.reset();
    record.width = image.width;
    record.height = image.height;
    if (!image.palette)
        return;
    auto palette = std::make_unique<Palette>(*image.palette);
    palette->setName(name);
    Palette& inserted = palettes.insertUnique(std::move(palette));
    record.palName = inserted.name();
    record.palOffset = 0.0;
}

// What showing the loaded picture decides, whatever the parameters say.
void keepImageFields(FractalRecord& record, const DecodedPng& image,
                     const LoadImageContext& context) {
    record.displayDepth = 24;
    record.trueColourOn8Bit = trueColourOn8Bit(24, context.creation.screenDepth);
    record.staticImage = 1;
    const bool fits = image.width < context.screenWidth - kFrameWidth &&
                      image.height < context.screenHeight - kFrameHeight;
    record.scrollbar = fits ? 0 : 1;
}

} // namespace

std::string parameterEntryForImage(const FractalRecord& record,
                                   const std::filesystem::path& directory,
                                   const PaletteList* palettes) {
    const std::filesystem::path scratch = directory / kSaveScratchFileName;
    std::string text;
    const bool read = writeParameterEntry(record, std::nullopt, scratch, false, palettes) &&
                      readLibraryFile(scratch, text) == LibraryReadStatus::Read;
    std::error_code ignored;
    std::filesystem::remove(scratch, ignored);
    // Without a writable parameter directory the same text is made in memory.
    return read ? text : withCrLf(parameterEntryText(record, std::nullopt, palettes));
}

ImageCommandResult saveImage(const FractalRecord& record, const ImageBuffers& buffers,
                             const ColourTable& colours, Frontend& frontend,
                             const std::filesystem::path& parameterDirectory,
                             std::filesystem::path& imageDirectory, const PaletteList* palettes) {
    const auto use3D = choose3D(record, buffers, frontend);
    if (!use3D)
        return ImageCommandResult::Cancelled;
    const auto path = frontend.requestSaveFile(
        kSaveRequesterTitle, imageDirectory / proposedFileName(record.name), kPngFilters);
    if (!path)
        return ImageCommandResult::Cancelled;
    imageDirectory = path->parent_path();
    const std::string entry = parameterEntryForImage(record, parameterDirectory, palettes);
    std::atomic<bool> abort{false};
    PngWriteResult result = PngWriteResult::WriteError;
    frontend.runWithProgress(kSaveProgressTitle, abort, [&](Progress& progress) {
        result = writeFractalPng({buffers, colours, *use3D}, entry, *path, &abort,
                                 [&](double f) { progress.setFraction(f); });
    });
    reportSave(frontend, result, *path);
    return result == PngWriteResult::Written ? ImageCommandResult::Done
                                             : ImageCommandResult::Failed;
}

std::optional<LoadedImage> loadImage(std::optional<std::filesystem::path> path,
                                     LoadImageContext& context) {
    if (!path)
        path = context.frontend.requestOpenFile(kLoadRequesterTitle, context.imageDirectory,
                                                kPngFilters);
    if (!path)
        return std::nullopt;
    context.imageDirectory = path->parent_path();
    const SignatureCheck signature = checkSignature(*path);
    if (signature != SignatureCheck::Valid) {
        if (signature == SignatureCheck::Wrong)
            showError(context.frontend, kLoadErrorCaption, withFileName(kBadSignatureText, *path));
        else
            reportLoad(context.frontend,
                       signature == SignatureCheck::NotAFile ? PngLoadResult::NotAFile
                                                             : PngLoadResult::NotOpened,
                       *path);
        return std::nullopt;
    }
    LoadedImage loaded;
    loaded.path = *path;
    std::atomic<bool> abort{false};
    PngLoadResult result = PngLoadResult::ReadError;
    PngFileFacts facts;
    context.frontend.runWithProgress(kLoadProgressTitle, abort, [&](Progress& progress) {
        result = loadPng(
            *path, loaded.image, &abort, [&](double f) { progress.setFraction(f); }, &facts);
    });
    if (result != PngLoadResult::Loaded) {
        reportLoad(context.frontend, result, *path, facts);
        return std::nullopt;
    }
    auto sink = [&](std::string_view line) { context.frontend.addMessage(line); };
    auto record = fractalFromImage(loaded.image, path->filename().string(), context.palettes, sink,
                                   context.creation, context.creation.screenDepth);
    if (!record) {
        // A picture of another program: shown as it is, with default parameters.
        record = createRecord(kTypeMandel, 0, context.creation);
        adoptImage(*record, loaded.image,
                   normaliseFileName(path->filename().string(), kMaxNameLength), context.palettes);
    }
    keepImageFields(*record, loaded.image, context);
    Folder& folder = loadedImagesFolder(context);
    loaded.record = &context.workspace.addFractal(folder, std::move(record), true);
    return loaded;
}

std::unique_ptr<FractalRecord>
fractalFromImage(const DecodedPng& image, std::string_view fileName, PaletteList& palettes,
                 const std::function<void(std::string_view)>& messages,
                 const RecordCreationContext& creation, int screenDepth) {
    const std::string name = normaliseFileName(fileName, kMaxNameLength);
    auto record = parsedRecord(image, palettes, messages, creation, screenDepth);
    if (!record)
        return nullptr;
    adoptImage(*record, image, name, palettes);
    return record;
}

bool copyIntoBuffers(const DecodedPng& image, ImageBuffers& buffers) {
    const auto stride = static_cast<std::size_t>(image.width) * 3;
    if (buffers.width != image.width || buffers.height != image.height ||
        buffers.bytesPerPixel != 3 || image.bgrRows.size() < stride * image.height ||
        buffers.pixels.size() < static_cast<std::size_t>(buffers.rowLength) * 3 *
                                    static_cast<std::size_t>(buffers.height))
        return false;
    for (int y = 0; y < image.height; ++y)
        std::memcpy(buffers.pixelRow(y), image.bgrRows.data() + y * stride, stride);
    return true;
}

} // namespace vortimax
