#pragma once

#include "render/area/area.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace vortimax {

class FractalRecord;

// The maps x' = g(x, r) of the subtypes 0 ... 5, with t = f(x) (f the Function
// parameter): r t (1 - t), x + r t (1 - t), x + r f(pi x), r f(pi x), r t^2 - 1 and
// r x / (1 + x)^A (no function).
constexpr int kBifurcationMapCount = 6;

// The parameters of one calculation; the area's stored (unturned) bounds give each
// column its parameter r and each row its range of x.
struct BifurcationParams {
    int map = 0; // 0 ... 5; other subtypes use map 0
    double start = 0.5;
    double exponent = 2.0; // A, of map 5
    std::int64_t settle = 0;
    std::int64_t maxIter = 0;
    int function = 0; // FunctionTable index
    double left = 0.0, right = 1.0, bottom = 0.0, top = 1.0;
    int width = 1;
    int height = 1;
};
BifurcationParams readBifurcationParams(const FractalRecord& record, RasterSize size);

// r of column c: TopLeftR + c (BottomRightR - TopLeftR) / width.
double columnParameter(const BifurcationParams& params, int column);

// Re f(t + 0i) for FunctionTable entry `index`: the function a step applies. "sin" and
// "ident" are taken as the real functions they are on the real axis (the same bits).
double realFunction(int index, double t);

// The value cells of one image column, bottom row first.
struct ColumnCells {
    float* bottom = nullptr;
    std::ptrdiff_t stride = 1;
    int height = 0;

    float& operator[](int row) const { return bottom[static_cast<std::ptrdiff_t>(row) * stride]; }
};

// A long orbit asks whether to stop after this many steps.
constexpr std::int64_t kBifurcationStepsPerLook = std::int64_t{1} << 16;

// Fills one column: every cell -1.0 (the reserved colour); then from x = Start, Settle
// steps to the settled value x_s, and up to MaxIter further steps i = 0, 1, ...: each puts
// i + 10 into the row trunc((x - bottom) (height - 1) / (top - bottom)) when that row is
// in the image, and the orbit ends once x is within 1e-9 of x_s. Returns false when
// `stop` said yes (it is asked every kBifurcationStepsPerLook steps); the column then
// holds what was plotted so far.
bool plotColumn(const BifurcationParams& params, double r, const ColumnCells& cells,
                const std::function<bool()>& stop);

} // namespace vortimax
