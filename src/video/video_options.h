#pragma once

#include "video/video_codecs.h"

#include <string>
#include <string_view>

namespace vortimax {

// What a video is written as.
struct VideoSettings {
    VideoContainer container = VideoContainer::Avi;
    VideoCodec codec = VideoCodec::Dib;
};

// The settings a command line's `--format avi|mp4` and `--codec NAME` ask for (an empty
// codec: the container's default, uncompressed for AVI and H.264 for MP4). Names are
// taken in any case. Returns false with a message for a person in `error` when the format
// or codec is unknown, the container cannot hold the codec, or the encoder is missing.
bool videoSettingsFromOptions(std::string_view format, std::string_view codec,
                              VideoSettings& settings, std::string& error);

// The codec names the command line accepts, separated by '|' ("dib|mjpeg|ffv1|h264").
std::string videoCodecNames();

} // namespace vortimax
