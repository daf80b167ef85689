#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vortimax {

class FractalView;

struct DitherColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const DitherColour&) const = default;
};

// The fixed palette of a 256-colour screen: the 6 x 6 x 6 colour cube (blue fastest),
// five greys, five shades each of pure green, red and blue, and black for the rest.
const std::array<DitherColour, 256>& ditherPalette();

// The palette entry nearest to each colour, by the top four bits of red, green and blue
// (index 256 red + 16 green + blue). Nearest means the smallest squared RGB distance to
// the centre of the 16 x 16 x 16 cell, the lower entry on a tie.
const std::array<std::uint8_t, 4096>& nearestColourTable();

// Channels are 0 ... 255; only their top four bits count.
inline std::uint8_t nearestColour(int red, int green, int blue) {
    const int cell = 256 * ((red >> 4) & 15) + 16 * ((green >> 4) & 15) + ((blue >> 4) & 15);
    return nearestColourTable()[static_cast<std::size_t>(cell)];
}

// Rows are computed from the middle outwards, so errors flow away from the middle: down
// for rows below the middle row, up for the middle row and those above it.
enum class DitherFlow { Downward = 0, Upward = 1 };
DitherFlow flowForRow(int row, int height);

// Floyd-Steinberg error diffusion of true-colour rows onto the fixed palette. A channel
// is the pixel plus its accumulated error, held to 0 ... 255; that value less 0.5,
// truncated, picks the palette entry, and the channel itself (not the truncated level)
// minus the entry's colour is the error passed on, so that a palette colour passes
// through unchanged instead of drifting by the half step.
//
// Each flow has its own set of error rows: a current and a next row per channel, W
// floats each, swapped after every row. Errors only pass between rows dithered one after
// the other in the direction of the flow; any other row starts its set afresh, so each
// pass (which restarts at the middle) begins with cleared rows.
//
// The error rows live in `storage` (the view's dither buffer), grown to storageBytes on
// first use, so that they come and go with the image buffers.
class Ditherer {
public:
    Ditherer(std::vector<std::uint8_t>& storage, int width);

    static std::size_t storageBytes(int width);
    // Clears both sets.
    void clear();
    // Dithers `width` pixels of blue, green, red bytes into palette indices.
    void ditherRow(const std::uint8_t* bgr, std::uint8_t* indices, int row, DitherFlow flow);

private:
    struct SetState {
        std::int32_t lastRow;
        std::int32_t currentHalf; // which half of the set's rows holds the current row
    };
    SetState state(DitherFlow flow) const;
    void setState(DitherFlow flow, const SetState& s);
    void clearSet(DitherFlow flow);
    // Byte offset of channel c's current (next = false) or next row of a set.
    std::size_t rowOffset(DitherFlow flow, const SetState& s, bool next, int channel) const;
    void zeroRow(std::size_t offset);

    std::vector<std::uint8_t>& storage_;
    int width_;
};

// Dithers one row of the view's true-colour image into its 8-bit screen copy. Does
// nothing when the view keeps no screen copy.
void ditherRow(FractalView& view, int row, DitherFlow flow);
// Dithers the rows row ... rowEnd - 1 just painted as one block, in the direction their
// flow runs.
void ditherRows(FractalView& view, int row, int rowEnd);
// The sweep at the end of a pass: the whole image again, top row first, errors flowing
// downwards from fresh error rows.
void ditherImage(FractalView& view);

} // namespace vortimax
