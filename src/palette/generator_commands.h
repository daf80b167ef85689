#pragma once

#include "model/fractal_record.h"
#include "palette/palette_generator.h"
#include "palette/palette_list.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace vortimax {

// The name of a palette made by the generator's Generate button; unique naming turns it
// into "Random.1", "Random.2", ... when taken.
constexpr std::string_view kGeneratedPaletteName = "Random";

// Generate: a copy of `source` named "Random" is generated, joins the list under a
// unique name, becomes the current palette and the active fractal's palette. Settings
// the generator refuses add nothing: the reason is returned instead.
std::variant<Palette*, std::string> generateNewPalette(PaletteList& list, const Palette& source,
                                                       const GeneratorSettings& settings,
                                                       std::uint32_t& seed, FractalRecord* active);

// Apply: the palette is generated in place. Returns the reason when refused.
std::optional<std::string> generateInPlace(Palette& palette, const GeneratorSettings& settings,
                                           std::uint32_t& seed);

} // namespace vortimax
