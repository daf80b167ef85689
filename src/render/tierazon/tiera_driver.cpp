#include "render/tierazon/tiera_driver.h"

#include "model/fractal_view.h"
#include "model/pass_scheme.h"
#include "render/area/area.h"
#include "render/tierazon/tiera_row_kernel.h"

namespace vortimax {

void calculateTiera(FractalView& view, int x0, int y0, int x1, int y1) {
    const TieraParams params = readTieraParams(view.record());
    ImageBuffers& buffers = view.buffers();
    const PixelMapping mapping =
        pixelMapping(view.record(), RasterSize{buffers.width, buffers.height});
    const int passes = passCount(params.escape.passes, view.lastJob(), view.passLimit());
    // Each pixel writes only its own cells, so the threads never share one.
    runRowKernelPasses(view, PassRect{x0, y0, x1, y1}, passes,
                       [&] { return TieraRowKernel(params, mapping, buffers); });
}

} // namespace vortimax
