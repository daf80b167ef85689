#pragma once

#include "render/compound/compound_params.h"
#include "render/compound/merge_types.h"

namespace vortimax {

class FractalView;

// Where a compound reads one layer's samples: the layer's finished view, or nothing
// when the layer has no open view (it then covers no pixel).
class LayerSource {
public:
    LayerSource(const CompoundLayer& layer, const FractalView* view);

    // The layer's sample at compound pixel (x, y).
    LayerSample sampleAt(int x, int y) const;

private:
    const FractalView* view_;
    const float* values_ = nullptr; // the value buffer `Buffer` chooses
    int width_ = 0;
    int height_ = 0;
    CompoundLayer layer_;
};

} // namespace vortimax
