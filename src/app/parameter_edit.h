#pragma once

#include <string>
#include <string_view>

namespace vortimax {

class FractalRecord;

enum class ParameterBlock { Parameters, Settings3D };

enum class ParameterEditResult {
    Applied,   // stored, undo step recorded, image renewed
    Unchanged, // the value was already so
    Rejected,  // no such parameter, or the text is no value for it: nothing changed
    Refused,   // a value the type cannot calculate with: nothing changed
};

// A value entered in a parameter window. An open fractal's calculation pauses while the
// value is applied (choices by name or number, ranges as the parameter's row says); the
// change becomes an undo step labelled with the row's label, and the image is calculated
// anew, or only coloured again for rows that need no calculation. A value that its
// range lets in but the type cannot calculate with (a dynamic system's Delta of 0) is
// refused, and `reason`, when given, tells why.
ParameterEditResult editParameter(FractalRecord& record, ParameterBlock block, std::string_view key,
                                  std::string_view text, std::string* reason = nullptr);

} // namespace vortimax
