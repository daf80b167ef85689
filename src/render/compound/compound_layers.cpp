#include "render/compound/compound_layers.h"

#include "model/folder.h"
#include "model/type_registry.h"
#include "render/compound/compound_params.h"

#include <algorithm>

namespace vortimax {

namespace {

// Compounds nest at most this deep before a chain counts as a loop.
constexpr int kMostNesting = 32;

// Whether `target` is `from` or one of its layers, at any depth.
bool reaches(const FractalRecord& from, const FractalRecord& target, int depth) {
    if (&from == &target)
        return true;
    if (from.type != kTypeCompound)
        return false;
    if (depth >= kMostNesting)
        return true;
    return std::any_of(from.layers.begin(), from.layers.end(), [&](const FractalRecord* layer) {
        return layer != nullptr && reaches(*layer, target, depth + 1);
    });
}

} // namespace

LayerLinks resolvedLayers(const FractalRecord& compound) {
    LayerLinks links{};
    if (compound.type != kTypeCompound || compound.folder == nullptr)
        return links;
    const CompoundParams params = readCompoundParams(compound);
    for (std::size_t k = 0; k < params.layers.size(); ++k) {
        FractalRecord* found = compound.folder->fractals().find(params.layers[k].name);
        if (found != nullptr && !reaches(*found, compound, 0))
            links[k] = found;
    }
    return links;
}

void resolveFolderLayers(Folder& folder) {
    for (FractalRecord& record : folder.fractals().all())
        if (record.type == kTypeCompound)
            record.layers = resolvedLayers(record);
}

bool usesLayer(const FractalRecord& compound, const FractalRecord& record) {
    return compound.type == kTypeCompound &&
           std::find(compound.layers.begin(), compound.layers.end(), &record) !=
               compound.layers.end();
}

std::string brokenLayerText(std::size_t index, const std::string& name) {
    return "layer " + std::to_string(index) + " \"" + name +
           "\" is no fractal of this folder (renamed, deleted, or the compound itself)";
}

} // namespace vortimax
