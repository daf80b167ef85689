#pragma once

// The formula, IFS and L-system libraries of the program and how they are filled: from the
// formula directories at start-up and from files chosen in a Load command.

#include "formula/library_load.h"
#include "model/view_environment.h"

#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

namespace vortimax {

class Application;
class Frontend;

class FormulaLibraries {
public:
    FormulaLibraries() = default;
    FormulaLibraries(const FormulaLibraries&) = delete;
    FormulaLibraries& operator=(const FormulaLibraries&) = delete;

    FormulaLibrary& formulas() { return formulas_; }
    IfsLibrary& ifs() { return ifs_; }
    LSystemLibrary& lsystems() { return lsystems_; }
    const FormulaLibrary& formulas() const { return formulas_; }
    const IfsLibrary& ifs() const { return ifs_; }
    const LSystemLibrary& lsystems() const { return lsystems_; }

    // Start-up, on the loader thread: for each directory in order its "*.frm", "*.ifs" and
    // "*.l" files (extension in any letter case, in name order), with the progress text
    // "Loading formula NAME" ("Loading IFS formula NAME", "Loading LSystem formula NAME")
    // before each. A listing that fails part-way is reported to the message window; an
    // abort stops before the next file.
    void loadDirectories(const std::vector<std::filesystem::path>& directories, Progress& progress,
                         Frontend& frontend);

    // Load command: reads all files as the kind of the first file's extension under the
    // progress window "Loading formulas" ("Loading IFS formulas", "Loading LSystem
    // formulas"); cancelling it stops after the current entry, and until then "Load was
    // aborted..." is repeated. False, reading nothing, when the first file is none of the
    // three kinds (or there is no file).
    bool loadFiles(const std::vector<std::filesystem::path>& files, Frontend& frontend);
    // The Load command of one editor: every file read as `kind`.
    void loadFiles(LibraryKind kind, const std::vector<std::filesystem::path>& files,
                   Frontend& frontend);

    // Installs the start-up loader, the generic Load's loader and the calculations that
    // read the libraries (the Formula, IFS and LSystem types) on the application. The
    // libraries must outlive it.
    void install(Application& app);
    // Installs those calculations alone.
    void installCalculations(DriverTable& drivers, ViewHooks& hooks);

    // The names of a library's entries in list order (letter case ignored).
    std::vector<std::string> entryNames(LibraryKind kind) const;

    // A copy of the compiled code of a formula, or nothing when there is no such entry.
    // Calculation threads call it while the interface thread may be loading: both go
    // through the libraries' lock.
    std::optional<FormulaCode> compiledFormula(std::string_view name) const;
    // Copies of an IFS or L-system definition, the same way.
    std::optional<IfsEntry> ifsDefinition(std::string_view name) const;
    std::optional<LSystemEntry> lsystemDefinition(std::string_view name) const;
    // Holds the libraries' lock; whoever changes a library while fractals may calculate
    // takes it for the change.
    std::unique_lock<std::mutex> lock() const { return std::unique_lock(mutex_); }

    // Told after a Load command has changed a library, so its list window refreshes.
    void setChangeListener(std::function<void(LibraryKind)> listener) {
        changeListener_ = std::move(listener);
    }

    // Calls `visit` with the library of `kind`.
    template <class Visit> decltype(auto) visitLibrary(LibraryKind kind, Visit&& visit) {
        switch (kind) {
        case LibraryKind::Ifs:
            return visit(ifs_);
        case LibraryKind::LSystem:
            return visit(lsystems_);
        case LibraryKind::Formula:
            break;
        }
        return visit(formulas_);
    }

private:
    LibraryLoadResult loadReported(LibraryKind kind, const std::filesystem::path& file,
                                   Progress& progress, Frontend& frontend);

    mutable std::mutex mutex_;
    FormulaLibrary formulas_;
    IfsLibrary ifs_;
    LSystemLibrary lsystems_;
    std::function<void(LibraryKind)> changeListener_;
};

} // namespace vortimax
