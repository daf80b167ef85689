#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace vortimax::cli {

// "list FILE...": one line per entry of each parameter (or .zar) file, tab-separated:
// folder, name, type, subtype. Entries of unknown types are listed with the type
// "unknown" and reported on stderr; a file that cannot be read fails the command.
int runList(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

// "show FILE ENTRY": the parsed entry (name letter case ignored) as key=value lines:
// the header fields, then the type's parameters, then the 3D parameters.
int runShow(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

// "convert IN... -o OUT.par": reads every entry of the input files and writes them all
// into one parameter file. Nothing is written unless every entry could be read.
int runConvert(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

} // namespace vortimax::cli
