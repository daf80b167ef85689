#include "animation/key_layers.h"

#include "animation/key_list.h"
#include "base/frontend.h"
#include "model/folder.h"
#include "model/param_descriptor.h"
#include "model/type_registry.h"
#include "render/compound/compound_params.h"

#include <algorithm>

namespace vortimax {

namespace {

constexpr std::string_view kLayerStem = "Layer";

std::string layerKey(std::size_t k) {
    return std::string(kLayerStem) + std::to_string(k);
}

std::vector<double> keyGaps(const std::vector<const FractalRecord*>& keys) {
    std::vector<double> gaps;
    for (const FractalRecord* key : keys)
        gaps.push_back(key->numFrames);
    return gaps;
}

} // namespace

std::vector<FractalRecord*> keyLayers(const FractalRecord& key) {
    std::vector<FractalRecord*> layers;
    if (key.folder == nullptr)
        return layers;
    const auto& list = key.folder->fractals();
    if (auto index = list.indexOf(key))
        for (std::size_t i = *index + 1; i < list.size() && list[i].entryKind == kEntryKeyFrame;
             ++i)
            layers.push_back(&list[i]);
    return layers;
}

bool isLayerLink(const FractalRecord& key, const ParamDescriptor& row) {
    if (key.type != kTypeCompound || row.kind != ParamKind::Text ||
        !row.key.starts_with(kLayerStem))
        return false;
    const std::string_view digits = row.key.substr(kLayerStem.size());
    return digits.size() == 1 && digits[0] >= '0' && digits[0] <= '9';
}

void setLayerName(FractalRecord& compound, std::size_t k, std::string_view name) {
    compound.params().setText(layerKey(k), name);
}

std::optional<std::vector<const FractalRecord*>> sourceLayers(const FractalRecord& compound) {
    std::vector<const FractalRecord*> layers;
    if (compound.type != kTypeCompound)
        return layers;
    if (compound.folder == nullptr)
        return std::nullopt;
    for (const CompoundLayer& layer : readCompoundParams(compound).layers) {
        const FractalRecord* found = compound.folder->fractals().find(layer.name);
        if (found == nullptr || found == &compound)
            return std::nullopt;
        layers.push_back(found);
    }
    return layers;
}

bool layersFit(const std::vector<const FractalRecord*>& candidate,
               const std::vector<const FractalRecord*>& reference, Frontend& frontend) {
    bool fits = candidate.size() == reference.size();
    for (std::size_t k = 0; fits && k < candidate.size(); ++k)
        fits = candidate[k]->type == reference[k]->type &&
               candidate[k]->subtype == reference[k]->subtype;
    if (!fits)
        frontend.messageBox(kVerifyingKeyCaption, kWrongTypeText, MessageButtons::Ok,
                            MessageIcon::Warning);
    return fits;
}

void insertKeyLayers(Folder& animation, FractalRecord& key,
                     const std::vector<const FractalRecord*>& layers,
                     const RecordCreationContext& context) {
    std::size_t index = *animation.fractals().indexOf(key) + 1;
    for (std::size_t k = 0; k < layers.size(); ++k, ++index) {
        auto copy = cloneRecord(*layers[k], context);
        copy->entryKind = kEntryKeyFrame;
        copy->numFrames = key.numFrames;
        const FractalRecord& placed = animation.insertAt(index, std::move(copy));
        setLayerName(key, k, placed.name);
    }
}

std::string frameLayerName(std::size_t k) {
    return std::string(kLayerStem) + " " + std::to_string(k + 1);
}

LayerFrames::LayerFrames(const std::vector<const FractalRecord*>& keys,
                         const std::vector<std::vector<const FractalRecord*>>& layers,
                         const AnimData& data, const RecordCreationContext& context) {
    if (layers.empty() || layers.size() != keys.size())
        return;
    const std::vector<double> gaps = keyGaps(keys);
    const std::size_t count = layers.front().size();
    for (std::size_t k = 0; k < count; ++k) {
        std::vector<std::unique_ptr<FractalRecord>> list;
        std::vector<const FractalRecord*> pointers;
        for (std::size_t j = 0; j < keys.size() && k < layers[j].size(); ++j) {
            list.push_back(cloneRecord(*layers[j][k], context));
            list.back()->numFrames = gaps[j]; // the layers move with their keys
            pointers.push_back(list.back().get());
        }
        if (pointers.size() != keys.size())
            break;
        interpolators_.push_back(std::make_unique<FrameInterpolator>(pointers, data));
        lists_.push_back(std::move(list));
    }
}

std::vector<std::unique_ptr<FractalRecord>>
LayerFrames::createLayers(std::int64_t f, const RecordCreationContext& context) {
    std::vector<std::unique_ptr<FractalRecord>> frames;
    for (std::size_t k = 0; k < interpolators_.size(); ++k) {
        auto frame = interpolators_[k]->createFrame(f, frameLayerName(k), context);
        if (!frame)
            return {};
        // A layer keeps its own image size; the compound places it by its offsets.
        frame->width = lists_[k].front()->width;
        frame->height = lists_[k].front()->height;
        frames.push_back(std::move(frame));
    }
    return frames;
}

std::optional<FrameChange> LayerFrames::makeLayers(std::int64_t f,
                                                   const std::vector<FractalRecord*>& frames) {
    FrameChange largest = FrameChange::Unchanged;
    for (std::size_t k = 0; k < interpolators_.size() && k < frames.size(); ++k) {
        const auto change = interpolators_[k]->makeFrame(f, *frames[k]);
        if (!change)
            return std::nullopt;
        largest = std::max(largest, *change);
    }
    return largest;
}

std::vector<std::vector<const FractalRecord*>>
layersOfKeys(const std::vector<const FractalRecord*>& keys) {
    std::vector<std::vector<const FractalRecord*>> layers;
    for (const FractalRecord* key : keys) {
        const std::vector<FractalRecord*> own = keyLayers(*key);
        layers.emplace_back(own.begin(), own.end());
    }
    return layers;
}

void linkFrameLayers(FractalRecord& compound, const std::vector<FractalRecord*>& layers) {
    for (std::size_t k = 0; k < layers.size() && k < kMaxLayers; ++k)
        setLayerName(compound, k, layers[k]->name);
}

} // namespace vortimax
