#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace vortimax::cli {

// "palette --generate startstep|sine|fourier|random [--set NAME=VALUE]... [--seed N] -o
// OUT.map": fills a palette with the palette generator and writes it as a map file. The
// settings are named as in the generator window: P<p>.<c> (parameter p = 0..12 of channel
// c = 0 red, 1 green, 2 blue), Component and Entries. Random draws are seeded by --seed
// (1 without), so a seed always gives the same palette. Exit status 2 for a bad command
// line, 1 when the generator refuses the settings or the file cannot be written.
int runPalette(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

} // namespace vortimax::cli
