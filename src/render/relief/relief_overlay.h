#pragma once

#include <optional>
#include <vector>

namespace vortimax {

class FractalRecord;
class FractalView;
struct ReliefSettings;

// The heights another fractal lends to a relief, tiled over the relief by mirror
// reflection.
class OverlayHeights {
public:
    OverlayHeights(int width, int height, std::vector<double> cells);

    // The overlay height under pixel (x, y) of the relief.
    double at(int x, int y) const;

private:
    static int reflect(int coordinate, int side);

    int width_, height_;
    std::vector<double> cells_;
};

// Reads the overlay the fractal is linked to (FractalRecord::overlayView, the open view of
// the fractal its settings name in its folder): nothing when overlays are off or when
// that fractal has no open window.
// Overlay types 0 and 1 take the overlay's relief heights (from its 3D height data when
// it has them, else from its values), types 2 and 3 the brightness of its pixels; types
// 1 and 3 pass them through the overlay's own height transfer. Runs on the relief's
// worker: the main thread pauses that worker before it closes, resizes or writes the
// overlay's view.
std::optional<OverlayHeights> readOverlay(const FractalRecord& record,
                                          const ReliefSettings& settings);

// The overlay heights of an open view (its pixels are not being written meanwhile).
OverlayHeights overlayHeightsOf(FractalView& overlay, int overlayType);

} // namespace vortimax
