#pragma once

// Saving library entries: one entry into a chosen file (with checks of that file and
// questions), or a whole library into one file. Every question goes through the Frontend;
// files are always replaced as a whole, so a failure never leaves one half-written, and a
// failure to write is reported.

#include "base/entry_save.h"
#include "base/frontend.h"
#include "formula/library_kind.h"
#include "formula/library_writer.h"

#include <filesystem>
#include <string_view>

namespace vortimax {

using LibrarySaveResult = EntrySaveResult;

// Scratch copy of the entry, made in the chosen directory and deleted when the save ends.
inline constexpr std::string_view kLibraryScratchFileName = kEntryScratchFileName;

// Save one entry (its text as entryText gives it): a requester starting in `directory`
// (which then remembers the directory chosen), then checks of the chosen file, each
// question in a box "Saving formula entry" with Yes/No/Cancel:
// - bytes outside tab, LF, CR and 32..127, or a broken entry structure: append anyway?
//   (both questions when both apply; anything but Yes ends the save);
// - an entry of the same name: Yes replaces exactly that entry, No appends the new one,
//   Cancel writes nothing;
// - otherwise the file is created or appended to, a line break before the entry.
// The entry's lines end in CR LF; the rest of the file keeps its bytes.
LibrarySaveResult saveEntryText(LibraryKind kind, std::string_view name, std::string_view text,
                                Frontend& frontend, std::filesystem::path& directory);

template <class Entry>
LibrarySaveResult saveEntry(const Entry& entry, Frontend& frontend,
                            std::filesystem::path& directory) {
    return saveEntryText(LibraryKindOf<Entry>::kind, entry.name, entryText(entry), frontend,
                         directory);
}

// Save all: a requester, then the chosen file is replaced by every entry of the library,
// each followed by an empty line.
LibrarySaveResult saveAllText(LibraryKind kind, std::string_view text, Frontend& frontend,
                              std::filesystem::path& directory);

template <class Entry>
LibrarySaveResult saveAll(const EntryLibrary<Entry>& library, Frontend& frontend,
                          std::filesystem::path& directory) {
    return saveAllText(LibraryKindOf<Entry>::kind, libraryText(library), frontend, directory);
}

} // namespace vortimax
