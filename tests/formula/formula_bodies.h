#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vortimax::test {

// The formula bodies (the text between `{` and the next `}`) of every regular file under
// `folder`, or only of the .frm files when `frmFilesOnly`; none when the folder is absent.
inline std::vector<std::string> formulaBodies(const std::filesystem::path& folder,
                                              bool frmFilesOnly) {
    std::vector<std::string> bodies;
    if (!std::filesystem::is_directory(folder))
        return bodies;
    for (const auto& file : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string extension = file.path().extension().string();
        if (!file.is_regular_file() || (frmFilesOnly && extension != ".frm" && extension != ".FRM"))
            continue;
        std::ifstream in(file.path(), std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        for (std::size_t open = text.find('{'); open != std::string::npos;
             open = text.find('{', open + 1)) {
            const std::size_t close = text.find('}', open);
            if (close == std::string::npos)
                break;
            bodies.push_back(text.substr(open + 1, close - open - 1));
        }
    }
    return bodies;
}

} // namespace vortimax::test
