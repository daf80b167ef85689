#pragma once

#include <string_view>

namespace vortimax {

class FractalRecord;

enum class ParameterBlock { Parameters, Settings3D };

enum class ParameterEditResult {
    Applied,   // stored, undo step recorded, image renewed
    Unchanged, // the value was already so
    Rejected,  // no such parameter, or the text is no value for it: nothing changed
};

// A value entered in a parameter window. An open fractal's calculation pauses while the
// value is applied (choices by name or number, ranges as the parameter's row says); the
// change becomes an undo step labelled with the row's label, and the image is calculated
// anew, or only coloured again for rows that need no calculation.
ParameterEditResult editParameter(FractalRecord& record, ParameterBlock block, std::string_view key,
                                  std::string_view text);

} // namespace vortimax
