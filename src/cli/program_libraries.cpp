#include "cli/program_libraries.h"

#include "app/config_file.h"
#include "app/program_directory.h"
#include "app/settings.h"
#include "palette/palette_commands.h"

#include <ostream>
#include <system_error>

namespace vortimax::cli {

namespace fs = std::filesystem;

namespace {

// The program directory the desktop program would use, without creating one: a portable
// working directory, else the per-user directory when it is there.
std::optional<fs::path> existingProgramDirectory(const ProgramDirectoryInputs& inputs) {
    if (isPortableDirectory(inputs.workingDirectory))
        return inputs.workingDirectory;
    std::error_code error;
    if (const auto user = userProgramDirectory(inputs); user && fs::is_directory(*user, error))
        return *user;
    return std::nullopt;
}

ProgramLibraries librariesOf(const fs::path& programDirectory) {
    Settings settings;
    setDefaultLibraryPaths(settings, programDirectory);
    readConfiguration(programDirectory / kConfigFileName, settings);
    return {programDirectory, splitPathList(settings.paths.palettes),
            splitPathList(settings.paths.formulas)};
}

} // namespace

std::optional<ProgramLibraries> findProgramLibraries(const std::optional<fs::path>& dirArgument,
                                                     std::ostream& err) {
    const ProgramDirectoryInputs inputs = processProgramDirectoryInputs(dirArgument, {});
    if (dirArgument) {
        const ProgramDirectoryResult chosen = chooseProgramDirectory(inputs);
        if (!chosen.ok()) {
            err << "vortimax-cli: " << chosen.error << '\n';
            return std::nullopt;
        }
        return librariesOf(chosen.directory);
    }
    if (const auto directory = existingProgramDirectory(inputs))
        return librariesOf(*directory);
    ProgramLibraries shipped;
    if (const DataDirectoryResult data = findDataDirectory(inputs); !data.directory.empty()) {
        shipped.paletteDirectories.push_back(data.directory / "Palettes");
        shipped.formulaDirectories.push_back(data.directory / "Formulas");
    }
    return shipped;
}

bool takeDirOption(std::vector<std::string_view>& args, std::optional<fs::path>& dirArgument,
                   std::string_view command, std::ostream& err) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--dir")
            continue;
        if (i + 1 >= args.size()) {
            err << "vortimax-cli " << command << ": --dir needs a directory\n";
            return false;
        }
        dirArgument = fs::path(args[i + 1]);
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i + 2));
        --i;
    }
    return true;
}

void loadPalettes(const ProgramLibraries& libraries, PaletteList& palettes, Frontend& frontend) {
    loadPaletteDirectories(palettes, frontend, libraries.paletteDirectories);
}

} // namespace vortimax::cli
