#pragma once

#include <string_view>

namespace vortimax {

class FractalView;

// Status texts of a compound calculation.
inline constexpr std::string_view kLayersPendingStatus = "Not all layers are calculated...";
inline constexpr std::string_view kCompoundDoneStatus = "Ok, fractal and all layers calculated...";
// How long they stay in the status bar, in runs of the 100 ms timer.
inline constexpr int kCompoundStatusTicks = 50;

// The calculation of a compound fractal. While any layer with an open view is still
// calculating it does nothing (it is calculated again when its layers finish). Otherwise
// every pixel of the rectangle is merged once from the layers' samples, rows from the
// middle outward; RGB merges write the colours, buffer merges the values that are then
// coloured row by row. Layers without an open view cover no pixel. A layer name that does
// not resolve, an unknown merge type or a merge formula that does not compile make the
// calculation fail with the reason.
void calculateCompound(FractalView& view, int x0, int y0, int x1, int y1);

} // namespace vortimax
