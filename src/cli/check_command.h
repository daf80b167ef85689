#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace vortimax::cli {

// "check FILE...": compiles every entry of formula (.frm), IFS (.ifs) and L-system (.l)
// files as loading them would. Per entry one line "FILE: NAME: ok" or "FILE: NAME: failed"
// followed by the text of each error box, indented; then "N compiled, M failed". Exit
// status 1 when an entry failed, 2 when a file could not be read or is of no such kind.
int runCheck(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

} // namespace vortimax::cli
