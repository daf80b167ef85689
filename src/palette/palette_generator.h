#pragma once

#include "palette/palette.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace vortimax {

// How the palette generator fills a palette.
enum class GeneratorMode { StartStep = 0, Sine = 1, Fourier = 2, Random = 3 };

constexpr int kGeneratorParameters = 13;
constexpr int kMaxSineSegments = 6;

// The settings of the palette generator: thirteen reals per channel, P[p][c] with
// p = 0..12 and c = 0 red, 1 green, 2 blue. Start/Step reads only channel slot 0 (start
// and step of channel c are P[2c][0] and P[2c+1][0]); the other modes read each
// channel's own slot.
struct GeneratorSettings {
    GeneratorMode mode = GeneratorMode::StartStep;
    int component = 0; // the channel the window's fields address outside Start/Step
    int entries = 1;   // sine segments
    bool realtime = false;
    std::array<std::array<double, 3>, kGeneratorParameters> p{};

    // The channel slot the window's fields address in the present mode.
    int fieldSlot() const { return mode == GeneratorMode::StartStep ? 0 : component; }
};

// Why the settings cannot make a palette, or nothing when they can. Sine refuses a
// segment count outside 1..6 and a segment length that is not a positive number, which
// would divide by zero or read beyond the thirteen parameters.
std::optional<std::string> generatorRefusal(const GeneratorSettings& settings);

// Fills entries 0..251 of the palette from the settings and makes every one of them a
// knot in all three channels. Random draws from the generator behind the formula word
// `rand`, advancing `seed`. Settings refused by generatorRefusal leave the palette as it
// is and return false.
bool generatePalette(Palette& palette, const GeneratorSettings& settings, std::uint32_t& seed);

} // namespace vortimax
