#include "animation/png_frame_sink.h"

#include "animation/frame_names.h"
#include "base/frontend.h"
#include "imagefile/png_writer.h"

#include <atomic>

namespace vortimax {

std::string pngFrameFailureText(int resultCode, const std::filesystem::path& path) {
    switch (resultCode) {
    case 1:
        return "Unable to save animation frame.\nCould not open file for writing\nFilename: " +
               path.string() + "\nMost likely the filename is not valid (too long?).";
    case 2:
        return "Unable to save animation frame.\nCould not write data to file.\n"
               "Perhaps not enough bytes free on disk?";
    case 3:
        return "Unable to save animation frame.\nUnknown error while creating PNG data "
               "structures.\nPerhaps too few memory. Please close other applications and try "
               "again...";
    default:
        return {};
    }
}

PngFrameSink::PngFrameSink(std::filesystem::path directory, std::string name, Frontend& frontend)
    : directory_(std::move(directory)), name_(std::move(name)), frontend_(frontend) {}

bool PngFrameSink::open(const AnimData&) {
    return true;
}

FrameWriteResult PngFrameSink::write(const FrameImage& image, std::int64_t frame) {
    const std::filesystem::path path = pngFramePath(directory_, name_, frame);
    std::atomic<bool> abort{false};
    PngWriteResult result = PngWriteResult::Written;
    frontend_.runWithProgress(kSavingFrameTitle, abort, [&](Progress& progress) {
        result = writeFractalPng(PngWriteSource{image.buffers, image.colours, image.use3D},
                                 image.parameterText, path, &progress.abortFlag(),
                                 [&progress](double fraction) { progress.setFraction(fraction); });
    });
    if (result == PngWriteResult::Written)
        return FrameWriteResult::Written;
    const std::string text = pngFrameFailureText(static_cast<int>(result), path);
    if (!text.empty())
        frontend_.messageBox(kAnimationSystemCaption, text, MessageButtons::Ok, MessageIcon::Error);
    return FrameWriteResult::Skipped;
}

} // namespace vortimax
