#pragma once

#include "animation/anim_data.h"
#include "animation/frame_interpolator.h"
#include "model/fractal_record.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

class Folder;
class Frontend;
struct ParamDescriptor;

// A compound key carries copies of its layer fractals as layer entries (entry kind 10)
// right behind it in the animation folder; its Layer0..9 name them.

// The layer entries behind `key` in its folder, in order.
std::vector<FractalRecord*> keyLayers(const FractalRecord& key);

// Whether `row` of a compound's parameters names one of its layers: such names differ
// from key to key (every layer copy has its own name), so they are links, not values to
// compare or interpolate.
bool isLayerLink(const FractalRecord& key, const ParamDescriptor& row);

// Points the compound's layer k at the fractal named `name`.
void setLayerName(FractalRecord& compound, std::size_t k, std::string_view name);

// The fractals a compound's layer names stand for in its own folder, in layer order;
// nothing when a name finds no fractal there.
std::optional<std::vector<const FractalRecord*>> sourceLayers(const FractalRecord& compound);

// The candidate's layers must be as many as the reference's, each of the type and
// subtype of the reference's layer at its index; otherwise kWrongTypeText is shown.
bool layersFit(const std::vector<const FractalRecord*>& candidate,
               const std::vector<const FractalRecord*>& reference, Frontend& frontend);

// Copies `layers` into the animation folder right behind `key` as its layer entries, with
// names unique in the folder, and renames the key's layer links to them.
void insertKeyLayers(Folder& animation, FractalRecord& key,
                     const std::vector<const FractalRecord*>& layers,
                     const RecordCreationContext& context);

// The name of the running animation's layer fractal k (0-based): "Layer <k + 1>".
std::string frameLayerName(std::size_t k);

// The layers of compound key frames as key lists of their own: list k holds layer k of
// every key, at the key's own gap, and is interpolated like the keys. Owns copies of the
// layers, so the keys may change afterwards.
class LayerFrames {
public:
    // `layers[j]` are the layers of key j; every key must have as many (adding a key
    // checks that). No lists when the keys have no layers.
    LayerFrames(const std::vector<const FractalRecord*>& keys,
                const std::vector<std::vector<const FractalRecord*>>& layers, const AnimData& data,
                const RecordCreationContext& context);

    std::size_t layerCount() const { return interpolators_.size(); }

    // New layer fractals for frame f, named "Layer 1", "Layer 2", ... at the sizes of
    // the first key's layers. Empty when f lies outside the animation.
    std::vector<std::unique_ptr<FractalRecord>> createLayers(std::int64_t f,
                                                             const RecordCreationContext& context);

    // Interpolates frame f into the layer fractals (one per list, in order). Nothing when
    // f lies outside the animation; otherwise the largest change of any layer.
    std::optional<FrameChange> makeLayers(std::int64_t f,
                                          const std::vector<FractalRecord*>& frames);

private:
    std::vector<std::vector<std::unique_ptr<FractalRecord>>> lists_;
    std::vector<std::unique_ptr<FrameInterpolator>> interpolators_;
};

// The layer lists of a key list read from the animation folder (each key's layer entries).
std::vector<std::vector<const FractalRecord*>>
layersOfKeys(const std::vector<const FractalRecord*>& keys);

// Points the frame compound's layer links at the layer fractals' names.
void linkFrameLayers(FractalRecord& compound, const std::vector<FractalRecord*>& layers);

} // namespace vortimax
