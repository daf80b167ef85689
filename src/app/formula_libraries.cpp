#include "app/formula_libraries.h"

#include "app/application.h"
#include "base/abortable_load.h"
#include "base/frontend.h"
#include "base/text_utils.h"
#include "render/escape/formula_driver.h"
#include "render/geometry/geometry_drivers.h"

#include <algorithm>
#include <array>
#include <system_error>
#include <type_traits>

namespace vortimax {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kScanFailed = "Error while scanning directory, FindNextFile";
constexpr std::string_view kLibraryFull = "The library is full, entries were not loaded from ";

using FilesByKind = std::array<std::vector<fs::path>, kLibraryKindCount>;

// The library files of a directory by kind, each list in name order. A directory that
// cannot be opened has none; one whose listing breaks off is reported.
FilesByKind libraryFilesIn(const fs::path& directory, Frontend& frontend) {
    FilesByKind files;
    std::error_code error;
    fs::directory_iterator it(directory, error);
    if (error) {
        return files;
    }
    while (it != fs::directory_iterator()) {
        std::error_code ignored;
        const auto kind = libraryKindOfFile(it->path());
        if (kind && it->is_regular_file(ignored)) {
            files[static_cast<std::size_t>(*kind)].push_back(it->path());
        }
        if (it.increment(error); error) {
            frontend.addMessage(kScanFailed);
            break;
        }
    }
    for (auto& list : files) {
        std::sort(list.begin(), list.end(), [](const fs::path& a, const fs::path& b) {
            return compareIgnoreCase(a.filename().string(), b.filename().string()) < 0;
        });
    }
    return files;
}

} // namespace

// Reads one file; entries lost because the library is full are reported.
LibraryLoadResult FormulaLibraries::loadReported(LibraryKind kind, const fs::path& file,
                                                 Progress& progress, Frontend& frontend) {
    return visitLibrary(kind, [&](auto& library) {
        std::unique_lock guard = lock();
        const LibraryLoadResult result = loadLibraryFile(library, file, &progress);
        guard.unlock();
        if (result.dropped > 0 && library.full()) {
            frontend.addMessage(std::string(kLibraryFull) + file.string());
        }
        if (result.read && result.added == 0 && result.dropped == 0 && !result.aborted) {
            frontend.addMessage(noEntriesText(kind, file));
        }
        return result;
    });
}

namespace {
template <class Library> std::vector<std::string> namesOf(const Library& library) {
    std::vector<std::string> names;
    for (const auto& entry : library.all())
        names.push_back(entry.name);
    return names;
}
} // namespace

std::vector<std::string> FormulaLibraries::entryNames(LibraryKind kind) const {
    std::unique_lock guard = lock();
    switch (kind) {
    case LibraryKind::Ifs:
        return namesOf(ifs_);
    case LibraryKind::LSystem:
        return namesOf(lsystems_);
    case LibraryKind::Formula:
        break;
    }
    return namesOf(formulas_);
}

void FormulaLibraries::loadDirectories(const std::vector<fs::path>& directories, Progress& progress,
                                       Frontend& frontend) {
    for (const fs::path& directory : directories) {
        const FilesByKind files = libraryFilesIn(directory, frontend);
        for (std::size_t kind = 0; kind < kLibraryKindCount; ++kind) {
            const LibraryKindInfo& info = libraryKindInfo(static_cast<LibraryKind>(kind));
            for (const fs::path& file : files[kind]) {
                if (progress.abortRequested()) {
                    return;
                }
                progress.setText(std::string(info.startupText) + file.filename().string());
                loadReported(info.kind, file, progress, frontend);
            }
        }
    }
}

void FormulaLibraries::loadFiles(LibraryKind kind, const std::vector<fs::path>& files,
                                 Frontend& frontend) {
    runAbortableLoad(frontend, libraryKindInfo(kind).loadTitle, [&](Progress& progress) {
        for (const fs::path& file : files) {
            if (progress.abortRequested() || loadReported(kind, file, progress, frontend).aborted) {
                return true;
            }
        }
        return false;
    });
    if (changeListener_) {
        changeListener_(kind);
    }
}

bool FormulaLibraries::loadFiles(const std::vector<fs::path>& files, Frontend& frontend) {
    if (files.empty()) {
        return false;
    }
    const std::optional<LibraryKind> kind = libraryKindOfFile(files.front());
    if (!kind) {
        return false;
    }
    loadFiles(*kind, files, frontend);
    return true;
}

void FormulaLibraries::install(Application& app) {
    app.setFormulaDirectoryLoader(
        [this, &app](const std::vector<fs::path>& directories, Progress& progress) {
            loadDirectories(directories, progress, app.frontend());
        });
    app.setLibraryFileLoader([this, &app](const std::vector<fs::path>& files) {
        return loadFiles(files, app.frontend());
    });
    installCalculations(app.views().drivers, app.views().hooks);
}

void FormulaLibraries::installCalculations(DriverTable& drivers, ViewHooks& hooks) {
    installFormulaDriver(drivers, hooks,
                         [this](std::string_view name) { return compiledFormula(name); });
    installGeometryDrivers(
        drivers, hooks, [this](std::string_view name) { return ifsDefinition(name); },
        [this](std::string_view name) { return lsystemDefinition(name); });
}

std::optional<FormulaCode> FormulaLibraries::compiledFormula(std::string_view name) const {
    std::lock_guard guard(mutex_);
    const FormulaEntry* entry = formulas_.find(name);
    if (entry == nullptr)
        return std::nullopt;
    return entry->code;
}

namespace {
template <class Library>
auto definitionCopy(const Library& library, std::string_view name)
    -> std::optional<std::remove_cvref_t<decltype(*library.find(name))>> {
    const auto* entry = library.find(name);
    if (entry == nullptr)
        return std::nullopt;
    return *entry;
}
} // namespace

std::optional<IfsEntry> FormulaLibraries::ifsDefinition(std::string_view name) const {
    std::lock_guard guard(mutex_);
    return definitionCopy(ifs_, name);
}

std::optional<LSystemEntry> FormulaLibraries::lsystemDefinition(std::string_view name) const {
    std::lock_guard guard(mutex_);
    return definitionCopy(lsystems_, name);
}

} // namespace vortimax
