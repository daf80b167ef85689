#pragma once

#include "cli/loaded_files.h"

#include <iosfwd>
#include <vector>

namespace vortimax::cli {

// Parses the entries a compound fractal names as its layers (from the compound's own
// file, layers of layers too) and links the compounds to them. Returns the layers in the
// order they must be calculated, every one once and each after its own layers; nothing
// (with the reasons on `err`) when an entry is missing or does not read.
std::optional<std::vector<FractalRecord*>>
prepareLayers(LoadedFiles& files, FractalRecord& compound, std::ostream& err);

} // namespace vortimax::cli
