#include "render/escape/julia_mandel_driver.h"

#include "model/fractal_view.h"
#include "model/pass_scheme.h"
#include "render/area/area.h"
#include "render/escape/escape_batch.h"

namespace vortimax {

void calculateEscapeTime(FractalView& view, int x0, int y0, int x1, int y1) {
    const EscapeParams params = readEscapeParams(view.record());
    const ImageBuffers& buffers = view.buffers();
    const PixelMapping mapping =
        pixelMapping(view.record(), RasterSize{buffers.width, buffers.height});
    const int passes = passCount(params.passes, view.lastJob(), view.passLimit());
    runRowKernelPasses(view, PassRect{x0, y0, x1, y1}, passes,
                       [&] { return EscapeBatchKernel(params, mapping); });
}

} // namespace vortimax
