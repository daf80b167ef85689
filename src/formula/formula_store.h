#pragma once

// Assignments inside an expression, such as (z = fn1(z) + c) * (z < 0): the value is
// assigned where it is computed and stays in the expression.

#include "formula/formula_errors.h"

#include <cstdint>
#include <vector>

namespace vortimax {

// Rewrites every `=` of `postfix` that does not belong to the run of `=` words at its end:
// "target value =" becomes "value Store(target)", Store's data word being 0 for z or the
// variable number. AssignmentTarget when the target of such an `=` is not z or a single
// variable; the words are then left in an unspecified state.
CompileError storeInnerAssignments(std::vector<std::uint32_t>& postfix);

} // namespace vortimax
