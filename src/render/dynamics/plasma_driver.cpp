#include "render/dynamics/plasma_driver.h"

#include "model/fractal_view.h"
#include "render/dynamics/picture_updates.h"
#include "render/dynamics/plasma_cloud.h"

#include <algorithm>
#include <mutex>

namespace vortimax {

namespace {

void colourEveryRow(FractalView& view) {
    const ViewHooks& hooks = view.environment().hooks;
    if (!hooks.colourRow)
        return;
    std::lock_guard pixels(view.pixelLock());
    const ImageBuffers& buffers = view.buffers();
    for (int row = 0; row < buffers.height; ++row)
        hooks.colourRow(view, 0, row, buffers.width, 1);
}

} // namespace

void calculatePlasma(FractalView& view, int, int, int, int) {
    ImageBuffers& buffers = view.buffers();
    if (buffers.values.size() < static_cast<std::size_t>(buffers.valueStride()) *
                                    static_cast<std::size_t>(std::max(buffers.height, 0)))
        return;
    const ValueGrid grid{buffers.values.data(), buffers.width, buffers.height,
                         buffers.valueStride()};
    const bool finished = fillPlasma(
        grid, readPlasmaParams(view.record()), [&view] { return view.mustStop(); },
        [&view](double fraction) { view.setProgress(fraction); });
    if (!finished)
        return;
    colourEveryRow(view);
    PictureUpdates(view).finish();
}

} // namespace vortimax
