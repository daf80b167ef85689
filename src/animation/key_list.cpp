#include "animation/key_list.h"

#include "animation/key_layers.h"
#include "animation/key_timeline.h"
#include "base/frontend.h"
#include "model/folder.h"
#include "model/fractal_view.h"
#include "model/param_block.h"
#include "model/type_registry.h"
#include "model/workspace.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>

namespace vortimax {

namespace {

constexpr double kSameReal = 1e-12;

bool sameValue(const ParamDescriptor& row, const std::uint8_t* a, const std::uint8_t* b) {
    switch (row.kind) {
    case ParamKind::Real:
        return std::fabs(loadReal(a) - loadReal(b)) < kSameReal;
    case ParamKind::BigFixed:
        return std::fabs((loadBigFixed(a) - loadBigFixed(b)).toDouble()) < kSameReal;
    default:
        return std::memcmp(a, b, row.fieldSize()) == 0;
    }
}

// Every must-match row of one block; a mismatch asks whether to adopt the reference's
// value.
bool matchBlock(const FractalRecord& key, BlockRef candidate, ConstBlockRef reference,
                Frontend& frontend) {
    const DescriptorTable& table = candidate.table();
    if (&reference.table() != &table)
        return false;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ParamDescriptor& row = table.row(i);
        if (!row.animated || row.animMode != AnimMode::Match || isLayerLink(key, row))
            continue;
        if (sameValue(row, candidate.field(i), reference.field(i)))
            continue;
        const std::string text =
            std::string(kMismatchText) + std::string(row.key) + "\n" + std::string(kAdjustQuestion);
        if (frontend.messageBox(kCheckingKeyCaption, text, MessageButtons::YesNo,
                                MessageIcon::Question) != MessageAnswer::Yes)
            return false;
        std::memcpy(candidate.field(i), reference.field(i), row.fieldSize());
    }
    return true;
}

// Right minus left or top minus bottom negative: asks to swap the corners.
bool untwist(FractalRecord& key, Frontend& frontend) {
    BlockRef params = key.params();
    const BigFixed left = params.bigFixed("TopLeftR"), right = params.bigFixed("BottomRightR");
    const BigFixed top = params.bigFixed("TopLeftI"), bottom = params.bigFixed("BottomRightI");
    const bool acrossTwisted = (right - left).isNegative();
    const bool downTwisted = (top - bottom).isNegative();
    if (!acrossTwisted && !downTwisted)
        return true;
    if (frontend.messageBox(kCheckingKeyCaption, kTwistedQuestion, MessageButtons::YesNo,
                            MessageIcon::Question) != MessageAnswer::Yes)
        return false;
    if (acrossTwisted) {
        params.setBigFixed("TopLeftR", right);
        params.setBigFixed("BottomRightR", left);
    }
    if (downTwisted) {
        params.setBigFixed("TopLeftI", bottom);
        params.setBigFixed("BottomRightI", top);
    }
    return true;
}

bool hasArea(const FractalRecord& record) {
    const FractalTypeInfo* info = fractalType(record.type);
    return info != nullptr && info->hasArea && record.hasParams();
}

} // namespace

std::vector<FractalRecord*> animationKeys(const Folder& animation) {
    std::vector<FractalRecord*> keys;
    const auto& list = animation.fractals();
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].entryKind != kEntryKeyFrame)
            keys.push_back(&list[i]);
    return keys;
}

std::vector<const FractalRecord*> constKeys(const std::vector<FractalRecord*>& keys) {
    return {keys.begin(), keys.end()};
}

bool verifyKey(FractalRecord& candidate, FractalRecord& reference, Frontend& frontend) {
    if (candidate.type != reference.type || candidate.subtype != reference.subtype) {
        frontend.messageBox(kVerifyingKeyCaption, kWrongTypeText, MessageButtons::Ok,
                            MessageIcon::Warning);
        return false;
    }
    if (candidate.hasParams() &&
        !matchBlock(candidate, candidate.params(), std::as_const(reference).params(), frontend))
        return false;
    if (!matchBlock(candidate, candidate.settings3D(), std::as_const(reference).settings3D(),
                    frontend))
        return false;
    if (!hasArea(candidate))
        return true;
    return untwist(reference, frontend) && untwist(candidate, frontend);
}

bool acceptableGap(double gap) {
    return gap >= 1.0;
}

bool animatableKey(const FractalRecord& key, Frontend& frontend) {
    if (key.type != kTypeCompound)
        return true;
    const auto layers = sourceLayers(key);
    if (layers && std::none_of(layers->begin(), layers->end(), [](const FractalRecord* layer) {
            return layer->type == kTypeCompound;
        }))
        return true;
    frontend.messageBox(kVerifyingKeyCaption, kCompoundKeyText, MessageButtons::Ok,
                        MessageIcon::Warning);
    return false;
}

FractalRecord* addKey(Folder& animation, AnimData& data, const FractalRecord& fractal,
                      std::size_t position, Frontend& frontend,
                      const RecordCreationContext& context) {
    if (!animatableKey(fractal, frontend))
        return nullptr;
    return addKeyWithLayers(animation, data, fractal, *sourceLayers(fractal), position, frontend,
                            context);
}

FractalRecord* addKeyWithLayers(Folder& animation, AnimData& data, const FractalRecord& fractal,
                                const std::vector<const FractalRecord*>& layers,
                                std::size_t position, Frontend& frontend,
                                const RecordCreationContext& context) {
    if (!acceptableGap(fractal.numFrames)) {
        frontend.messageBox(kVerifyingKeyCaption, kShortGapText, MessageButtons::Ok,
                            MessageIcon::Warning);
        return nullptr;
    }
    const std::vector<FractalRecord*> keys = animationKeys(animation);
    position = std::min(position, keys.size());
    auto key = cloneRecord(fractal, context);
    key->entryKind = kEntryOrdinary;
    if (!keys.empty()) {
        FractalRecord& reference = position == 0 ? *keys.front() : *keys[position - 1];
        if (!verifyKey(*key, reference, frontend))
            return nullptr;
        const std::vector<FractalRecord*> referenceLayers = keyLayers(reference);
        if (!layersFit(layers, {referenceLayers.begin(), referenceLayers.end()}, frontend))
            return nullptr;
    } else if (hasArea(*key) && !untwist(*key, frontend)) {
        return nullptr;
    }
    if (keys.empty())
        data.name = fitAnimText(fractal.name, kAnimNameLength);
    if (fractal.width > 0 && fractal.height > 0) {
        data.width = fractal.width;
        data.height = fractal.height;
    }
    const std::size_t index = position < keys.size()
                                  ? *animation.fractals().indexOf(*keys[position])
                                  : animation.fractals().size();
    FractalRecord& added = animation.insertAt(index, std::move(key));
    insertKeyLayers(animation, added, layers, context);
    return &added;
}

bool deleteKey(Workspace& workspace, FractalRecord& key, bool ask, Frontend& frontend) {
    if (ask && frontend.messageBox(kDeleteOperationCaption, kDeleteKeyText, MessageButtons::YesNo,
                                   MessageIcon::Question) != MessageAnswer::Yes)
        return false;
    Folder* folder = key.folder;
    if (folder != nullptr) {
        // The layer entries right behind the key belong to it.
        std::vector<FractalRecord*> layers;
        const auto& list = folder->fractals();
        if (auto index = list.indexOf(key))
            for (std::size_t i = *index + 1; i < list.size() && list[i].entryKind == kEntryKeyFrame;
                 ++i)
                layers.push_back(&list[i]);
        for (FractalRecord* layer : layers)
            workspace.deleteFractal(*layer, false);
    }
    return workspace.deleteFractal(key, false) == DeleteResult::Deleted;
}

} // namespace vortimax
