#pragma once

#include "video/video_codecs.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace vortimax {

// The video file an animation name leads to: the name followed by ".AVI" (".mp4" for an
// MP4), or the name alone when it already ends in that extension in any case.
// "Zoom" becomes "Zoom.AVI"; "Zoom.avi" stays as it is.
std::string videoFileName(std::string_view animationName, VideoContainer container);

// The same rule on a path: only the last component is looked at.
std::filesystem::path videoFilePath(const std::filesystem::path& chosen, VideoContainer container);

} // namespace vortimax
