#pragma once

#include "model/fractal_record.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace vortimax {

// Whether a name is already used by another item of a list.
using NameTakenFn = std::function<bool(std::string_view name)>;

// The first `maxLength` bytes of `name`.
std::string cutName(std::string_view name, std::size_t maxLength = kMaxNameLength);

// `name` without its trailing digits and dots: "Mandel.2" -> "Mandel",
// "Juliatyp 1" -> "Juliatyp ".
std::string_view nameStem(std::string_view name);

// "stem.number", with the stem shortened so that the whole stays within maxLength bytes
// (the number is never cut).
std::string suffixedName(std::string_view stem, unsigned long number,
                         std::size_t maxLength = kMaxNameLength);

// suffixedName(stem, N) for the smallest N >= 1 whose name is free.
std::string firstFreeSuffixed(std::string_view stem, const NameTakenFn& taken,
                              std::size_t maxLength = kMaxNameLength);

// The candidate (cut to maxLength) when it is free; otherwise the first free
// "stem.1", "stem.2", ... of its stem. A rename passes a predicate that does not count
// the renamed item itself, so the item may keep its own name.
std::string makeUniqueName(std::string_view candidate, const NameTakenFn& taken,
                           std::size_t maxLength = kMaxNameLength);

} // namespace vortimax
