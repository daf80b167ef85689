#pragma once

#include "formula/ifs_entry.h"
#include "formula/lsystem_entry.h"
#include "model/view_environment.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vortimax {

// A copy of the IFS or L-system definition a name stands for (letter case ignored), or
// nothing when the library has none. Called on calculation threads: it must hand out a
// copy.
using IfsLookup = std::function<std::optional<IfsEntry>(std::string_view name)>;
using LSystemLookup = std::function<std::optional<LSystemEntry>(std::string_view name)>;

// Makes the IFS and LSystem types calculable: their drivers draw the definition their
// `Formula` parameter names, and opening an IFS fractal checks first that its definition
// is in the library.
void installGeometryDrivers(DriverTable& drivers, ViewHooks& hooks, IfsLookup ifs,
                            LSystemLookup lsystems);

// Why a fractal draws nothing: its definition is not in the library.
std::string definitionMissingText(std::string_view kind, const std::string& name);

} // namespace vortimax
