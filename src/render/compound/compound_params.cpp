#include "render/compound/compound_params.h"

#include "model/fractal_record.h"

namespace vortimax {

namespace {

std::string numbered(std::string_view stem, std::size_t k) {
    return std::string(stem) + std::to_string(k);
}

} // namespace

CompoundParams readCompoundParams(const FractalRecord& record) {
    const ConstBlockRef params = record.params();
    CompoundParams result;
    for (std::size_t k = 0; k < kMaxLayers; ++k) {
        CompoundLayer layer;
        layer.name = params.text(numbered("Layer", k));
        if (layer.name.empty())
            break;
        layer.factor = params.real(numbered("Factor", k));
        layer.left = params.integer(numbered("Left", k));
        layer.bottom = params.integer(numbered("Bottom", k));
        layer.buffer = params.integer(numbered("Buffer", k));
        result.layers.push_back(std::move(layer));
    }
    result.mergeType = params.integer("MergeType");
    result.formulas = {params.text("FormulaR"), params.text("FormulaG"), params.text("FormulaB")};
    return result;
}

} // namespace vortimax
