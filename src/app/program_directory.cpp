#include "app/program_directory.h"

#include <cstdlib>
#include <system_error>

namespace vortimax {

namespace fs = std::filesystem;

namespace {

// Name prefix of the copies in progress; a folder appears under its real name only when
// it is complete, so an interrupted first start is finished by the next one.
constexpr std::string_view kPartialPrefix = ".seeding-";

std::string quoted(const fs::path& path) {
    return "\"" + path.string() + "\"";
}

std::optional<std::string> lookup(const ProgramDirectoryInputs& inputs, std::string_view name) {
    if (!inputs.environment) {
        return std::nullopt;
    }
    std::optional<std::string> value = inputs.environment(name);
    if (value && value->empty()) {
        return std::nullopt;
    }
    return value;
}

fs::path absoluteFrom(const fs::path& base, const fs::path& path) {
    return (path.is_absolute() ? path : base / path).lexically_normal();
}

bool isDirectory(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool isRegularFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// Anything at all under that name, a dangling link included.
bool occupied(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

bool isDataDirectory(const fs::path& dir) {
    return isRegularFile(dir / kSeedFile);
}

ProgramDirectoryResult failure(std::string message) {
    ProgramDirectoryResult result;
    result.error = std::move(message);
    return result;
}

ProgramDirectoryResult success(fs::path dir, ProgramDirectorySource source) {
    ProgramDirectoryResult result;
    result.directory = std::move(dir);
    result.source = source;
    return result;
}

bool isPortableInstall(const fs::path& dir) {
    for (const std::string_view marker : kPortableMarkers) {
        if (isRegularFile(dir / marker)) {
            return true;
        }
    }
    return false;
}

std::optional<fs::path> userDirectoryOf(const ProgramDirectoryInputs& inputs) {
    if (const auto xdg = lookup(inputs, "XDG_CONFIG_HOME"); xdg && fs::path(*xdg).is_absolute()) {
        return fs::path(*xdg) / "vortimax";
    }
    if (const auto home = lookup(inputs, "HOME"); home && fs::path(*home).is_absolute()) {
        return fs::path(*home) / ".config" / "vortimax";
    }
    return std::nullopt;
}

bool seedNeeded(const fs::path& dir) {
    if (!occupied(dir / kSeedFile)) {
        return true;
    }
    for (const std::string_view folder : kSeedFolders) {
        if (!occupied(dir / folder)) {
            return true;
        }
    }
    return false;
}

// Copies `from` (file or folder) to `to` by way of a temporary name in the same
// directory, or creates an empty folder when `from` is nothing. Leaves nothing behind
// on failure.
bool placeItem(const fs::path& from, const fs::path& to, bool folder, std::error_code& ec) {
    const fs::path partial =
        to.parent_path() / (std::string(kPartialPrefix) + to.filename().string());
    fs::remove_all(partial, ec);
    ec.clear();
    if (folder && !isDirectory(from)) {
        fs::create_directory(partial, ec);
    } else {
        fs::copy(from, partial, fs::copy_options::recursive, ec);
    }
    if (!ec) {
        fs::rename(partial, to, ec);
    }
    if (ec) {
        std::error_code ignored;
        fs::remove_all(partial, ignored);
        return false;
    }
    return true;
}

std::string seedItems(const fs::path& dataDir, const fs::path& dir,
                      std::vector<std::string>& seeded) {
    std::vector<std::pair<std::string_view, bool>> items{{kSeedFile, false}};
    for (const std::string_view folder : kSeedFolders) {
        items.emplace_back(folder, true);
    }
    for (const auto& [name, folder] : items) {
        if (occupied(dir / name)) {
            continue;
        }
        std::error_code ec;
        if (!placeItem(dataDir / name, dir / name, folder, ec)) {
            return "Cannot copy " + quoted(dataDir / name) + " to " + quoted(dir / name) + ": " +
                   ec.message();
        }
        seeded.emplace_back(name);
    }
    return {};
}

// Creates the directory when it is missing and gives it whatever of the seed file and
// folders it lacks.
ProgramDirectoryResult seeded(const fs::path& dir, ProgramDirectorySource source,
                              const ProgramDirectoryInputs& inputs) {
    ProgramDirectoryResult result = success(dir, source);
    const DataDirectoryResult data = findDataDirectory(inputs);
    if (!data.error.empty()) {
        return failure(data.error);
    }
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec || !isDirectory(dir)) {
        return failure("Cannot create the directory " + quoted(dir) + ": " +
                       (ec ? ec.message() : std::string("a file of that name is in the way")));
    }
    if (std::string error = seedItems(data.directory, dir, result.seeded); !error.empty()) {
        return failure(std::move(error));
    }
    return result;
}

bool isEmptyDirectory(const fs::path& dir) {
    std::error_code ec;
    return fs::is_empty(dir, ec) && !ec;
}

// A directory given with --dir is used as it is, unless it is new or empty: then it is
// set up like the per-user directory.
ProgramDirectoryResult fromArgument(const ProgramDirectoryInputs& inputs) {
    const fs::path dir = absoluteFrom(inputs.workingDirectory, *inputs.dirArgument);
    if (isDirectory(dir) && !isEmptyDirectory(dir)) {
        return success(dir, ProgramDirectorySource::Argument);
    }
    if (occupied(dir) && !isDirectory(dir)) {
        return failure("The name given with --dir is not a directory: " + quoted(dir));
    }
    return seeded(dir, ProgramDirectorySource::Argument, inputs);
}

ProgramDirectoryResult fromUserDirectory(const ProgramDirectoryInputs& inputs) {
    const std::optional<fs::path> dir = userDirectoryOf(inputs);
    if (!dir) {
        return failure("Cannot find a directory for the settings: neither XDG_CONFIG_HOME nor "
                       "HOME is set to an absolute path. Start with --dir DIRECTORY.");
    }
    if (!seedNeeded(*dir)) {
        return success(*dir, ProgramDirectorySource::UserDirectory);
    }
    return seeded(*dir, ProgramDirectorySource::UserDirectory, inputs);
}

// Copies the program files the directory lacks. A failure only costs what needs the file,
// which then says so, so it does not stop the start.
void restoreProgramFiles(ProgramDirectoryResult& result, const ProgramDirectoryInputs& inputs) {
    const DataDirectoryResult data = findDataDirectory(inputs);
    if (!data.error.empty())
        return;
    for (const std::string_view name : kProgramFiles) {
        const fs::path target = result.directory / name;
        const fs::path source = data.directory / name;
        if (occupied(target) || !isDirectory(target.parent_path()) || !isRegularFile(source))
            continue;
        std::error_code ec;
        if (placeItem(source, target, false, ec))
            result.seeded.emplace_back(name);
    }
}

ProgramDirectoryResult chosenDirectory(const ProgramDirectoryInputs& inputs) {
    if (inputs.dirArgument) {
        return fromArgument(inputs);
    }
    const fs::path cwd = inputs.workingDirectory.lexically_normal();
    if (!cwd.empty() && isPortableInstall(cwd)) {
        return success(cwd, ProgramDirectorySource::WorkingDirectory);
    }
    return fromUserDirectory(inputs);
}

} // namespace

DataDirectoryResult findDataDirectory(const ProgramDirectoryInputs& inputs) {
    if (const auto fromEnvironment = lookup(inputs, kDataDirVariable)) {
        const fs::path dir = absoluteFrom(inputs.workingDirectory, *fromEnvironment);
        if (isDataDirectory(dir)) {
            return {dir, {}};
        }
        return {{},
                std::string(kDataDirVariable) + " names " + quoted(dir) + ", which holds no " +
                    std::string(kSeedFile) + "; the program's data files cannot be found."};
    }
    // An installed program reads the data installed beside it, wherever the tree was put;
    // a program run from the build tree has none there and reads the repository's data.
    std::vector<fs::path> candidates;
    if (!inputs.executable.empty()) {
        const fs::path exe = absoluteFrom(inputs.workingDirectory, inputs.executable);
        candidates.push_back((exe.parent_path() / ".." / kInstalledDataDir).lexically_normal());
    }
    if (!inputs.builtInDataDir.empty()) {
        candidates.push_back(inputs.builtInDataDir);
    }
    std::string looked;
    for (const fs::path& dir : candidates) {
        if (isDataDirectory(dir)) {
            return {dir, {}};
        }
        looked += (looked.empty() ? "" : ", ") + quoted(dir);
    }
    return {{},
            "The program's data files (" + std::string(kSeedFile) + ") cannot be found" +
                (looked.empty() ? std::string() : " in " + looked) + ". Set " +
                std::string(kDataDirVariable) + " to the data directory, or start with --dir."};
}

ProgramDirectoryResult chooseProgramDirectory(const ProgramDirectoryInputs& inputs) {
    ProgramDirectoryResult result = chosenDirectory(inputs);
    if (result.ok())
        restoreProgramFiles(result, inputs);
    return result;
}

ProgramDirectoryInputs processProgramDirectoryInputs(std::optional<fs::path> dirArg,
                                                     const fs::path& argv0) {
    ProgramDirectoryInputs inputs;
    inputs.dirArgument = std::move(dirArg);
    std::error_code ec;
    inputs.workingDirectory = fs::current_path(ec);
    inputs.environment = [](std::string_view name) -> std::optional<std::string> {
        const char* value = std::getenv(std::string(name).c_str());
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    inputs.executable = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        inputs.executable = argv0;
    }
#ifdef VORTIMAX_SHIPPED_DATA_DIR
    inputs.builtInDataDir = VORTIMAX_SHIPPED_DATA_DIR;
#endif
    return inputs;
}

std::optional<fs::path> userProgramDirectory(const ProgramDirectoryInputs& inputs) {
    return userDirectoryOf(inputs);
}

bool isPortableDirectory(const fs::path& directory) {
    return isPortableInstall(directory);
}

} // namespace vortimax
