#pragma once

// The formula, IFS and L-system libraries: lists of entries sorted by name (letter case
// ignored), every name unique.

#include "formula/formula_entry.h"
#include "formula/ifs_entry.h"
#include "formula/library_kind.h"
#include "formula/lsystem_entry.h"
#include "model/named_list.h"
#include "model/unique_name.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace vortimax {

// Entries a library holds at most; loading stops adding beyond it. Keeps a hostile file
// of millions of tiny entries from growing the list (and its sorted insertion) without
// bound.
inline constexpr std::size_t kMaxLibraryEntries = 50000;

template <class Entry> struct LibraryKindOf;
template <> struct LibraryKindOf<FormulaEntry> {
    static constexpr LibraryKind kind = LibraryKind::Formula;
};
template <> struct LibraryKindOf<IfsEntry> {
    static constexpr LibraryKind kind = LibraryKind::Ifs;
};
template <> struct LibraryKindOf<LSystemEntry> {
    static constexpr LibraryKind kind = LibraryKind::LSystem;
};

template <class Entry> class EntryLibrary {
public:
    static constexpr LibraryKind kKind = LibraryKindOf<Entry>::kind;

    EntryLibrary() : list_(ListOrder::ByName, libraryKindInfo(kKind).maxNameLength) {}

    std::size_t size() const { return list_.size(); }
    bool empty() const { return list_.empty(); }
    bool full() const { return list_.size() >= kMaxLibraryEntries; }
    auto all() const { return list_.all(); }
    Entry& operator[](std::size_t index) const { return list_[index]; }
    Entry* find(std::string_view name) const { return list_.find(name); }
    bool contains(const Entry& entry) const { return list_.contains(entry); }
    Entry* next(const Entry& entry) const { return list_.next(entry); }
    Entry* previous(const Entry& entry) const { return list_.previous(entry); }

    // Adds the entry at its place by name, renamed "stem.1", "stem.2", ... when its name
    // is taken. Nothing (the entry is dropped) when the library is full.
    Entry* insert(std::unique_ptr<Entry> entry) {
        if (full()) {
            return nullptr;
        }
        return &list_.insert(std::move(entry), true);
    }

    std::unique_ptr<Entry> remove(const Entry& entry) { return list_.remove(entry); }

    // A new name, made unique (the entry may keep its own), and the entry moved to its new
    // place. Returns whether the name changed.
    bool rename(Entry& entry, std::string_view name) { return list_.rename(entry, name, true); }

    void clear() { list_.clear(); }

private:
    NamedList<Entry> list_;
};

using FormulaLibrary = EntryLibrary<FormulaEntry>;
using IfsLibrary = EntryLibrary<IfsEntry>;
using LSystemLibrary = EntryLibrary<LSystemEntry>;

} // namespace vortimax
