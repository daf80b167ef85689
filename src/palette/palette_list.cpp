#include "palette/palette_list.h"

#include "model/unique_name.h"

namespace vortimax {

namespace {

constexpr std::string_view kUnnamed = "Unnamed";

} // namespace

PaletteList::PaletteList() {
    default_ = &list_.insert(std::make_unique<Palette>(defaultPaletteColours()), false);
    current_ = default_;
}

Palette& PaletteList::findByName(std::string_view name) const {
    Palette* found = list_.find(name);
    return found != nullptr ? *found : *default_;
}

Palette* PaletteList::findDuplicate(const Palette& candidate) const {
    for (Palette& palette : list_.all())
        if (palette.sameColours(candidate))
            return &palette;
    return nullptr;
}

std::string PaletteList::uniqueName(std::string_view candidate, const Palette* self) const {
    auto taken = [&](std::string_view name) { return list_.isNameTaken(name, self); };
    std::string name = cutName(candidate, kMaxPaletteNameLength);
    if (!taken(name))
        return name;
    std::string base(nameStem(name));
    if (!base.empty() && !taken(base))
        return base;
    // A new palette cannot clash with itself: the list's index remembers where the
    // numbers of this base stand.
    if (self == nullptr)
        return list_.firstFreeSuffixed(base);
    return firstFreeSuffixed(base, taken, kMaxPaletteNameLength);
}

Palette& PaletteList::insertUnique(std::unique_ptr<Palette> palette) {
    const std::string_view wanted = palette->name().empty() ? kUnnamed : palette->name();
    palette->setName(uniqueName(wanted));
    return list_.insert(std::move(palette), false);
}

std::unique_ptr<Palette> PaletteList::remove(Palette& palette) {
    if (isDefault(palette))
        return nullptr;
    std::unique_ptr<Palette> owned = list_.remove(palette);
    if (owned == nullptr)
        return nullptr;
    if (current_ == owned.get())
        current_ = nullptr;
    if (lastAdded_ == owned.get())
        lastAdded_ = nullptr;
    return owned;
}

bool PaletteList::rename(Palette& palette, std::string_view name) {
    if (name.empty() || !list_.contains(palette))
        return false;
    return list_.rename(palette, uniqueName(name, &palette), false);
}

Palette* PaletteList::memberOrNull(Palette* palette) const {
    return palette != nullptr && list_.contains(*palette) ? palette : nullptr;
}

void PaletteList::setCurrent(Palette* palette) {
    current_ = memberOrNull(palette);
}

void PaletteList::setLastAdded(Palette* palette) {
    lastAdded_ = memberOrNull(palette);
}

} // namespace vortimax
