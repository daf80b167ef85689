#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

namespace vortimax::cli {

// Text made safe for a manual page (troff): backslashes and minus signs escaped, and a
// line that would start with a control character ('.' or '\'') guarded.
std::string troffEscaped(std::string_view text);

// The manual pages, written from the same tables as the programs' --help output.
void writeCliManualPage(std::ostream& out);
void writeDesktopManualPage(std::ostream& out);

} // namespace vortimax::cli
