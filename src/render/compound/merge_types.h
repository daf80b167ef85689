#pragma once

#include "palette/hsv.h"
#include "render/compound/merge_formulas.h"

#include <optional>
#include <span>
#include <string_view>

namespace vortimax {

// Colours are Rgb (one int per channel, palette/hsv.h); merges may leave the 0 ... 255
// range on the way, the image takes clampedChannel of each.
int clampedChannel(int channel);

// What one layer shows at a compound pixel.
struct LayerSample {
    bool covers = false;   // the pixel lies inside the layer's image (after its offset)
    Rgb colour;            // the layer's finished colour there
    double value = 0.0;    // the cell of the value buffer the layer's `Buffer` chooses
    double factor = 100.0; // the layer's weight in percent
};

// Everything a merge reads for one pixel: the samples of the layers in layer order and,
// for the formula merges, the compiled formulas and the calling thread's context.
struct MergeInput {
    std::span<const LayerSample> layers;
    const MergeFormulas* formulas = nullptr;
    EvalContext* context = nullptr;
};

// One merge type: RGB merges give the pixel's colour, buffer merges its value (which the
// compound's own palette and colour mapping colour afterwards).
struct MergeType {
    std::string_view label; // as the parameter window lists it
    Rgb (*rgb)(const MergeInput&) = nullptr;
    double (*buffer)(const MergeInput&) = nullptr;

    bool mergesColours() const { return rgb != nullptr; }
};

inline constexpr int kMergeTypeCount = 14;
inline constexpr int kBufferFormulaMerge = 12;
inline constexpr int kRgbFormulaMerge = 13;

// The merge type of `MergeType` value `index`, or nothing for values outside 0 ... 13.
const MergeType* mergeType(int index);

// Which merge formulas a merge type evaluates (FormulaR, FormulaG, FormulaB).
std::array<bool, kMergeChannels> formulasUsedBy(int index);

} // namespace vortimax
