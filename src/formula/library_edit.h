#pragma once

// Deleting and renaming library entries, guarded by the fractals that name them.

#include "formula/library_list.h"
#include "formula/library_users.h"

#include <memory>
#include <string>
#include <string_view>

namespace vortimax {

class Frontend;

// Whether the entry called `name` may go: when fractals use it, the box "Deletion not
// possible" lists them and the answer is no; otherwise, with `confirm` (CNF_DelFrm), the
// box "Delete operation" asks and only Yes lets it go.
bool mayDeleteEntry(LibraryKind kind, std::string_view name, const EntryUsers& users, bool confirm,
                    Frontend& frontend);

// The text of the "Deletion not possible" box for the fractals `users` of entry `name`.
std::string entryInUseText(std::string_view name, const std::vector<std::string>& users);

template <class Entry> struct EntryDeletion {
    bool deleted = false;
    // The entry to select next: after the deleted one (before it when it was the last),
    // none when the library is empty; the entry itself when it stays.
    Entry* select = nullptr;
};

template <class Entry>
EntryDeletion<Entry> deleteEntry(EntryLibrary<Entry>& library, Entry& entry,
                                 const EntryUsers& users, bool confirm, Frontend& frontend) {
    if (!library.contains(entry) ||
        !mayDeleteEntry(LibraryKindOf<Entry>::kind, entry.name, users, confirm, frontend)) {
        return {false, &entry};
    }
    Entry* select = library.next(entry);
    if (select == nullptr) {
        select = library.previous(entry);
    }
    library.remove(entry);
    return {true, select};
}

// Whether an entry of that name reads back from a library file as the same name: not
// empty, not "COMMENT", no blank, control character, `(`, `{` or `}`, and not starting with
// `;` or a byte of 128 and above (the reader skips those before a name).
bool isStorableEntryName(std::string_view name);

// Gives the entry a new name (made unique in the library, re-sorted) and makes every
// fractal that named the old name name the new one. A name that could not be read back
// from a file is refused. Returns whether the name changed.
template <class Entry>
bool renameEntry(EntryLibrary<Entry>& library, Entry& entry, std::string_view newName,
                 EntryUsers& users) {
    const std::string oldName = entry.name;
    if (!isStorableEntryName(newName) || !library.rename(entry, newName)) {
        return false;
    }
    users.renameUses(LibraryKindOf<Entry>::kind, oldName, entry.name);
    return true;
}

} // namespace vortimax
