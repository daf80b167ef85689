#pragma once

#include <string_view>

namespace vortimax {

// A line that holds no semicolon and whose last character above 31 is a backslash
// continues on the next line: the position of that backslash, or npos.
inline std::size_t continuationAt(std::string_view line) {
    if (line.find(';') != std::string_view::npos)
        return std::string_view::npos;
    std::size_t last = line.size();
    while (last > 0 && static_cast<unsigned char>(line[last - 1]) <= 31)
        --last;
    if (last == 0 || line[last - 1] != '\\')
        return std::string_view::npos;
    return last - 1;
}

} // namespace vortimax
