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
    // "key=value" words (separated by blanks) applied before the entry's own keys: the
    // formula a Formula fractal iterates and the values the foreign type starts from
    // where this program's defaults differ.
    std::string_view presets = {};
    // Where the values of the entry's "params=" go, in order: row keys separated by "/",
    // a "-" passing its value over; values beyond the list are ignored. Empty: the rows
    // of file mode "params" of the type, as for every other entry.
    std::string_view paramRows = {};
};

// A foreign type name whose fractals this program cannot draw, and why.
struct RefusedForeignType {
    std::string_view name;
    std::string_view reason;
};

// Every refused foreign name.
std::span<const RefusedForeignType> refusedForeignTypes();

// Why a foreign type cannot be read (letter case ignored); nothing for a name that is
// not a refused one.
std::optional<std::string_view> refusalReason(std::string_view name);

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
    const ForeignType* row = nullptr; // the foreign row, for a foreign name
};
std::optional<EntryType> resolveTypeName(std::string_view name);

} // namespace vortimax
