#pragma once

#include "model/fractal_record.h"

#include <array>
#include <string>

namespace vortimax {

class Folder;

using LayerLinks = std::array<FractalRecord*, kMaxLayers>;

// The records a compound fractal's layer names stand for in its own folder (letter case
// ignored), in layer order up to the first empty name. A name that finds no fractal, or
// one that would make the compound a layer of itself (directly or through other
// compounds), gives no link: the compound then cannot be calculated and says why.
LayerLinks resolvedLayers(const FractalRecord& compound);

// Resolves the layers of every compound fractal of the folder into their `layers` lists.
void resolveFolderLayers(Folder& folder);

// Whether `record` is one of the compound's resolved layers.
bool usesLayer(const FractalRecord& compound, const FractalRecord& record);

// Why a compound cannot be calculated: its layer `index` (0-based) named `name` does not
// resolve.
std::string brokenLayerText(std::size_t index, const std::string& name);

} // namespace vortimax
