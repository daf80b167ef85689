#include "render/dynamics/lyapunov_driver.h"

#include "model/fractal_view.h"
#include "model/pass_scheme.h"
#include "render/area/area.h"
#include "render/dynamics/lyapunov_kernel.h"

namespace vortimax {

namespace {

// The pixels of one row (or of a few short ones) that still need values; stops within
// kPixelBatchSize pixels, or within a long orbit, when the command word says so.
void computePixels(const LyapunovParams& params, const PixelMapping& mapping, PixelRow& row) {
    const std::function<bool()> stop = [&row] { return row.mustStop(); };
    for (std::size_t i = 0; i < row.columns.size(); ++i) {
        if (i % kPixelBatchSize == 0 && row.mustStop())
            return;
        const Complex point = mapping.pointFor(row.columns[i], row.rowOf(i));
        const std::optional<double> lambda = lyapunovExponent(params, point.re, point.im, stop);
        if (!lambda)
            return;
        row.values[i] = lyapunovValue(params, *lambda);
    }
}

} // namespace

void calculateLyapunov(FractalView& view, int x0, int y0, int x1, int y1) {
    const LyapunovParams params = readLyapunovParams(view.record());
    const ImageBuffers& buffers = view.buffers();
    const PixelMapping mapping =
        pixelMappingOverWidth(view.record(), RasterSize{buffers.width, buffers.height});
    const int passes = passCount(params.passes, view.lastJob(), view.passLimit());
    runRowPasses(view, PassRect{x0, y0, x1, y1}, passes, CalculationPool::shared().threadCount(),
                 [&](int, PixelRow& row) { computePixels(params, mapping, row); });
}

} // namespace vortimax
