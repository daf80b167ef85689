#include "app/compound_updates.h"

#include "model/folder.h"
#include "model/fractal_view.h"
#include "render/compound/compound_layers.h"

#include <algorithm>
#include <utility>

namespace vortimax {

namespace {

// Gives the compound new links; an open compound is paused first, as its worker reads
// them.
void relink(FractalRecord& compound, const LayerLinks& links) {
    if (compound.view != nullptr)
        pauseView(*compound.view);
    compound.layers = links;
}

FractalView* openView(int id, ViewEnvironment& environment) {
    for (const auto& view : environment.openViews)
        if (view->id() == id)
            return view.get();
    return nullptr;
}

} // namespace

void CompoundUpdates::install(ViewEnvironment& environment) {
    ViewHooks& hooks = environment.hooks;
    hooks.linkLayers = [](FractalRecord& compound) {
        if (const LayerLinks links = resolvedLayers(compound); links != compound.layers)
            relink(compound, links);
    };
    hooks.imageFinished = [this, previous = std::move(hooks.imageFinished)](FractalView& view) {
        {
            std::lock_guard lock(mutex_);
            finishedViews_.push_back(view.id());
        }
        if (previous)
            previous(view);
    };
}

void CompoundUpdates::folderChanged(Folder& folder, ViewEnvironment&) {
    const std::vector<const FractalRecord*> unlinked = std::exchange(unlinked_, {});
    for (FractalRecord& record : folder.fractals().all()) {
        if (record.type != kTypeCompound)
            continue;
        const LayerLinks links = resolvedLayers(record);
        const bool lostLayer =
            std::find(unlinked.begin(), unlinked.end(), &record) != unlinked.end();
        if (links == record.layers && !lostLayer)
            continue;
        relink(record, links);
        if (record.view != nullptr)
            recalculateView(*record.view);
    }
}

void CompoundUpdates::forgetLayer(FractalRecord& record, ViewEnvironment&) {
    if (record.folder == nullptr)
        return;
    for (FractalRecord& compound : record.folder->fractals().all()) {
        if (!usesLayer(compound, record))
            continue;
        LayerLinks links = compound.layers;
        std::replace(links.begin(), links.end(), &record, static_cast<FractalRecord*>(nullptr));
        relink(compound, links);
        if (compound.view != nullptr)
            unlinked_.push_back(&compound);
    }
}

void CompoundUpdates::recalculateWaiting(ViewEnvironment& environment) {
    std::vector<int> finished;
    {
        std::lock_guard lock(mutex_);
        finished = std::exchange(finishedViews_, {});
    }
    std::vector<FractalView*> restart;
    for (int id : finished) {
        const FractalView* layer = openView(id, environment);
        if (layer == nullptr)
            continue;
        for (const auto& view : environment.openViews) {
            const FractalRecord& compound = view->record();
            if (compound.folder == layer->record().folder && usesLayer(compound, layer->record()) &&
                std::find(restart.begin(), restart.end(), view.get()) == restart.end())
                restart.push_back(view.get());
        }
    }
    for (FractalView* view : restart)
        recalculateView(*view);
}

} // namespace vortimax
