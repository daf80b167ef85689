#pragma once

#include "render/compound/merge_formulas.h"

#include <array>
#include <string>
#include <vector>

namespace vortimax {

class FractalRecord;

// One layer as the compound's parameters describe it.
struct CompoundLayer {
    std::string name;
    double factor = 100.0; // weight in percent
    int left = 0;          // pixel offset of the layer in the compound image
    int bottom = 0;        // rows counted from the bottom
    int buffer = 0;        // 0: the primary value buffer, 1 and 2: the Tierazon buffers
};

// The parameters of a compound fractal, read once per calculation.
struct CompoundParams {
    std::vector<CompoundLayer> layers; // in order, up to the first empty name
    int mergeType = 0;
    std::array<std::string, kMergeChannels> formulas; // FormulaR, FormulaG, FormulaB
};

CompoundParams readCompoundParams(const FractalRecord& record);

} // namespace vortimax
