#pragma once

#include <string_view>

namespace vortimax {

// Why writing a video stopped. Each ends the animation with its message.
enum class VideoFailure {
    Opening,        // the file could not be created
    StreamCreation, // the container or its video stream could not be set up
    Compression,    // the chosen encoder is missing or refused the stream
    SetFormat,      // the stream's format (the file header) could not be written
    StreamWrite,    // a frame could not be encoded or written, or the file not finished
};

// A message box's caption and text.
struct VideoFailureMessage {
    std::string_view caption;
    std::string_view text;
};

const VideoFailureMessage& videoFailureMessage(VideoFailure failure);

} // namespace vortimax
