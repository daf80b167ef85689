#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vortimax {

// A type name other fractal programs write as "type=" and the type and subtype of this
// program that draw the same formula.
struct ForeignType {
    std::string_view name;
    std::uint32_t type;
    std::uint32_t subtype;
};

// Every foreign name in table order.
std::span<const ForeignType> foreignTypes();

// The row of a foreign name (letter case ignored). When several rows match, the last one
// counts, so a row added later overrides an earlier one.
std::optional<ForeignType> findForeignType(std::string_view name);

// Type and subtype of a "type=" value: a registry name (the subtype is 0) or else a
// foreign name. Nothing when neither knows it. Only ids of real types (0..13) are found.
struct EntryType {
    std::uint32_t type = 0;
    std::uint32_t subtype = 0;
    bool foreign = false;
};
std::optional<EntryType> resolveTypeName(std::string_view name);

} // namespace vortimax
