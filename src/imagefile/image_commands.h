#pragma once

#include "base/frontend.h"
#include "imagefile/png_loader.h"
#include "model/colour_table.h"
#include "model/fractal_record.h"
#include "model/image_buffers.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace vortimax {

class PaletteList;
class Workspace;

enum class ImageCommandResult { Done, Cancelled, Failed };

// Texts the image commands show.
namespace image_texts {
constexpr std::string_view kSavingImageCaption = "Saving image";
constexpr std::string_view kAsk3DText =
    "3D image available.\nDo you want to save the 3D image of the fractal?\nChoose:\n"
    " - 'Yes' to save the 3D image\n - 'No' to save the 2D image\n - Cancel to abort...";
constexpr std::string_view kSaveProgressTitle = "Saving fractal image";
constexpr std::string_view kLoadProgressTitle = "Loading PNG image";
constexpr std::string_view kAbortingCaption = "Aborting";
constexpr std::string_view kSaveAbortedText = "Save was aborted...";
constexpr std::string_view kLoadAbortedText = "Load was aborted...";
constexpr std::string_view kSaveErrorCaption = "Animation system";
constexpr std::string_view kLoadErrorCaption = "Dialog Subsystem";
constexpr std::string_view kSaveRequesterTitle = "Save image";
constexpr std::string_view kLoadRequesterTitle = "Load image";
} // namespace image_texts

// Save image: asks 2D or 3D when the fractal is in 3D mode and has a 3D image, asks for
// the file (proposing "NAME.png" in `imageDirectory`, which then remembers the directory
// chosen), produces the parameter entry through the scratch file in
// `parameterDirectory`, and writes the PNG under a progress window. Failures and an
// abort are reported; neither leaves a file behind.
ImageCommandResult saveImage(const FractalRecord& record, const ImageBuffers& buffers,
                             const ColourTable& colours, Frontend& frontend,
                             const std::filesystem::path& parameterDirectory,
                             std::filesystem::path& imageDirectory,
                             const PaletteList* palettes = nullptr);

// The parameter entry as the parameter-file writer puts it into a file (CR LF line ends),
// read back from the scratch file in `directory`, which is deleted again.
std::string parameterEntryForImage(const FractalRecord& record,
                                   const std::filesystem::path& directory,
                                   const PaletteList* palettes = nullptr);

struct LoadImageContext {
    Workspace& workspace;
    PaletteList& palettes;
    Frontend& frontend;
    RecordCreationContext creation;
    int screenWidth = 1024;
    int screenHeight = 768;
    // Where the folder of loaded images is saved when it has to be created.
    std::filesystem::path folderDirectory;
    // Where the requester starts; remembers the directory chosen.
    std::filesystem::path imageDirectory;
};

// A loaded image: the new fractal (in the folder of loaded images, selected) and the
// pixels, which the caller copies into the fractal's view with copyIntoBuffers once it
// has opened it.
struct LoadedImage {
    FractalRecord* record = nullptr;
    std::filesystem::path path; // the file it came from
    DecodedPng image;
};

// Load image: with no path asks for one. Refuses a file without the PNG signature before
// anything is created. The fractal is named after the file, is a static 24-bit picture
// of the PNG's size, uses a new palette made from the PNG's palette (or the grey ramp of a
// grey image) and takes its type and parameters from a "Parameter" text that parses.
// Errors are reported and leave no fractal and no palette behind.
std::optional<LoadedImage> loadImage(std::optional<std::filesystem::path> path,
                                     LoadImageContext& context);

// The fractal an image describes, as render and load both take it: the first "Parameter"
// text that has the shape of one entry and parses (nothing when none does; the parser's
// messages go to `messages`),
// named after the file, at the image's size, and, when the image has a palette (or is
// grey), coloured with a new member of the palette list made from it and named after
// the file, unrotated, so that the saved display colours come back exactly.
std::unique_ptr<FractalRecord>
fractalFromImage(const DecodedPng& image, std::string_view fileName, PaletteList& palettes,
                 const std::function<void(std::string_view)>& messages,
                 const RecordCreationContext& creation = {}, int screenDepth = 24);

// Copies the decoded rows into a true-colour buffer of the same size; false (and nothing
// copied) when the buffer does not match.
bool copyIntoBuffers(const DecodedPng& image, ImageBuffers& buffers);

} // namespace vortimax
