#pragma once

#include <array>
#include <iosfwd>
#include <span>
#include <string_view>
#include <vector>

namespace vortimax::cli {

// A tile of the whole image: x, y from its top-left corner, width, height.
using TileRectangle = std::array<int, 4>;

// The image cut into `count` tiles in a grid whose tiles are as nearly square as the
// factors of `count` allow; columns and rows differ by one pixel at most.
std::vector<TileRectangle> tilesByCount(int width, int height, int count);
// The image cut into tiles of at most tileWidth x tileHeight, row by row from the top-left.
std::vector<TileRectangle> tilesBySize(int width, int height, int tileWidth, int tileHeight);

// vortimax-cli tiles FILE ENTRY --size WxH (--count N | --tile-size WxH) [-o PREFIX]
// [render options]: prints one render command line per tile.
int runTiles(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

} // namespace vortimax::cli
