#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace vortimax {

// The file a video is written into.
enum class VideoContainer { Avi, Mp4 };

// How the frames are stored in the file.
enum class VideoCodec {
    Dib,   // uncompressed device-independent bitmaps, 8 bits with palette or 24 bits
    Mjpeg, // Motion JPEG
    Ffv1,  // FFV1, lossless
    H264,  // H.264
};

// One codec choice: what the command line and the compression dialog call it, and which
// FFmpeg encoder makes it.
struct VideoCodecInfo {
    VideoCodec codec;
    std::string_view name;    // command-line name, lower case
    std::string_view label;   // what the compression dialog shows
    std::string_view encoder; // FFmpeg encoder name; empty: frames are stored as they are
    bool lossless;            // frames decode back exactly as they were written
    bool inAvi;               // may be written into an AVI file
    bool inMp4;               // may be written into an MP4 file
};

// Every codec choice, in the order the dialog lists them.
std::span<const VideoCodecInfo> videoCodecTable();

const VideoCodecInfo& videoCodecInfo(VideoCodec codec);

// The codec a command-line name (any case) stands for.
std::optional<VideoCodec> videoCodecByName(std::string_view name);

// Whether this FFmpeg build can write the codec (its encoder exists).
bool videoCodecAvailable(VideoCodec codec);

// Whether the container may hold the codec.
bool videoCodecFitsContainer(VideoCodec codec, VideoContainer container);

// The codec a container gets when none is named.
VideoCodec defaultVideoCodec(VideoContainer container);

} // namespace vortimax
