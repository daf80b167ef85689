#pragma once

#include "app/temp_dir.h"
#include "palette/palette_list.h"

#include <string>
#include <string_view>
#include <vector>

namespace vortimax::test {

using Names = std::vector<std::string>;

inline Names names(const PaletteList& list) {
    Names result;
    for (const Palette& palette : list.palettes().all())
        result.push_back(palette.name());
    return result;
}

// Entry i of 0..251 is the grey shift + step * i.
inline Palette greyRamp(std::string_view name, int shift = 0, int step = 1) {
    Palette palette;
    palette.setName(name);
    for (int i = 0, grey = shift; i < static_cast<int>(kPaletteColours); ++i, grey += step)
        palette.setColour(static_cast<std::size_t>(i), {grey, grey, grey});
    return palette;
}

// Adds a grey ramp under the unique form of `name`.
inline Palette& addRamp(PaletteList& list, std::string_view name, int shift = 0) {
    return list.insertUnique(std::make_unique<Palette>(greyRamp(name, shift)));
}

} // namespace vortimax::test
