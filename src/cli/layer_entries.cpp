#include "cli/layer_entries.h"

#include "model/folder.h"
#include "model/type_registry.h"
#include "render/compound/compound_layers.h"
#include "render/compound/compound_params.h"

#include <algorithm>
#include <ostream>

namespace vortimax::cli {

namespace {

LoadedEntry* entryOf(LoadedFiles& files, const FractalRecord& record) {
    for (LoadedEntry& entry : files.entries())
        if (entry.record == &record)
            return &entry;
    return nullptr;
}

class LayerPreparation {
public:
    LayerPreparation(LoadedFiles& files, std::ostream& err) : files_(files), err_(err) {}

    bool visit(FractalRecord& compound) {
        if (std::find(visiting_.begin(), visiting_.end(), &compound) != visiting_.end())
            return true; // a loop: the link is refused below and the compound says so
        visiting_.push_back(&compound);
        for (const CompoundLayer& layer : readCompoundParams(compound).layers)
            if (!visitLayer(compound, layer.name))
                return false;
        compound.layers = resolvedLayers(compound);
        visiting_.pop_back();
        return true;
    }

    std::vector<FractalRecord*> order;

private:
    bool visitLayer(const FractalRecord& compound, const std::string& name) {
        FractalRecord* layer =
            compound.folder != nullptr ? compound.folder->fractals().find(name) : nullptr;
        LoadedEntry* entry = layer != nullptr ? entryOf(files_, *layer) : nullptr;
        if (entry == nullptr) {
            err_ << "vortimax-cli render: \"" << compound.name << "\" has the layer \"" << name
                 << "\", which is no entry of \""
                 << (compound.folder ? compound.folder->name() : "") << "\"\n";
            return false;
        }
        const bool parsed = files_.parse(*entry);
        for (const std::string& problem : entry->problems)
            err_ << entry->file << ": " << problem << '\n';
        if (!parsed)
            return false;
        if (std::find(order.begin(), order.end(), layer) != order.end())
            return true;
        if (layer->type == kTypeCompound && !visit(*layer))
            return false;
        if (layer != &compound && std::find(order.begin(), order.end(), layer) == order.end())
            order.push_back(layer);
        return true;
    }

    LoadedFiles& files_;
    std::ostream& err_;
    std::vector<const FractalRecord*> visiting_;
};

} // namespace

std::optional<std::vector<FractalRecord*>>
prepareLayers(LoadedFiles& files, FractalRecord& compound, std::ostream& err) {
    LayerPreparation preparation(files, err);
    if (!preparation.visit(compound))
        return std::nullopt;
    std::erase(preparation.order, &compound);
    return std::move(preparation.order);
}

} // namespace vortimax::cli
