#pragma once

// Assignments to predefined names. Older formula files assign to `pixel`, `bailout`, `p1`
// and the like, or use a predefined name such as `e` or `iter` as their own variable. Such
// a formula gets a user variable of that name for all its statements, set from the
// predefined value before its first init statement, so that reading the name before any
// assignment still gives the predefined value.

#include "formula/formula_statement.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

// The names of the predefined operands that some line assigns to (`name =` anywhere in
// the line, also in a chain such as z = pixel = ...), each once, in order of appearance.
// `rand` (which draws a number each time it is read) and `z` are never among them.
std::vector<std::string> assignedPredefinedNames(const std::vector<std::string>& lines);

// The statement `variable = name` with name read as the predefined operand.
CompiledStatement shadowStart(std::string_view name, std::uint32_t variable);

} // namespace vortimax
