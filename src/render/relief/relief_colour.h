#pragma once

#include "model/colour_table.h"
#include "render/colour/true_colour_table.h"
#include "render/relief/relief_settings.h"

namespace vortimax {

// The colour of a relief pixel with shade s and palette position p: the background where
// no surface is seen, else the base colour (the palette's interpolated colour at p, or
// the fixed colour) in HSV with saturation and value moved towards 255 s by the
// Saturation and Value percentages and the value scaled by Intensity.
class ReliefColouring {
public:
    ReliefColouring(const ReliefSettings& settings, const ColourTable& colours);
    PackedBgr colour(float shade, float position) const;

private:
    HsvEntry baseColour(float position) const;

    const ReliefSettings& settings_;
    const ColourTable& colours_;
    HsvEntry fixed_;
    PackedBgr background_;
};

} // namespace vortimax
