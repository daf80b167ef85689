#include "animation/running_animation.h"

#include "animation/frame_names.h"
#include "animation/key_list.h"
#include "animation/palette_interpolation.h"
#include "animation/png_frame_sink.h"
#include "base/frontend.h"
#include "base/text_io.h"
#include "base/text_utils.h"
#include "model/calc_command.h"
#include "model/folder.h"
#include "model/fractal_view.h"
#include "model/view_environment.h"
#include "model/workspace.h"
#include "palette/palette_application.h"
#include "palette/palette_list.h"
#include "parfile/entry_writer.h"
#include "render/compound/compound_layers.h"

#include <algorithm>
#include <new>
#include <utility>

namespace vortimax {

namespace {

// The palette the frame fractal shows, rewritten for every frame.
constexpr std::string_view kFramePaletteName = "(running anim)";

std::vector<double> gapsOf(const std::vector<FractalRecord*>& keys) {
    std::vector<double> gaps;
    for (const FractalRecord* key : keys)
        gaps.push_back(key->numFrames);
    return gaps;
}

// Save mode 2 writes an MP4 video, any other but 0 an AVI.
std::string_view videoExtension(const AnimData& data) {
    return data.saveMode == 2 ? ".mp4" : ".avi";
}

// The name the output requester proposes: "<name>.avi" (".mp4") for a video unless the
// name already ends in that extension, the name itself for PNG files.
std::string proposedName(const AnimData& data) {
    if (data.saveMode == 0)
        return data.name;
    const std::string_view kExtension = videoExtension(data);
    const std::string_view name = data.name;
    if (name.size() >= kExtension.size() &&
        equalsIgnoreCase(name.substr(name.size() - kExtension.size()), kExtension))
        return data.name;
    return data.name + std::string(kExtension);
}

// The project folder the frame fractal lives in. The program's animation folder may carry
// the same name; the frame must never join a key list.
Folder& frameFolder(Workspace& workspace, const std::filesystem::path& directory) {
    for (Folder& folder : workspace.folders().all())
        if (!folder.isAnimation() && equalsIgnoreCase(folder.name(), kFrameFolderName))
            return folder;
    return workspace.createFolder(directory, kFrameFolderName, FolderKind::Project);
}

} // namespace

RunningAnimation::RunningAnimation(Workspace& workspace, PaletteList& palettes,
                                   ViewEnvironment& environment, Frontend& frontend,
                                   RecordCreationContext context)
    : workspace_(workspace), palettes_(palettes), environment_(environment), frontend_(frontend),
      context_(std::move(context)) {}

RunningAnimation::~RunningAnimation() {
    release();
}

bool RunningAnimation::owns(const FractalRecord& record) const {
    return running_ && frame_ == &record;
}

bool RunningAnimation::start(const Folder& animation, const AnimData& data) {
    const auto tell = [this](std::string_view text) {
        frontend_.messageBox(kStartingCaption, text, MessageButtons::Ok, MessageIcon::Warning);
        return false;
    };
    if (running_)
        return tell(kAlreadyRunningText);
    const std::vector<FractalRecord*> keys = animationKeys(animation);
    if (keys.size() < 2)
        return tell(kTooFewKeysText);
    const KeyTimeline timeline(gapsOf(keys));
    if (timeline.firstShortGap())
        return tell(kShortGapText);
    if (data.saveMode != 0 && !videoSinks_)
        return tell(kNoVideoText);
    data_ = data;
    data_.totalFrames = static_cast<std::int32_t>(timeline.totalFrames());
    const auto chosen = frontend_.requestSaveFile(
        "Animation output", data.outputDirectory / proposedName(data),
        data.saveMode == 0 ? std::vector<std::string>{"*.png"}
                           : std::vector<std::string>{"*" + std::string(videoExtension(data))});
    if (!chosen)
        return false;
    const OutputName output = splitOutputName(chosen->string());
    data_.name = fitAnimText(output.name, kAnimNameLength);
    data_.outputDirectory = output.directory;

    keys_.clear();
    try {
        for (const FractalRecord* key : keys)
            keys_.push_back(cloneRecord(*key, context_));
    } catch (const std::bad_alloc&) {
        release();
        return tell(kDuplicatingFailedText);
    }
    std::vector<const FractalRecord*> copied;
    for (const auto& key : keys_)
        copied.push_back(key.get());
    interpolator_ = std::make_unique<FrameInterpolator>(copied, data_);
    frameNumber_ = std::max<std::int64_t>(1, data_.startFrame);
    auto frame = interpolator_->createFrame(frameNumber_, kRunningFrameName, context_);
    if (!frame) {
        release();
        return tell(kFirstFrameFailedText);
    }
    if (!openOutput()) {
        release();
        return false;
    }
    if (!addLayerFrames(keys, *frame)) {
        release();
        return tell(kFirstFrameFailedText);
    }
    frame_ = &workspace_.addFractal(frameFolder(workspace_, data_.outputDirectory),
                                    std::move(frame), false);
    if (!layers_.empty())
        frame_->layers = resolvedLayers(*frame_);
    running_ = true;
    recalculateLayers();
    applyPalette();
    if (openView(*frame_, true, environment_) != 0 || frame_->view == nullptr) {
        FractalRecord* failed = std::exchange(frame_, nullptr);
        running_ = false;
        workspace_.deleteFractal(*failed, false);
        release();
        return tell(kCreatingFailedText);
    }
    applyPaletteToView(*frame_->view, palettes_);
    if (frameAfterLayers_)
        recalculateView(*frame_->view);
    else
        pauseView(*frame_->view);
    return true;
}

bool RunningAnimation::addLayerFrames(const std::vector<FractalRecord*>& keys,
                                      FractalRecord& frame) {
    layers_.clear();
    frameAfterLayers_ = true;
    const std::vector<const FractalRecord*> keyList = constKeys(keys);
    const auto layers = layersOfKeys(keyList);
    if (layers.empty() || layers.front().empty())
        return true;
    layerLists_ = std::make_unique<LayerFrames>(keyList, layers, data_, context_);
    auto made = layerLists_->createLayers(frameNumber_, context_);
    if (made.size() != layers.front().size())
        return false;
    Folder& folder = frameFolder(workspace_, data_.outputDirectory);
    for (auto& layer : made)
        layers_.push_back(&workspace_.addFractal(folder, std::move(layer), false));
    linkFrameLayers(frame, layers_);
    frameAfterLayers_ = false;
    return true;
}

// The layer fractals are calculated first; the frame fractal follows once they are done.
void RunningAnimation::recalculateLayers() {
    for (FractalRecord* layer : layers_) {
        if (layer->view == nullptr) {
            if (openView(*layer, true, environment_) != 0 || layer->view == nullptr)
                continue;
            // Opened silently, the layer does not take its palette by itself; the
            // compound merges the layers' colours.
            applyPaletteToView(*layer->view, palettes_);
        }
        if (layer->view != nullptr)
            recalculateView(*layer->view);
    }
    frameAfterLayers_ = layers_.empty();
}

bool RunningAnimation::layersReady() {
    if (frameAfterLayers_)
        return true;
    for (const FractalRecord* layer : layers_)
        if (layer->view != nullptr &&
            (!layer->view->finished() || layer->view->commandWord() != calc::kIdle))
            return false;
    frameAfterLayers_ = true;
    recalculateView(*frame_->view);
    return false;
}

bool RunningAnimation::openOutput() {
    if (data_.saveMode == 0)
        sink_ = std::make_unique<PngFrameSink>(data_.outputDirectory, data_.name, frontend_);
    else
        sink_ = videoSinks_(data_);
    return sink_ != nullptr && sink_->open(data_);
}

// The frame's palette, rotated by its offset, becomes the frame palette; the frame shows
// it at offset 0.
void RunningAnimation::applyPalette() {
    FramePalette framePalette = interpolatePalette(constKeys([this] {
                                                       std::vector<FractalRecord*> keys;
                                                       for (const auto& key : keys_)
                                                           keys.push_back(key.get());
                                                       return keys;
                                                   }()),
                                                   data_, frameNumber_, palettes_, true);
    Palette* shown = palettes_.find(kFramePaletteName);
    if (shown == nullptr) {
        auto palette = std::make_unique<Palette>(framePalette.palette);
        palette->setName(kFramePaletteName);
        shown = &palettes_.insertUnique(std::move(palette));
    } else {
        for (std::size_t i = 0; i < kPaletteEntries; ++i)
            shown->setColour(i, framePalette.palette.colour(i));
    }
    frame_->palName = shown->name();
    frame_->palOffset = 0.0;
    frame_->palNameAnim.clear();
    frame_->palOffsetAnim = 0.0;
    // The frame's view is opened silently, so it does not take the palette by itself.
    if (frame_->view != nullptr)
        applyPaletteToView(*frame_->view, palettes_);
}

void RunningAnimation::saveFinishedFrame() {
    if (!running_ || frame_ == nullptr || frame_->view == nullptr)
        return;
    if (!layersReady())
        return;
    FractalView& view = *frame_->view;
    if (!view.finished() || view.commandWord() != calc::kIdle)
        return;
    const FrameImage image{*frame_, view.buffers(), view.colours, data_.dimension != 0,
                           withCrLf(parameterEntryText(*frame_, std::nullopt, &palettes_))};
    if (sink_->write(image, frameNumber_) == FrameWriteResult::Stopped)
        return finish();
    pauseView(view);
    if (!interpolator_->makeFrame(frameNumber_ + 1, *frame_))
        return finish();
    if (layerLists_ && !layerLists_->makeLayers(frameNumber_ + 1, layers_))
        return finish();
    ++frameNumber_;
    applyPalette();
    recalculateLayers();
    if (frameAfterLayers_)
        recalculateView(view);
}

std::optional<std::string> RunningAnimation::frameTitle(int percent) const {
    if (!running_)
        return std::nullopt;
    const std::int32_t frames = data_.endFrame < 1 ? data_.totalFrames : data_.endFrame;
    return animationProgressTitle(data_.name, static_cast<int>(frameNumber_), frames, percent);
}

void RunningAnimation::finish() {
    FractalRecord* frame = std::exchange(frame_, nullptr);
    running_ = false;
    if (frame != nullptr) {
        closeView(*frame, false, environment_);
        workspace_.deleteFractal(*frame, false);
    }
    for (FractalRecord* layer : std::exchange(layers_, {})) {
        closeView(*layer, false, environment_);
        workspace_.deleteFractal(*layer, false);
    }
    release();
}

void RunningAnimation::abort() {
    running_ = false;
    frame_ = nullptr;
    layers_.clear(); // left in the frame folder with the frame fractal
    release();
}

void RunningAnimation::release() {
    if (sink_)
        sink_->close();
    sink_.reset();
    interpolator_.reset();
    layerLists_.reset();
    keys_.clear();
}

} // namespace vortimax
