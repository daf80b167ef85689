#pragma once

#include "model/param_block.h"

#include <string>
#include <string_view>

namespace vortimax {

// Sets the row whose key matches (letter case ignored) from parameter-file text:
//   real: read like "%lf"; high-precision: decimal text with the file digit limit;
//   text: at most length - 1 characters; integer or flag: a choice name (letter case
//   ignored) gives its index, otherwise read like "%ld"; an integer (not a flag)
//   outside the row's range becomes the row's minimum.
// Text that does not read as a number leaves the field unchanged.
// Returns false when no row has the key.
bool setByKey(BlockRef block, std::string_view key, std::string_view text);

// Whether setByKey would take `text` as a value of the row (a choice name or a number of
// the row's kind; any text for text rows).
bool readsAsValue(const ParamDescriptor& row, std::string_view text);

// The value of a row as a person reads it: reals in their shortest exact form,
// high-precision values as decimal text, integers with a choice list by name.
std::string displayValue(ConstBlockRef block, std::size_t index);

// True when the row's value differs between two blocks of the same layout the way a
// parameter file decides whether to write it: reals by 1e-13 or more, high-precision
// values in any of their value bytes, integers, flags and texts when not equal.
bool valueDiffers(ConstBlockRef block, ConstBlockRef defaults, std::size_t index);

} // namespace vortimax
