#include "animation/palette_interpolation.h"

#include "base/natural_spline.h"
#include "palette/palette_list.h"

#include <algorithm>
#include <cmath>

namespace vortimax {

namespace {

constexpr double kTurn = static_cast<double>(kPaletteColours);
constexpr double kHalfTurn = 126.0;

struct PaletteKey {
    double position = 0.0;
    const Palette* palette = nullptr;
    double offset = 0.0;
};

PaletteKey keyPalette(const FractalRecord& key, double position, const PaletteList& palettes) {
    if (!key.palNameAnim.empty())
        if (const Palette* found = palettes.find(key.palNameAnim))
            return {position, found, key.palOffsetAnim};
    if (!key.palName.empty())
        if (const Palette* found = palettes.find(key.palName))
            return {position, found, key.palOffset};
    return {position, &palettes.defaultPalette(), 0.0};
}

// The first key, then every key naming an animation palette, at positions accumulated
// with truncation over all keys.
std::vector<PaletteKey> paletteKeys(const std::vector<const FractalRecord*>& keys,
                                    const PaletteList& palettes) {
    std::vector<PaletteKey> found;
    double position = 0.0;
    for (std::size_t j = 0; j < keys.size(); ++j) {
        if (j > 0)
            position = std::trunc(position + keys[j]->numFrames);
        if (j == 0 || !keys[j]->palNameAnim.empty())
            found.push_back(keyPalette(*keys[j], position, palettes));
    }
    return found;
}

NaturalSpline::Kind kindOf(const AnimData& data) {
    return data.spline() ? NaturalSpline::Kind::Cubic : NaturalSpline::Kind::Linear;
}

std::uint8_t channelByte(double value) {
    if (std::isnan(value))
        return 0;
    return static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0));
}

} // namespace

std::vector<double> unwrappedOffsets(std::vector<double> offsets) {
    for (std::size_t j = 1; j < offsets.size(); ++j) {
        if (!std::isfinite(offsets[j]))
            offsets[j] = offsets[j - 1];
        // Whole turns at once, so a hostile offset costs no loop.
        const double turns = std::trunc((offsets[j] - offsets[j - 1]) / kTurn);
        offsets[j] -= turns * kTurn;
        while (offsets[j] - offsets[j - 1] >= kHalfTurn)
            offsets[j] -= kTurn;
        while (offsets[j - 1] - offsets[j] >= kHalfTurn)
            offsets[j] += kTurn;
    }
    return offsets;
}

FramePalette interpolatePalette(const std::vector<const FractalRecord*>& keys, const AnimData& data,
                                std::int64_t frame, const PaletteList& palettes, bool apply) {
    FramePalette result;
    if (keys.empty())
        return result;
    const std::vector<PaletteKey> found = paletteKeys(keys, palettes);
    const double p = static_cast<double>(frame - 1);
    std::vector<double> xs;
    for (const PaletteKey& key : found)
        xs.push_back(key.position);
    RgbTriples colours{};
    for (std::size_t entry = 0; entry < kPaletteColours; ++entry)
        for (std::size_t channel = 0; channel < 3; ++channel) {
            std::vector<double> ys;
            for (const PaletteKey& key : found) {
                const Rgb c = key.palette->colour(entry);
                ys.push_back(channel == 0 ? c.red : channel == 1 ? c.green : c.blue);
            }
            colours[entry][channel] =
                channelByte(NaturalSpline(xs, std::move(ys), kindOf(data))(p));
        }
    for (std::size_t entry = kPaletteColours; entry < kPaletteEntries; ++entry) {
        const Rgb c = found.front().palette->colour(entry);
        colours[entry] = {static_cast<std::uint8_t>(c.red), static_cast<std::uint8_t>(c.green),
                          static_cast<std::uint8_t>(c.blue)};
    }
    std::vector<double> offsets;
    for (const PaletteKey& key : found)
        offsets.push_back(std::isfinite(key.offset) ? key.offset : 0.0);
    double offset = NaturalSpline(xs, unwrappedOffsets(std::move(offsets)), kindOf(data))(p);
    offset = std::fmod(offset, kTurn);
    if (offset < 0.0)
        offset += kTurn;
    result.offset = static_cast<int>(offset + 0.5) % static_cast<int>(kPaletteColours);
    result.palette = Palette(colours);
    if (!apply)
        return result;
    RgbTriples rotated = colours;
    for (std::size_t i = 0; i < kPaletteColours; ++i) {
        const Rgb c = colourAt(result.palette, static_cast<double>(i) - result.offset);
        rotated[i] = {static_cast<std::uint8_t>(c.red), static_cast<std::uint8_t>(c.green),
                      static_cast<std::uint8_t>(c.blue)};
    }
    result.palette = Palette(rotated);
    result.offset = 0;
    return result;
}

} // namespace vortimax
