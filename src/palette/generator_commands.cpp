#include "palette/generator_commands.h"

#include <memory>

namespace vortimax {

std::variant<Palette*, std::string> generateNewPalette(PaletteList& list, const Palette& source,
                                                       const GeneratorSettings& settings,
                                                       std::uint32_t& seed, FractalRecord* active) {
    if (auto refusal = generatorRefusal(settings))
        return *refusal;
    auto copy = std::make_unique<Palette>(source);
    copy->setName(kGeneratedPaletteName);
    generatePalette(*copy, settings, seed);
    Palette& added = list.insertUnique(std::move(copy));
    list.setCurrent(&added);
    if (active != nullptr)
        active->palName = added.name();
    return &added;
}

std::optional<std::string> generateInPlace(Palette& palette, const GeneratorSettings& settings,
                                           std::uint32_t& seed) {
    if (auto refusal = generatorRefusal(settings))
        return refusal;
    generatePalette(palette, settings, seed);
    return std::nullopt;
}

} // namespace vortimax
