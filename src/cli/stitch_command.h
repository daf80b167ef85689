#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace vortimax::cli {

// vortimax-cli stitch TILE.png... -o POSTER.png [--quiet]: joins tiles that region renders
// wrote into the whole image, row by row, holding a few rows in memory, never the image.
int runStitch(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

} // namespace vortimax::cli
