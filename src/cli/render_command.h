#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace vortimax::cli {

// "render [TYPE [--subtype N] | FILE ENTRY | IMAGE.png] [--size WxH] [--depth 8|24]
//  [--palette MAP] [--set KEY=VALUE]... [--threads N] [--values OUT.npy] -o OUT.png": calculates a
// fractal on the calculation task the desktop program uses and writes it as a PNG that
// carries its parameters. Exit status 0 only when every file was written completely.
int runRender(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

} // namespace vortimax::cli
