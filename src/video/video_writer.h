#pragma once

#include "video/video_failures.h"
#include "video/video_frame.h"
#include "video/video_options.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace vortimax {

// The size, pace and depth of every frame of one video.
struct VideoShape {
    int width = 0;
    int height = 0;
    int framesPerSecond = 15;
    int bitsPerPixel = 8; // 8: palette frames, 24: colour frames
};

// Writes one video file frame after frame.
//
// The first frame given is the first frame of the file, whichever frame number the
// animation starts at: the stream's format is set when the file is opened, and frame k
// given is shown at k / framesPerSecond seconds. An animation that starts at frame 6 thus
// writes a video whose first picture is frame 6.
//
// Uncompressed frames are stored as device-independent bitmaps, bottom row first, each
// row padded with zero bytes to a multiple of 4 bytes; 8-bit frames carry their palette
// (in the stream format for the first frame, as a palette change for every later frame
// whose palette differs), so colour-cycled animations keep their colours. The other
// codecs are given the frames converted to the encoder's pixel format; H.264 uses 4:2:0
// colour for even sizes and 4:4:4 for odd ones, which 4:2:0 cannot hold.
class VideoWriter {
public:
    struct Opened {
        std::unique_ptr<VideoWriter> writer; // null on failure
        std::optional<VideoFailure> failure;
        std::string reason; // FFmpeg's explanation of a failure, for the log
    };

    // Sets up the video stream and its encoder, then creates the file (replacing one that
    // exists) and writes its header. On failure nothing stays open: a failure before the
    // file is created leaves a file at `path` untouched, a later one removes the new file.
    static Opened open(const std::filesystem::path& path, const VideoSettings& settings,
                       const VideoShape& shape);

    VideoWriter(const VideoWriter&) = delete;
    VideoWriter& operator=(const VideoWriter&) = delete;
    // Finishes the file when finish() was not called, so whatever ends an animation leaves
    // a playable video of the frames written so far.
    ~VideoWriter();

    // Appends a frame, which must have the shape's size and depth. After a failure every
    // further frame is refused.
    std::optional<VideoFailure> write(const VideoFrame& frame);

    // Flushes the encoder, writes the file's index and closes it. Later calls do nothing.
    std::optional<VideoFailure> finish();

    int framesWritten() const;
    const std::string& lastReason() const;

    struct State;

private:
    explicit VideoWriter(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

} // namespace vortimax
