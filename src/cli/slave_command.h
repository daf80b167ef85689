#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace vortimax::cli {

// "slave --master HOST [--port P] [--dir DIR]": calculates rows for a master until the
// master ends the connection or Ctrl-C leaves it gracefully. The lines the desktop
// program shows in its message window go to the standard error.
int runSlave(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

} // namespace vortimax::cli
