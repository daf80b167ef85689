#pragma once

// Reading formula, IFS and L-system files into their libraries.

#include "formula/library_list.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string_view>

namespace vortimax {

class Progress;

struct LibraryLoadResult {
    bool read = false;       // the file could be read
    std::size_t added = 0;   // entries inserted
    std::size_t dropped = 0; // formulas that do not compile, and entries beyond a full library
    bool aborted = false;    // an abort request stopped the load after an entry
};

// The entry a body makes: a formula only when it compiles (nothing is shown), an IFS entry
// with every transformation of the body (elements that do not compile evaluate as 0), an
// L-system entry with its keywords and merged rules.
std::unique_ptr<FormulaEntry> formulaFromBody(std::string_view name, std::string_view body);
std::unique_ptr<IfsEntry> ifsFromBody(std::string_view name, std::string_view body);
std::unique_ptr<LSystemEntry> lsystemFromBody(std::string_view name, std::string_view body);

// Adds the entries of a file's text to the library (names made unique). With a progress,
// its fraction follows the text and an abort stops after the current entry.
LibraryLoadResult loadLibraryText(FormulaLibrary& library, std::string_view text,
                                  Progress* progress = nullptr);
LibraryLoadResult loadLibraryText(IfsLibrary& library, std::string_view text,
                                  Progress* progress = nullptr);
LibraryLoadResult loadLibraryText(LSystemLibrary& library, std::string_view text,
                                  Progress* progress = nullptr);

// Reads one file (the progress text becomes "Loading file NAME.EXT") and adds its entries. A
// file that cannot be read, or is empty, adds nothing and shows nothing.
LibraryLoadResult loadFormulaFile(FormulaLibrary& library, const std::filesystem::path& file,
                                  Progress* progress = nullptr);
LibraryLoadResult loadIfsFile(IfsLibrary& library, const std::filesystem::path& file,
                              Progress* progress = nullptr);
LibraryLoadResult loadLSystemFile(LSystemLibrary& library, const std::filesystem::path& file,
                                  Progress* progress = nullptr);

// The same three, chosen by the library's type.
inline LibraryLoadResult loadLibraryFile(FormulaLibrary& library, const std::filesystem::path& file,
                                         Progress* progress = nullptr) {
    return loadFormulaFile(library, file, progress);
}
inline LibraryLoadResult loadLibraryFile(IfsLibrary& library, const std::filesystem::path& file,
                                         Progress* progress = nullptr) {
    return loadIfsFile(library, file, progress);
}
inline LibraryLoadResult loadLibraryFile(LSystemLibrary& library, const std::filesystem::path& file,
                                         Progress* progress = nullptr) {
    return loadLSystemFile(library, file, progress);
}

} // namespace vortimax
