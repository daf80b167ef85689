#pragma once

#include "animation/anim_data.h"
#include "animation/frame_interpolator.h"
#include "animation/frame_sink.h"
#include "animation/key_layers.h"
#include "app/application.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace vortimax {

class Folder;
class Frontend;
class PaletteList;
class Workspace;
struct ViewEnvironment;

inline constexpr std::string_view kStartingCaption = "Starting animation";
inline constexpr std::string_view kAlreadyRunningText = "There's already an animation running...";
inline constexpr std::string_view kTooFewKeysText =
    "There must be at least two AnimKeys to create an animation...";
inline constexpr std::string_view kDuplicatingFailedText =
    "Error occurred while duplicating keyframe list.\nMost likely not enough memory...";
inline constexpr std::string_view kFirstFrameFailedText =
    "Error occurred while creating first frame...";
inline constexpr std::string_view kCreatingFailedText = "Error while creating animation";
inline constexpr std::string_view kNoVideoText =
    "This build writes animations as PNG files only.\nSet the save mode to PNG files.";
inline constexpr std::string_view kFrameFolderName = "Animation";

// Makes the frame output of a starting animation from its settings (the output directory
// and name already chosen). Null when it cannot be made (the reason was shown).
using FrameSinkFactory = std::function<std::unique_ptr<FrameSink>(const AnimData& data)>;

// The animation that runs in the program: one frame fractal "(running anim)" in the folder
// "Animation", calculated like any fractal, written by the frame output whenever its
// image is finished, then interpolated for the next frame, until the last key is passed.
// All calls come from the main thread; the application calls saveFinishedFrame() and
// abort() under its animation lock, start() must be called under it too.
class RunningAnimation : public AnimationControl {
public:
    RunningAnimation(Workspace& workspace, PaletteList& palettes, ViewEnvironment& environment,
                     Frontend& frontend, RecordCreationContext context = {});
    ~RunningAnimation() override;

    // Frames written as PNG files are the default; a save mode other than 0 needs a video
    // output installed here.
    void setVideoSinkFactory(FrameSinkFactory factory) { videoSinks_ = std::move(factory); }

    // Starts the animation of the keys of `animation` with `data`: asks for the output
    // name, copies the keys (so that editing them does not disturb the animation), makes
    // and opens the first frame. False when it did not start (the reason was shown, or
    // the person cancelled).
    bool start(const Folder& animation, const AnimData& data);

    bool isRunning() const override { return running_; }
    bool owns(const FractalRecord& record) const override;
    // Ends the animation where it is: the output is closed; the frame fractal is left to
    // the caller, which is closing or deleting it.
    void abort() override;
    void saveFinishedFrame() override;
    // "<name> <frame>/<end frame>" (the total when the end frame is below 1) and the share
    // of the frame done.
    std::optional<std::string> frameTitle(int percent) const override;

    std::int64_t currentFrame() const { return frameNumber_; }
    // The frame fractal while the animation runs.
    FractalRecord* frameFractal() const { return running_ ? frame_ : nullptr; }
    const AnimData& data() const { return data_; }

private:
    bool openOutput();
    // Adds the frame's layer fractals (compound keys) to the frame folder and links the
    // frame to them. False when they cannot be made.
    bool addLayerFrames(const std::vector<FractalRecord*>& keys, FractalRecord& frame);
    // Whether the layers of the current frame are done and the frame fractal was
    // calculated after them; starts the frame fractal's calculation once they are.
    bool layersReady();
    void recalculateLayers();
    void applyPalette();
    // The last frame was written: the frame fractal and the copied keys go.
    void finish();
    void release();

    Workspace& workspace_;
    PaletteList& palettes_;
    ViewEnvironment& environment_;
    Frontend& frontend_;
    RecordCreationContext context_;
    FrameSinkFactory videoSinks_;

    bool running_ = false;
    AnimData data_;
    std::vector<std::unique_ptr<FractalRecord>> keys_;
    std::unique_ptr<FrameInterpolator> interpolator_;
    std::unique_ptr<FrameSink> sink_;
    FractalRecord* frame_ = nullptr;
    std::unique_ptr<LayerFrames> layerLists_;
    std::vector<FractalRecord*> layers_; // the frame's layer fractals, calculated first
    bool frameAfterLayers_ = true;
    std::int64_t frameNumber_ = 0;
};

} // namespace vortimax
