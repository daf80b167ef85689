#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vortimax {

// An output name as a person chose it ("C:\out\Zoom", "/tmp/out/Zoom"): the directory
// before its last separator (a backslash counts as one, as the Windows-style names of
// older files have it) and the animation name after it.
struct OutputName {
    std::filesystem::path directory;
    std::string name;
};
OutputName splitOutputName(std::string_view chosen);

// The PNG file of frame f: directory / "<name><f>.png", without leading zeros.
std::filesystem::path pngFramePath(const std::filesystem::path& directory, std::string_view name,
                                   std::int64_t frame);

// The name of frame f of a converted animation: "%s-%2d[%2d]" while the last frame is
// below 100, "%s-%3d[%3d]" below 1000 and "%s-%4d[%4d]" otherwise (name, frame, last).
std::string convertedFrameName(std::string_view name, std::int64_t frame, std::int64_t last);

} // namespace vortimax
