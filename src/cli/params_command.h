#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace vortimax::cli {

// "params TYPE [--subtype N]": every parameter of a new record of that type and
// subtype, then the 3D parameters, one tab-separated line each.
int runParams(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

} // namespace vortimax::cli
