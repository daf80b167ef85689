#include "model/undo_labels.h"

#include <algorithm>
#include <array>

namespace vortimax {

namespace {

struct ParameterStepLabel {
    std::string_view key;
    std::string_view label;
};

// Parameters whose changes the Edit menu names otherwise than the parameter windows do.
constexpr std::array kParameterStepLabels{
    ParameterStepLabel{"TestForInfinify", "Check for infinity"},
    ParameterStepLabel{"TestForFinite", "Finite attractor"},
    ParameterStepLabel{"TestForCyclus", "Cyclus search"},
    ParameterStepLabel{"TestForFormula", "Formula test"},
    ParameterStepLabel{"Decomp", "Decomposition"},
    ParameterStepLabel{"Decomposition", "Decomposition"},
    ParameterStepLabel{"Biomorphy", "Biomorphy"},
    ParameterStepLabel{"InvCenterX", "Circle Inversion Center"},
    ParameterStepLabel{"InvCenterY", "Circle Inversion Center"},
    ParameterStepLabel{"Chaos", "Color Chaos"},
};

} // namespace

std::string_view undoLabel(const ParamDescriptor& row) {
    const auto named =
        std::find_if(kParameterStepLabels.begin(), kParameterStepLabels.end(),
                     [&](const ParameterStepLabel& entry) { return entry.key == row.key; });
    if (named != kParameterStepLabels.end())
        return named->label;
    return row.label.empty() ? row.key : row.label;
}

} // namespace vortimax
