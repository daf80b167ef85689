#pragma once

#include "model/image_buffers.h"
#include "model/pass_scheme.h"
#include "render/area/area.h"
#include "render/escape/escape_batch.h"
#include "render/tierazon/tiera_params.h"

#include <span>
#include <vector>

namespace vortimax {

// Whether a calculation's colours follow from the escape-time orbit alone: the filter
// "None" gathers nothing (its saved value is the z before the last step, which no lane
// keeps), so a colour method that does not read zsav sees only the final z, the step count
// and the escape-time value, all of which the escape-time lanes give.
bool escapeOrbitSuffices(const TieraParams& params);

// How the row kernel computes its pixels.
enum class TieraRoute {
    Best,         // the escape-time lanes where escapeOrbitSuffices and they run
    PixelByPixel, // tieraOrbit for every pixel
};

// Computes the pixels of a row of a Tierazon-mode calculation: values[i] gets the first
// channel and the second and third value buffers (when allocated) the other two, exactly as
// tieraOrbit and tieraColour give them whichever route is taken.
class TieraRowKernel {
public:
    TieraRowKernel(const TieraParams& params, const PixelMapping& mapping, ImageBuffers& buffers,
                   KernelPath path = fastestPath(), TieraRoute route = TieraRoute::Best);

    void operator()(PixelRow& row);
    // Whether the rows go through the escape-time lanes.
    bool usesLanes() const { return lanes_; }

private:
    void fromEscapeOrbits(PixelRow& row);
    void pixelByPixel(PixelRow& row);
    // Colours `result` and stores its channels for the pixel (x, y); returns the first.
    float store(TieraResult& result, int x, int y);

    const TieraParams* params_;
    const PixelMapping* mapping_;
    float* second_ = nullptr;
    float* third_ = nullptr;
    int stride_ = 0;
    EscapeBatchKernel escape_;
    bool lanes_;
    std::vector<OrbitEnd> ends_;
};

} // namespace vortimax
