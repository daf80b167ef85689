#include "video/video_options.h"

#include "base/text_utils.h"

#include <optional>

namespace vortimax {
namespace {

std::optional<VideoContainer> containerByName(std::string_view name) {
    if (equalsIgnoreCase(name, "avi"))
        return VideoContainer::Avi;
    if (equalsIgnoreCase(name, "mp4"))
        return VideoContainer::Mp4;
    return std::nullopt;
}

} // namespace

std::string videoCodecNames() {
    std::string names;
    for (const VideoCodecInfo& info : videoCodecTable()) {
        if (!names.empty())
            names += '|';
        names += info.name;
    }
    return names;
}

bool videoSettingsFromOptions(std::string_view format, std::string_view codec,
                              VideoSettings& settings, std::string& error) {
    const std::optional<VideoContainer> container = containerByName(format);
    if (!container) {
        error = "Unknown video format \"" + std::string(format) + "\" (avi or mp4)";
        return false;
    }
    const std::optional<VideoCodec> chosen =
        codec.empty() ? defaultVideoCodec(*container) : videoCodecByName(codec);
    if (!chosen) {
        error = "Unknown video codec \"" + std::string(codec) + "\" (" + videoCodecNames() + ")";
        return false;
    }
    const VideoCodecInfo& info = videoCodecInfo(*chosen);
    if (!videoCodecFitsContainer(*chosen, *container)) {
        error = "The codec " + std::string(info.name) + " cannot be written into an " +
                (*container == VideoContainer::Avi ? "AVI" : "MP4") + " file";
        return false;
    }
    if (!videoCodecAvailable(*chosen)) {
        error = "This FFmpeg has no encoder for " + std::string(info.label);
        return false;
    }
    settings = {*container, *chosen};
    return true;
}

} // namespace vortimax
