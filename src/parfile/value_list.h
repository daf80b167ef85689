#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace vortimax {

// The first `maxParts` pieces of a value list such as "-2/2/-1.5/1.5"; pieces may be
// empty ("1//2" has three). Anything beyond the last piece taken is ignored.
inline std::vector<std::string_view> splitValues(std::string_view text, std::size_t maxParts,
                                                 char separator = '/') {
    std::vector<std::string_view> parts;
    while (parts.size() < maxParts) {
        std::size_t end = text.find(separator);
        parts.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return parts;
}

} // namespace vortimax
