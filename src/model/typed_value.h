#pragma once

#include "model/param_descriptor.h"

#include <string>
#include <string_view>

namespace vortimax {

// Values typed by a person (a command line, say) are held to the row's kind and range:
// unlike a value read from a file, nothing is clamped, cut off or skipped.
//   real, high-precision: a decimal number, whole text, finite, within the row's range;
//   integer: a choice name (letter case ignored) or whole decimal digits with an
//            optional sign, within the row's range and the 32-bit field;
//   flag: a choice name or any number the 32-bit field holds;
//   text: at most length - 1 printable characters.
bool acceptsTypedValue(const ParamDescriptor& row, std::string_view text);

// What acceptsTypedValue takes for the row, for a message: "a whole number from 1 to
// 2147483647", "a number from 0 to 1e+300", "a text of at most 63 characters".
std::string typedValueRange(const ParamDescriptor& row);

} // namespace vortimax
