#include "animation/video_frame_sink.h"

#include "animation/anim_data.h"
#include "base/frontend.h"
#include "video/video_failures.h"
#include "video/video_file_name.h"

#include <algorithm>
#include <system_error>

namespace vortimax {

VideoFrameSink::VideoFrameSink(std::filesystem::path path, VideoSettings settings,
                               Frontend& frontend)
    : path_(std::move(path)), settings_(settings), frontend_(frontend) {}

VideoFrameSink::~VideoFrameSink() {
    close();
}

bool VideoFrameSink::open(const AnimData& data) {
    framesPerSecond_ = std::max(1, data.framesPerSecond);
    width_ = data.width;
    height_ = data.height;
    const std::filesystem::path folder =
        path_.has_parent_path() ? path_.parent_path() : std::filesystem::path(".");
    std::error_code error;
    if (width_ < 1 || height_ < 1) {
        report(VideoFailure::StreamCreation, "the frame size is not positive");
        return false;
    }
    if (!std::filesystem::is_directory(folder, error)) {
        report(VideoFailure::Opening, "no folder \"" + folder.string() + "\"");
        return false;
    }
    return true;
}

bool VideoFrameSink::openWriter(const VideoFrame& first) {
    const VideoShape shape{first.width, first.height, framesPerSecond_, first.bitsPerPixel};
    VideoWriter::Opened opened = VideoWriter::open(path_, settings_, shape);
    if (!opened.writer) {
        report(opened.failure.value_or(VideoFailure::Opening), opened.reason);
        return false;
    }
    writer_ = std::move(opened.writer);
    return true;
}

FrameWriteResult VideoFrameSink::write(const FrameImage& image, std::int64_t) {
    if (failed_)
        return FrameWriteResult::Stopped;
    const VideoFrame frame = videoFrameOf(image.buffers, image.colours, image.use3D);
    if (!writer_ && !openWriter(frame))
        return FrameWriteResult::Stopped;
    if (const auto failure = writer_->write(frame)) {
        report(*failure, writer_->lastReason());
        return FrameWriteResult::Stopped;
    }
    return FrameWriteResult::Written;
}

void VideoFrameSink::close() {
    if (!writer_)
        return;
    const auto failure = writer_->finish();
    if (failure && !failed_)
        report(*failure, writer_->lastReason());
}

void VideoFrameSink::report(VideoFailure failure, const std::string& reason) {
    failed_ = true;
    if (!reason.empty())
        frontend_.addMessage("Video \"" + path_.string() + "\": " + reason);
    const VideoFailureMessage& message = videoFailureMessage(failure);
    frontend_.messageBox(message.caption, message.text, MessageButtons::Ok, MessageIcon::Error);
}

VideoSettings videoSettingsForSaveMode(std::int32_t saveMode, const VideoSettings& chosen) {
    const VideoContainer container =
        saveMode == kSaveModeMp4 ? VideoContainer::Mp4 : VideoContainer::Avi;
    if (videoCodecFitsContainer(chosen.codec, container) && videoCodecAvailable(chosen.codec))
        return {container, chosen.codec};
    return {container, defaultVideoCodec(container)};
}

FrameSinkFactory videoSinkFactory(std::function<VideoSettings()> chosen, Frontend& frontend) {
    return [chosen = std::move(chosen), &frontend](const AnimData& data) {
        const VideoSettings settings = videoSettingsForSaveMode(data.saveMode, chosen());
        return std::make_unique<VideoFrameSink>(
            videoFilePath(data.outputDirectory / data.name, settings.container), settings,
            frontend);
    };
}

} // namespace vortimax
