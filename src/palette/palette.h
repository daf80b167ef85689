#pragma once

#include "model/colour_table.h"
#include "model/named_list.h"
#include "palette/hsv.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vortimax {

constexpr std::size_t kPaletteEntries = 256;
// Entries 0..251 are the palette's own colours: map files store them, colour cycling
// rotates them and duplicate detection compares them. 252..255 are fixed on screen.
constexpr std::size_t kPaletteColours = 252;
constexpr std::size_t kMaxPaletteNameLength = 79;

// The channels of the knot flags, numbered as the palette editor numbers its curves.
enum class Channel { Red = 0, Green = 1, Blue = 2 };

// Red, green and blue bytes of every entry.
using RgbTriples = std::array<std::array<std::uint8_t, 3>, kPaletteEntries>;

// The colours of the built-in default palette.
const RgbTriples& defaultPaletteColours();

// A named set of 256 colours. Every entry carries the flag byte 1 and knot flags for the
// three curves of the palette editor; the HSV table follows every change of a colour.
class Palette {
public:
    // "empty palette": every entry black and a knot in all channels.
    Palette();
    // "Palette": the given colours, every entry a knot in all channels.
    explicit Palette(const RgbTriples& colours);

    const std::string& name() const { return name_; }
    // Cut to 79 characters. A palette in a PaletteList is renamed through the list, which
    // keeps its order.
    void setName(std::string_view name);

    const std::array<ColourEntry, kPaletteEntries>& entries() const { return entries_; }
    const std::array<HsvEntry, kPaletteEntries>& hsv() const { return hsv_; }
    Rgb colour(std::size_t index) const;
    // Each channel keeps its low 8 bits. Indices beyond 255 throw std::out_of_range.
    void setColour(std::size_t index, Rgb colour);

    bool isKnot(Channel channel, std::size_t index) const;
    void setKnot(Channel channel, std::size_t index, bool knot);
    // The knot flags of an entry as a mask: 4 red, 2 green, 1 blue.
    int knotKey(std::size_t index) const;
    // Sets the three knot flags of an entry from the low three bits of `key`.
    void setKnotKey(std::size_t index, int key);

    // Whether entries 0..251 are equal in red, green and blue.
    bool sameColours(const Palette& other) const;

    // Whether a map file holds these colours under this name, so that a parameter file
    // may name the palette instead of listing its colours. The map reader sets it; a
    // new name or a changed colour clears it.
    bool storedInMapFile() const { return storedInMapFile_; }
    void setStoredInMapFile(bool stored) { storedInMapFile_ = stored; }

    // Name, colours and knots; where the palette is stored does not count.
    bool operator==(const Palette& other) const;

private:
    void setEntry(std::size_t index, std::uint8_t red, std::uint8_t green, std::uint8_t blue);

    std::string name_;
    std::array<ColourEntry, kPaletteEntries> entries_{};
    std::array<std::array<bool, kPaletteEntries>, 3> knots_{};
    std::array<HsvEntry, kPaletteEntries> hsv_{};
    bool storedInMapFile_ = false;
};

template <> struct NamedListTraits<Palette> {
    static std::string_view name(const Palette& palette) { return palette.name(); }
    static void setName(Palette& palette, std::string name) { palette.setName(name); }
};

// The palette offset as the palette is shown: rounded to the nearest integer and taken
// modulo 252, so 251.5 shows like 0. Not-finite offsets give 0.
int roundedPaletteOffset(double offset);

// The palette as a fractal shows it with palette offset `offset` (rounded to the nearest
// integer, then taken modulo 252; a NaN or infinite offset counts as 0): palette entry i
// goes to display entry (offset + i) mod 252. Entry 252 is black, 253 white, 254 grey
// 127, all with flag 0; entry 255 stays empty.
ColourTable displayForm(const Palette& palette, double offset);

// The colour a real position of the way through the table's 252 colours, interpolated in
// HSV between its two neighbours (251 is followed by 0). Positions outside 0 <= p < 252
// are brought into that range by whole turns of 252; NaN and infinities count as 0.
Rgb colourAt(const std::array<HsvEntry, kPaletteEntries>& hsv, double position);
inline Rgb colourAt(const Palette& palette, double position) {
    return colourAt(palette.hsv(), position);
}

} // namespace vortimax
