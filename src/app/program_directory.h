#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

// The files whose presence in the working directory marks a portable install.
inline constexpr std::array<std::string_view, 2> kPortableMarkers{"Vortimax.cfg", "PosPrefs.asc"};
// What a new per-user directory receives from the shipped data: this file ...
inline constexpr std::string_view kSeedFile = "PosPrefs.asc";
// ... and these folders (created empty where the shipped data has none).
inline constexpr std::array<std::string_view, 5> kSeedFolders{"Palettes", "Fractals", "Formulas",
                                                              "Anims", "Pictures"};
// Shipped files the program itself relies on (other programs' fractal types are drawn
// with the formulas of Classic.frm). A program directory set up by an older version, or
// whose copy was removed, receives them again at every start, into its folder of that
// name when it has one; an existing file is never touched.
inline constexpr std::array<std::string_view, 1> kProgramFiles{"Formulas/Classic.frm"};
inline constexpr std::string_view kDataDirVariable = "VORTIMAX_DATA_DIR";
// Where the install puts the shipped data, relative to the installation prefix (the
// programs go to <prefix>/bin).
inline constexpr std::string_view kInstalledDataDir = "share/vortimax";

// Looks up an environment variable; nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(std::string_view name)>;

// Everything the choice of the program directory depends on, passed in explicitly so that
// the choice can be made without touching the real environment or home directory.
struct ProgramDirectoryInputs {
    std::optional<std::filesystem::path> dirArgument; // given with --dir
    std::filesystem::path workingDirectory;
    EnvironmentLookup environment;
    std::filesystem::path executable;     // argv[0] or /proc/self/exe; may be empty
    std::filesystem::path builtInDataDir; // the data directory of the build; may be empty
};

enum class ProgramDirectorySource { Argument, WorkingDirectory, UserDirectory };

struct ProgramDirectoryResult {
    std::filesystem::path directory; // absolute; empty on failure
    ProgramDirectorySource source = ProgramDirectorySource::Argument;
    std::vector<std::string> seeded; // names copied or created in the user directory now
    std::string error;               // a message for a person; empty on success

    bool ok() const { return error.empty(); }
};

// Picks the program directory: the --dir argument; else the working directory when it
// holds one of the portable markers; else $XDG_CONFIG_HOME/vortimax (~/.config/vortimax),
// created when missing and given whatever of the seed file and folders it lacks. A --dir
// directory that is missing or empty is created and seeded the same way. Missing program
// files (kProgramFiles) are copied into any chosen directory. Items the directory already
// has are never touched. Failures come back as a message.
ProgramDirectoryResult chooseProgramDirectory(const ProgramDirectoryInputs& inputs);

// The per-user directory: $XDG_CONFIG_HOME/vortimax, or ~/.config/vortimax (relative
// values are ignored, as the base directory rules ask); nothing without either.
std::optional<std::filesystem::path> userProgramDirectory(const ProgramDirectoryInputs& inputs);

// Whether the directory holds one of the portable markers.
bool isPortableDirectory(const std::filesystem::path& directory);

struct DataDirectoryResult {
    std::filesystem::path directory; // empty on failure
    std::string error;
};

// The shipped data directory: $VORTIMAX_DATA_DIR when set, else
// <directory of the executable>/../share/vortimax (an installed program), else the
// built-in directory (a program run from the build tree). A candidate counts only when it
// holds the seed file.
DataDirectoryResult findDataDirectory(const ProgramDirectoryInputs& inputs);

// The inputs of this process: working directory, real environment, /proc/self/exe (or
// argv0 when that cannot be read) and the data directory the program was built with.
ProgramDirectoryInputs processProgramDirectoryInputs(std::optional<std::filesystem::path> dirArg,
                                                     const std::filesystem::path& argv0);

} // namespace vortimax
