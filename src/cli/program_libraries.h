#pragma once

#include "base/frontend.h"
#include "palette/palette_list.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace vortimax::cli {

// The palette and formula directories a command reads, chosen as the desktop program
// chooses them, so that palettes and formulas named by a parameter file resolve the same
// way on the command line: the directory given with --dir (created and seeded when it is
// new or empty); else the working directory when it holds Vortimax.cfg or PosPrefs.asc;
// else the per-user directory when it exists. That directory's Vortimax.cfg names the
// library paths (PalettePath, FormulaPath); without it the default folders below it are
// read. Without any program directory the shipped starter palettes and formulas are.
struct ProgramLibraries {
    std::optional<std::filesystem::path> programDirectory;
    std::vector<std::filesystem::path> paletteDirectories;
    std::vector<std::filesystem::path> formulaDirectories;
};

// Nothing (with the reason on `err`) when the --dir directory cannot be set up.
std::optional<ProgramLibraries>
findProgramLibraries(const std::optional<std::filesystem::path>& dirArgument, std::ostream& err);

// Takes "--dir DIR" out of a command's arguments. False (with a message) when --dir has
// no value.
bool takeDirOption(std::vector<std::string_view>& args,
                   std::optional<std::filesystem::path>& dirArgument, std::string_view command,
                   std::ostream& err);

// Reads every map file of the palette directories into the list.
void loadPalettes(const ProgramLibraries& libraries, PaletteList& palettes, Frontend& frontend);

} // namespace vortimax::cli
