#pragma once

#include "animation/frame_sink.h"
#include "animation/running_animation.h"
#include "video/video_options.h"
#include "video/video_writer.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace vortimax {

class Frontend;

// Frames as the pictures of one video file, written in the order they come. The file is
// created when the first frame arrives, since only then is its colour depth known (8-bit
// palette frames or 24-bit colour frames; 3D frames are always 24-bit). A failure is
// reported with its message box and ends the animation; the frames written until then
// stay a playable video.
class VideoFrameSink : public FrameSink {
public:
    VideoFrameSink(std::filesystem::path path, VideoSettings settings, Frontend& frontend);
    ~VideoFrameSink() override;

    // Checks that the file can be made where it is asked for: the folder must exist and
    // the frame size must be positive.
    bool open(const AnimData& data) override;
    FrameWriteResult write(const FrameImage& image, std::int64_t frame) override;
    void close() override;

    const std::filesystem::path& path() const { return path_; }
    int framesWritten() const { return writer_ ? writer_->framesWritten() : 0; }

private:
    bool openWriter(const VideoFrame& first);
    void report(VideoFailure failure, const std::string& reason);

    std::filesystem::path path_;
    VideoSettings settings_;
    Frontend& frontend_;
    int framesPerSecond_ = 15;
    int width_ = 0;
    int height_ = 0;
    std::unique_ptr<VideoWriter> writer_;
    bool failed_ = false;
};

// Save modes of an animation: 0 numbered PNG files, 2 an MP4 video, any other an AVI video.
inline constexpr std::int32_t kSaveModePng = 0;
inline constexpr std::int32_t kSaveModeAvi = 1;
inline constexpr std::int32_t kSaveModeMp4 = 2;

// What a video of `saveMode` is written as: its container, with the codec chosen for the
// session when that container can hold it and this FFmpeg can write it, else the
// container's default codec.
VideoSettings videoSettingsForSaveMode(std::int32_t saveMode, const VideoSettings& chosen);

// The video output of the running animation: "<output directory>/<name>" with the
// container's extension added unless the name has it already, written with the settings
// `chosen()` gives when the animation starts.
FrameSinkFactory videoSinkFactory(std::function<VideoSettings()> chosen, Frontend& frontend);

} // namespace vortimax
