#pragma once

// The three kinds of library file (formulas, IFS, L-systems) and what differs between them,
// kept as one table.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace vortimax {

enum class LibraryKind { Formula = 0, Ifs = 1, LSystem = 2 };

inline constexpr std::size_t kLibraryKindCount = 3;

struct LibraryKindInfo {
    LibraryKind kind;
    std::string_view extension;   // ".frm"; matched in any letter case
    std::string_view filter;      // "*.frm", for requesters
    std::uint32_t fractalType;    // the type of the fractals that name such entries
    std::string_view nameKey;     // the parameter in which those fractals name the entry
    std::size_t maxNameLength;    // longest entry name kept
    std::string_view loadTitle;   // progress window of the Load commands
    std::string_view startupText; // progress text at start-up, followed by the file name
    std::string_view noEntryHint; // what else a file without entries may be; may be empty
};

const LibraryKindInfo& libraryKindInfo(LibraryKind kind);

// The message-window line for a file of that kind in which no entry was found.
std::string noEntriesText(LibraryKind kind, const std::filesystem::path& file);

// The kind whose extension `file` has (letter case ignored); nothing for other files.
std::optional<LibraryKind> libraryKindOfFile(const std::filesystem::path& file);

} // namespace vortimax
