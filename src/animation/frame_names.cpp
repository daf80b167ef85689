#include "animation/frame_names.h"

#include <cstdio>

namespace vortimax {

OutputName splitOutputName(std::string_view chosen) {
    const std::size_t separator = chosen.find_last_of("/\\");
    if (separator == std::string_view::npos)
        return {{}, std::string(chosen)};
    std::string directory(chosen.substr(0, separator));
    for (char& c : directory)
        if (c == '\\')
            c = '/';
    if (directory.empty())
        directory = "/";
    return {std::filesystem::path(directory), std::string(chosen.substr(separator + 1))};
}

std::filesystem::path pngFramePath(const std::filesystem::path& directory, std::string_view name,
                                   std::int64_t frame) {
    return directory / (std::string(name) + std::to_string(frame) + ".png");
}

std::string convertedFrameName(std::string_view name, std::int64_t frame, std::int64_t last) {
    const int width = last < 100 ? 2 : last < 1000 ? 3 : 4;
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "-%*lld[%*lld]", width, static_cast<long long>(frame),
                  width, static_cast<long long>(last));
    return std::string(name) + numbers;
}

} // namespace vortimax
