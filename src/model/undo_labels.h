#pragma once

#include "model/param_descriptor.h"

#include <string_view>

namespace vortimax {

// The labels of the undo steps the program records ("Undo: <label>" in the Edit menu).
inline constexpr std::string_view kZoomInLabel = "Zoom in";
inline constexpr std::string_view kZoomOutLabel = "Zoom out";
inline constexpr std::string_view kMoveLabel = "Move";
inline constexpr std::string_view kDefaultValuesLabel = "Default values";
inline constexpr std::string_view kTypeConversionLabel = "Type conversion";
inline constexpr std::string_view kProportionalLabel = "Proportional";

// The label of a step that changes one parameter: the step's own name for the rows that have
// one ("Check for infinity" for TestForInfinify), otherwise the row's label or its key.
std::string_view undoLabel(const ParamDescriptor& row);

} // namespace vortimax
