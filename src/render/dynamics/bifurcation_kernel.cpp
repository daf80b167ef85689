#include "render/dynamics/bifurcation_kernel.h"

#include "formula/function_table.h"
#include "model/fractal_record.h"

#include <algorithm>
#include <cmath>

namespace vortimax {

namespace {

constexpr double kPi = 3.1415926535;
constexpr double kSettledDistance = 1e-9;
constexpr double kFirstPlotValue = 10.0; // the value of the first plotted step

// FunctionTable entries that are plain real functions on the real axis.
constexpr int kSineEntry = 0;
constexpr int kIdentEntry = 7;

struct Sine {
    double operator()(double t) const { return std::sin(t); }
};
struct Identity {
    double operator()(double t) const { return t; }
};
struct TableEntry {
    ComplexFunction f;
    double operator()(double t) const { return f(Complex{t, 0.0}).re; }
};

// Calls visit(f) with the function of entry `index` as a real function.
template <typename Visit> auto withRealFunction(int index, Visit&& visit) {
    if (index == kSineEntry)
        return visit(Sine{});
    if (index == kIdentEntry)
        return visit(Identity{});
    return visit(TableEntry{functionPointer(index)});
}

template <typename F> struct Lambda {
    F f;
    double operator()(double x, double r) const {
        const double t = f(x);
        return r * t * (1.0 - t);
    }
};
template <typename F> struct Verhulst {
    F f;
    double operator()(double x, double r) const {
        const double t = f(x);
        return x + r * t * (1.0 - t);
    }
};
template <typename F> struct AddedSine {
    F f;
    double operator()(double x, double r) const { return x + r * f(kPi * x); }
};
template <typename F> struct SineOnly {
    F f;
    double operator()(double x, double r) const { return r * f(kPi * x); }
};
template <typename F> struct Stewart {
    F f;
    double operator()(double x, double r) const {
        const double t = f(x);
        return r * (t * t) - 1.0;
    }
};
struct May {
    double exponent;
    double operator()(double x, double r) const { return r * x / std::pow(1.0 + x, exponent); }
};

template <typename Step>
bool plotWith(const Step& step, const BifurcationParams& p, double r, const ColumnCells& cells,
              const std::function<bool()>& stop) {
    constexpr std::int64_t kLookMask = kBifurcationStepsPerLook - 1;
    for (int row = 0; row < cells.height; ++row)
        cells[row] = -1.0f;
    double x = p.start;
    for (std::int64_t i = 0; i < p.settle; ++i) {
        x = step(x, r);
        if ((i & kLookMask) == kLookMask && stop && stop())
            return false;
    }
    const double settled = x;
    const double rows = cells.height - 1;
    const double span = p.top - p.bottom;
    const double height = cells.height;
    for (std::int64_t i = 0; i < p.maxIter; ++i) {
        x = step(x, r);
        const double row = std::trunc((x - p.bottom) * rows / span);
        if (row >= 0.0 && row < height)
            cells[static_cast<int>(row)] = static_cast<float>(kFirstPlotValue + i);
        if (std::fabs(x - settled) < kSettledDistance)
            return true;
        if ((i & kLookMask) == kLookMask && stop && stop())
            return false;
    }
    return true;
}

} // namespace

BifurcationParams readBifurcationParams(const FractalRecord& record, RasterSize size) {
    const ConstBlockRef block = record.params();
    BifurcationParams p;
    p.map = record.subtype < static_cast<std::uint32_t>(kBifurcationMapCount)
                ? static_cast<int>(record.subtype)
                : 0;
    p.start = block.real("Start");
    p.exponent = block.real("A");
    p.settle = std::max<std::int32_t>(block.integer("Settle"), 0);
    p.maxIter = std::max<std::int32_t>(block.integer("MaxIter"), 0);
    p.function = block.integer("Function");
    p.left = block.bigFixed("TopLeftR").toDouble();
    p.right = block.bigFixed("BottomRightR").toDouble();
    p.bottom = block.bigFixed("BottomRightI").toDouble();
    p.top = block.bigFixed("TopLeftI").toDouble();
    p.width = std::max(size.width, 1);
    p.height = std::max(size.height, 1);
    return p;
}

double columnParameter(const BifurcationParams& params, int column) {
    return params.left + column * (params.right - params.left) / params.width;
}

double realFunction(int index, double t) {
    return withRealFunction(index, [t](auto f) { return f(t); });
}

bool plotColumn(const BifurcationParams& params, double r, const ColumnCells& cells,
                const std::function<bool()>& stop) {
    const auto plot = [&](const auto& step) { return plotWith(step, params, r, cells, stop); };
    if (params.map == 5)
        return plot(May{params.exponent});
    return withRealFunction(params.function, [&](auto f) {
        using F = decltype(f);
        switch (params.map) {
        case 1:
            return plot(Verhulst<F>{f});
        case 2:
            return plot(AddedSine<F>{f});
        case 3:
            return plot(SineOnly<F>{f});
        case 4:
            return plot(Stewart<F>{f});
        default:
            return plot(Lambda<F>{f});
        }
    });
}

} // namespace vortimax
