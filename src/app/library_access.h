#pragma once

// The commands every library editor has, on the library of one kind: listing, adding,
// duplicating, deleting, renaming and saving entries. Entries are named, never held, so
// that a load or a deletion elsewhere cannot leave a dangling entry behind. Boxes go to
// the application's frontend and are never shown while the libraries are locked.

#include "app/application.h"
#include "app/formula_libraries.h"
#include "app/library_entry_change.h"
#include "app/workspace_entry_users.h"
#include "formula/library_edit.h"
#include "formula/library_save.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vortimax {

class LibraryAccess {
public:
    struct Removal {
        bool deleted = false;
        std::string select; // the entry to show next; empty when the library is empty
    };

    virtual ~LibraryAccess() = default;
    virtual LibraryKind kind() const = 0;
    virtual std::vector<std::string> names() const = 0;
    virtual bool contains(std::string_view name) const = 0;
    // The name the new entry received (made unique); nothing when the library is full or
    // there is no entry `name`.
    virtual std::optional<std::string> insertNew() = 0;
    virtual std::optional<std::string> duplicate(std::string_view name) = 0;
    // Guarded deletion: refused while fractals use the entry, confirmed when CNF_DelFrm is on.
    virtual Removal remove(std::string_view name) = 0;
    // The entry's name afterwards (unchanged when the new one was refused).
    virtual std::optional<std::string> rename(std::string_view name, std::string_view newName) = 0;
    virtual LibrarySaveResult save(std::string_view name) = 0;
    virtual LibrarySaveResult saveAll() = 0;
};

template <class Entry> EntryLibrary<Entry>& libraryOf(FormulaLibraries& libraries) {
    if constexpr (std::is_same_v<Entry, FormulaEntry>)
        return libraries.formulas();
    else if constexpr (std::is_same_v<Entry, IfsEntry>)
        return libraries.ifs();
    else
        return libraries.lsystems();
}

template <class Entry> class EntryLibraryAccess final : public LibraryAccess {
public:
    static constexpr LibraryKind kKind = LibraryKindOf<Entry>::kind;
    using Factory = std::function<std::unique_ptr<Entry>()>;

    EntryLibraryAccess(Application& app, Factory makeNew) : app_(app), makeNew_(makeNew) {}

    EntryLibrary<Entry>& library() const { return libraryOf<Entry>(app_.formulaLibraries()); }
    Entry* find(std::string_view name) const { return library().find(name); }

    LibraryKind kind() const override { return kKind; }

    std::vector<std::string> names() const override {
        std::vector<std::string> names;
        for (const Entry& entry : library().all())
            names.push_back(entry.name);
        return names;
    }

    bool contains(std::string_view name) const override { return find(name) != nullptr; }

    std::optional<std::string> insertNew() override { return insert(makeNew_()); }

    std::optional<std::string> duplicate(std::string_view name) override {
        const Entry* entry = find(name);
        if (entry == nullptr)
            return std::nullopt;
        return insert(std::make_unique<Entry>(*entry));
    }

    Removal remove(std::string_view name) override {
        Entry* entry = find(name);
        if (entry == nullptr)
            return {};
        WorkspaceEntryUsers users(app_.workspace());
        const bool confirm = app_.settings().confirm(Confirmation::DelFrm);
        if (!mayDeleteEntry(kKind, entry->name, users, confirm, app_.frontend()))
            return {false, entry->name};
        Entry* select = library().next(*entry);
        if (select == nullptr)
            select = library().previous(*entry);
        Removal removal{true, select != nullptr ? select->name : std::string()};
        changeLibrary(app_, [&] { library().remove(*entry); });
        return removal;
    }

    std::optional<std::string> rename(std::string_view name, std::string_view newName) override {
        Entry* entry = find(name);
        if (entry == nullptr)
            return std::nullopt;
        WorkspaceEntryUsers users(app_.workspace());
        changeLibraryEntry(app_, kKind, entry->name, AfterEntryChange::Resume,
                           [&] { renameEntry(library(), *entry, newName, users); });
        return entry->name;
    }

    LibrarySaveResult save(std::string_view name) override {
        const Entry* entry = find(name);
        if (entry == nullptr)
            return LibrarySaveResult::Cancelled;
        return saveEntry(*entry, app_.frontend(), app_.settings().paths.formulaSaveDir);
    }

    LibrarySaveResult saveAll() override {
        return vortimax::saveAll(library(), app_.frontend(), app_.settings().paths.formulaSaveDir);
    }

private:
    std::optional<std::string> insert(std::unique_ptr<Entry> entry) {
        Entry* inserted = nullptr;
        changeLibrary(app_, [&] { inserted = library().insert(std::move(entry)); });
        if (inserted == nullptr)
            return std::nullopt;
        return inserted->name;
    }

    Application& app_;
    Factory makeNew_;
};

} // namespace vortimax
