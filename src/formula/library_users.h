#pragma once

// The fractals that name library entries, as far as the libraries need to know them. The
// libraries never hold references to fractals; whoever owns the fractals answers here.

#include "formula/library_kind.h"

#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

class EntryUsers {
public:
    virtual ~EntryUsers() = default;
    // The names of the fractals of the kind's type whose entry name equals `entryName`
    // (letter case ignored), in all folders.
    virtual std::vector<std::string> fractalsUsing(LibraryKind kind,
                                                   std::string_view entryName) const = 0;
    // Makes those fractals name `newName` instead.
    virtual void renameUses(LibraryKind kind, std::string_view oldName,
                            std::string_view newName) = 0;
};

} // namespace vortimax
