#include "palette/palette.h"

#include "base/text_utils.h"

#include <cmath>

namespace vortimax {

namespace {

constexpr std::size_t channelIndex(Channel channel) {
    return static_cast<std::size_t>(channel);
}

constexpr int kKnotBits[3] = {4, 2, 1}; // red, green, blue

// The fixed entries behind the palette's own colours on screen.
struct FixedEntry {
    std::size_t index;
    ColourEntry colour;
    HsvEntry hsv;
};

constexpr FixedEntry kFixedEntries[] = {
    {252, {0, 0, 0, 0}, {0, 0, 0}},
    {253, {255, 255, 255, 0}, {0, 0, 255}},
    {254, {127, 127, 127, 0}, {0, 0, 127}},
};

// A whole number of entries 0..251 for an offset or position; not-finite values give 0.
double wrapPosition(double position) {
    if (!std::isfinite(position))
        return 0.0;
    double wrapped = std::fmod(position, static_cast<double>(kPaletteColours));
    if (wrapped < 0.0)
        wrapped += static_cast<double>(kPaletteColours);
    // A tiny negative value plus 252 can round up to 252 itself.
    return wrapped < static_cast<double>(kPaletteColours) ? wrapped : 0.0;
}

} // namespace

Palette::Palette() : name_("empty palette") {
    for (std::size_t i = 0; i < kPaletteEntries; ++i)
        setEntry(i, 0, 0, 0);
    for (auto& channel : knots_)
        channel.fill(true);
}

Palette::Palette(const RgbTriples& colours) : name_("Palette") {
    for (std::size_t i = 0; i < kPaletteEntries; ++i)
        setEntry(i, colours[i][0], colours[i][1], colours[i][2]);
    for (auto& channel : knots_)
        channel.fill(true);
}

void Palette::setName(std::string_view name) {
    std::string cut = cutName(name, kMaxPaletteNameLength);
    if (!equalsIgnoreCase(cut, name_))
        storedInMapFile_ = false;
    name_ = std::move(cut);
}

Rgb Palette::colour(std::size_t index) const {
    const ColourEntry& entry = entries_.at(index);
    return {entry.red, entry.green, entry.blue};
}

void Palette::setColour(std::size_t index, Rgb colour) {
    setEntry(index, static_cast<std::uint8_t>(colour.red), static_cast<std::uint8_t>(colour.green),
             static_cast<std::uint8_t>(colour.blue));
}

void Palette::setEntry(std::size_t index, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    const ColourEntry entry{blue, green, red, 1};
    ColourEntry& stored = entries_.at(index);
    if (stored.red != red || stored.green != green || stored.blue != blue)
        storedInMapFile_ = false;
    stored = entry;
    hsv_[index] = rgbToHsv(red, green, blue);
}

bool Palette::isKnot(Channel channel, std::size_t index) const {
    return knots_.at(channelIndex(channel)).at(index);
}

void Palette::setKnot(Channel channel, std::size_t index, bool knot) {
    knots_.at(channelIndex(channel)).at(index) = knot;
}

int Palette::knotKey(std::size_t index) const {
    int key = 0;
    for (std::size_t c = 0; c < 3; ++c)
        if (knots_[c].at(index))
            key |= kKnotBits[c];
    return key;
}

void Palette::setKnotKey(std::size_t index, int key) {
    for (std::size_t c = 0; c < 3; ++c)
        knots_[c].at(index) = (key & kKnotBits[c]) != 0;
}

bool Palette::operator==(const Palette& other) const {
    return name_ == other.name_ && entries_ == other.entries_ && knots_ == other.knots_ &&
           hsv_ == other.hsv_;
}

bool Palette::sameColours(const Palette& other) const {
    for (std::size_t i = 0; i < kPaletteColours; ++i) {
        const ColourEntry& a = entries_[i];
        const ColourEntry& b = other.entries_[i];
        if (a.red != b.red || a.green != b.green || a.blue != b.blue)
            return false;
    }
    return true;
}

int roundedPaletteOffset(double offset) {
    // Nearest integer first, so that 251.5 rotates by 252, which is no rotation.
    const double rounded = std::isfinite(offset) ? std::floor(offset + 0.5) : 0.0;
    return static_cast<int>(wrapPosition(rounded));
}

ColourTable displayForm(const Palette& palette, double offset) {
    const auto k = static_cast<std::size_t>(roundedPaletteOffset(offset));
    ColourTable table;
    for (std::size_t i = 0; i < kPaletteColours; ++i) {
        const std::size_t target = (k + i) % kPaletteColours;
        table.entries[target] = palette.entries()[i]; // flag 1, like every palette entry
        table.hsv[target] = palette.hsv()[i];
    }
    for (const FixedEntry& fixed : kFixedEntries) {
        table.entries[fixed.index] = fixed.colour;
        table.hsv[fixed.index] = fixed.hsv;
    }
    return table;
}

Rgb colourAt(const std::array<HsvEntry, kPaletteEntries>& hsv, double position) {
    const double p = wrapPosition(position);
    const auto i = static_cast<std::size_t>(p);
    const double f = p - static_cast<double>(i);
    const std::size_t j = i + 1 == kPaletteColours ? 0 : i + 1;
    const HsvEntry mixed = interpolateHsv(hsv[i], hsv[j], f);
    return hsvToRgb(mixed.hue, mixed.saturation, mixed.value);
}

} // namespace vortimax
