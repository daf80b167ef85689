#pragma once

#include "golden_files.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vortimax::golden {

// Where pictures are rendered: the command-line program, a scratch directory for its
// output and a program directory of its own, so that no palette or formula of the
// machine's user takes part.
struct RenderSetup {
    std::filesystem::path cli;
    std::filesystem::path scratch;
    std::filesystem::path programDir;
};

// The hashes of one rendered picture, or why there are none.
struct RenderOutcome {
    std::optional<PictureHashes> hashes;
    std::string problem;
};

// Runs "vortimax-cli render ARGS" on `threads` threads and hashes the value file it
// writes and the pixels of its PNG as the program's own loader decodes them.
RenderOutcome renderAndHash(const RenderSetup& setup, const std::string& name,
                            const std::vector<std::string>& args, int threads);

} // namespace vortimax::golden
