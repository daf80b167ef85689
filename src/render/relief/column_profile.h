#pragma once

#include "render/colour/colour_mapping.h"
#include "render/relief/relief_heights.h"
#include "render/relief/relief_overlay.h"
#include "render/relief/relief_settings.h"

#include <optional>
#include <vector>

namespace vortimax {

struct ImageBuffers;

// One data row of a relief column: its height after the transfer (and the overlay), its
// palette position and the screen row it is seen at (rows from the bottom).
struct ProfileRow {
    double height = 0.0;
    float position = 0.0f;
    int screenRow = 0;
};

// Everything the columns of one relief share.
struct ReliefScene {
    const ImageBuffers& buffers; // the values, for the palette positions
    HeightField heights;
    HeightTransfer transfer;
    PaletteMapping mapping;
    std::optional<OverlayHeights> overlay;
    double overlayFactor1 = 1.0;
    double overlayFactor2 = 0.0;
    double rowRise = 0.0;    // screen rows per data row: (2/3) YStretch sin(theta)
    double heightRise = 0.0; // screen rows per unit of height: cos(theta) H / 150
};

// The screen row of data row `row` at transferred height `height`; far-off rows are
// held to +-2^30 so that no conversion overflows.
int screenRow(const ReliefScene& scene, int row, double height);

// Fills `rows` with the profile of a column; false when the column is outside the image.
bool columnProfile(const ReliefScene& scene, int column, std::vector<ProfileRow>& rows);

} // namespace vortimax
