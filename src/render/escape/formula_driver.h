#pragma once

#include "formula/formula_entry.h"
#include "model/view_environment.h"

#include <functional>
#include <optional>
#include <string_view>

namespace vortimax {

// The compiled code of the formula a name stands for, or nothing when the library has
// no such entry. Called on calculation threads: it must hand out a copy.
using FormulaLookup = std::function<std::optional<FormulaCode>(std::string_view name)>;

// Makes the Formula type calculable: its driver runs the named formula per pixel within
// the pass scheme of the escape-time types, and opening a Formula fractal checks first
// that its formula is available.
void installFormulaDriver(DriverTable& drivers, ViewHooks& hooks, FormulaLookup lookup);

} // namespace vortimax
