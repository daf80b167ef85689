#pragma once

#include "model/named_list.h"
#include "palette/palette.h"

#include <memory>
#include <string>
#include <string_view>

namespace vortimax {

// Every palette of the program, sorted by name (letter case ignored), names unique and at
// most 79 characters. The built-in default palette "Palette" is always a member and can
// never be removed. The list also remembers the current palette (last selected or
// applied) and the last palette the map reader added.
class PaletteList {
public:
    PaletteList();
    PaletteList(const PaletteList&) = delete;
    PaletteList& operator=(const PaletteList&) = delete;

    const NamedList<Palette>& palettes() const { return list_; }
    std::size_t size() const { return list_.size(); }
    Palette& defaultPalette() const { return *default_; }
    bool isDefault(const Palette& palette) const { return &palette == default_; }
    bool contains(const Palette& palette) const { return list_.contains(palette); }

    // The palette of that name (letter case ignored), or none.
    Palette* find(std::string_view name) const { return list_.find(name); }
    // The palette of that name, or the default palette when no palette has it: a fractal
    // naming a palette that is gone is coloured with the default palette.
    Palette& findByName(std::string_view name) const;
    // The first palette in list order whose colours 0..251 equal the candidate's, or none.
    // Its name does not matter: a palette of the same name with other colours is not a
    // duplicate, and one of another name counts only with exactly the same colours.
    Palette* findDuplicate(const Palette& candidate) const;

    // The candidate when no palette other than `self` has it; otherwise its base (trailing
    // digits and dots removed), then "base.1", "base.2", ... whichever is free first.
    std::string uniqueName(std::string_view candidate, const Palette* self = nullptr) const;
    // Adds the palette under a unique name (an empty name becomes "Unnamed") at its place.
    Palette& insertUnique(std::unique_ptr<Palette> palette);
    // Takes a member out; nothing for the default palette and for non-members. The current
    // and last-added palettes forget it.
    std::unique_ptr<Palette> remove(Palette& palette);
    // Gives a member the unique form of `name` and moves it to its new place. An empty
    // name is refused. Returns whether the name changed.
    bool rename(Palette& palette, std::string_view name);

    Palette* previous(const Palette& palette) const { return list_.previous(palette); }
    Palette* next(const Palette& palette) const { return list_.next(palette); }

    Palette* current() const { return current_; }
    void setCurrent(Palette* palette);
    Palette* lastAdded() const { return lastAdded_; }
    void setLastAdded(Palette* palette);

private:
    Palette* memberOrNull(Palette* palette) const;

    NamedList<Palette> list_{ListOrder::ByName, kMaxPaletteNameLength};
    Palette* default_ = nullptr;
    Palette* current_ = nullptr;
    Palette* lastAdded_ = nullptr;
};

} // namespace vortimax
