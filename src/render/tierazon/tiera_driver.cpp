#include "render/tierazon/tiera_driver.h"

#include "model/fractal_view.h"
#include "model/pass_scheme.h"
#include "render/area/area.h"
#include "render/escape/escape_kernel.h"
#include "render/tierazon/tiera_orbit.h"

#include <cmath>

namespace vortimax {

namespace {

// A channel as the second and third buffers keep it: 0.0 is allowed there (only the first
// buffer marks a pixel as calculated), non-finite values are not.
float storedChannel(double v) {
    const float f = static_cast<float>(v);
    return std::isfinite(f) ? f : 0.0f;
}

} // namespace

void calculateTiera(FractalView& view, int x0, int y0, int x1, int y1) {
    const TieraParams params = readTieraParams(view.record());
    ImageBuffers& buffers = view.buffers();
    const PixelMapping mapping =
        pixelMapping(view.record(), RasterSize{buffers.width, buffers.height});
    const int passes = passCount(params.escape.passes, view.lastJob(), view.passLimit());
    const std::size_t cells = static_cast<std::size_t>(buffers.valueStride()) * buffers.height;
    const bool threeBuffers =
        buffers.tierazon1.size() >= cells && buffers.tierazon2.size() >= cells;
    // Each pixel writes only its own cells, so the threads never share one.
    runPasses(view, PassRect{x0, y0, x1, y1}, passes, [&](int x, int y) {
        const Complex point = mapping.pointFor(x, y);
        TieraResult result;
        tieraOrbit(params, point.re, point.im, result);
        tieraColour(params, result);
        if (threeBuffers) {
            const std::size_t cell = static_cast<std::size_t>(y) * buffers.valueStride() + x;
            buffers.tierazon1[cell] = storedChannel(result.channel[1]);
            buffers.tierazon2[cell] = storedChannel(result.channel[2]);
        }
        return storableValue(result.channel[0], result.inside);
    });
}

} // namespace vortimax
