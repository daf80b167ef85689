#include "video/video_file_name.h"

#include "base/text_utils.h"

namespace vortimax {
namespace {

std::string_view extensionOf(VideoContainer container) {
    return container == VideoContainer::Avi ? ".AVI" : ".mp4";
}

} // namespace

std::string videoFileName(std::string_view animationName, VideoContainer container) {
    const std::string_view extension = extensionOf(container);
    std::string name(animationName);
    const bool hasExtension =
        name.size() >= extension.size() &&
        equalsIgnoreCase(std::string_view(name).substr(name.size() - extension.size()), extension);
    if (!hasExtension)
        name += extension;
    return name;
}

std::filesystem::path videoFilePath(const std::filesystem::path& chosen, VideoContainer container) {
    return chosen.parent_path() / videoFileName(chosen.filename().string(), container);
}

} // namespace vortimax
