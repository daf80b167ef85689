#pragma once

#include "model/fractal_record.h"

#include <optional>
#include <string_view>

namespace vortimax {

// A real, integer or flag parameter of the record's type, or nothing when the type has
// no such key (or no parameters at all). For the colouring, which reads parameters that
// not every type keeps.
inline std::optional<double> recordNumber(const FractalRecord& record, std::string_view key) {
    if (!record.hasParams())
        return std::nullopt;
    const ConstBlockRef block = record.params();
    const std::optional<std::size_t> index = block.table().find(key);
    if (!index)
        return std::nullopt;
    switch (block.table().row(*index).kind) {
    case ParamKind::Real:
        return loadReal(block.field(*index));
    case ParamKind::Integer:
    case ParamKind::Flag:
        return loadInt(block.field(*index));
    default:
        return std::nullopt;
    }
}

inline double recordNumberOr(const FractalRecord& record, std::string_view key, double fallback) {
    return recordNumber(record, key).value_or(fallback);
}

} // namespace vortimax
