#pragma once

#include "cli/loaded_files.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace vortimax::test {

// One entry of a corpus parameter file, read as the commands read it.
struct CorpusEntry {
    std::filesystem::path file;
    std::string name;
    std::uint32_t type;
};

// The entries that parse, of every parameter file in `parFolder`, whose type `wanted`
// accepts; none when the folder does not exist.
inline std::vector<CorpusEntry> corpusEntries(const std::filesystem::path& parFolder,
                                              const std::function<bool(std::uint32_t)>& wanted) {
    std::vector<CorpusEntry> found;
    if (!std::filesystem::is_directory(parFolder))
        return found;
    for (const auto& file : std::filesystem::directory_iterator(parFolder)) {
        cli::LoadedFiles files;
        std::ostringstream ignored;
        files.load(file.path(), ignored);
        files.parseAll();
        for (const cli::LoadedEntry& entry : files.entries())
            if (entry.parsed && wanted(entry.record->type))
                found.push_back({file.path(), entry.record->name, entry.record->type});
    }
    return found;
}

} // namespace vortimax::test
