#pragma once

// The per-pixel iteration of the Formula fractal type, for a calculation driver to call for
// every pixel it computes.

#include "formula/complex.h"
#include "formula/formula_entry.h"
#include "formula/formula_eval.h"

#include <array>
#include <cstdint>

namespace vortimax {

// What a calculation of a Formula fractal reads once from its record.
struct FormulaSettings {
    std::array<Complex, 4> p{}; // p1 ... p4: (Cr, Ci), (Dr, Di), (Er, Ei), (Fr, Fi)
    std::int32_t maxIter = 150;
    double bailout = 4.0;
    double bailin = 0.0;
    std::array<int, 4> fn{}; // fn1 ... fn4: FunctionTable indices 0 ... 30
    std::int32_t width = 0;
    std::int32_t height = 0;
    double left = 0.0; // TopLeftR, BottomRightR, TopLeftI, BottomRightI of the stored area
    double right = 0.0;
    double top = 0.0;
    double bottom = 0.0;
    std::array<Complex, 4> corners{}; // P0 + P2 - P1, P0, P1, P2 of the rotated area
    bool testFormula = true;          // TestForFormula: run the abort condition
};

// One pixel: its point in the complex plane (after circle inversion) and its column and row
// in the value buffer.
struct FormulaPixel {
    Complex point{0.0, 0.0};
    std::int32_t posX = 0;
    std::int32_t posY = 0;
};

struct FormulaPixelResult {
    // Iterations run: 1 ... maxIter (the one that stopped counts), maxIter when inside.
    std::int32_t iterations = 0;
    // All maxIter iterations ran.
    bool inside = false;
    // The formula has no colour section: the driver computes the built-in inside or
    // outside value from `iterations` and `z`; `value` is not set.
    bool builtInColouring = false;
    // The real part of the inside or outside colour statement.
    double value = 0.0;
    // z after the last iteration.
    Complex z{0.0, 0.0};
};

// Runs one formula for the pixels of one calculation; one per worker thread. The compiled
// code is copied, so recompiling the entry later does not touch a running calculation.
// Every pixel starts with z, the variables and the accumulator at 0.
class FormulaIterator {
public:
    FormulaIterator(const FormulaCode& code, const FormulaSettings& settings);

    // Whether the code was compiled successfully; a driver must not calculate otherwise
    // (every pixel then comes back inside after 0 iterations, with the built-in colouring).
    bool ready() const { return code_.isComplete(); }

    // Per pixel: pixel, posx, posy, the random seed and iter = 0 are set and the init
    // statements run; then for k = 0 ... maxIter - 1: iter = k, the iteration statements
    // run, and the pixel stops when the abort condition (with testFormula) gives real part
    // 0 or else when `builtInStop(z, k)` returns true. The built-in stop tests (infinity,
    // finite, cycle) and any bookkeeping the built-in colourings need live in `builtInStop`,
    // called with the new z after every iteration that the abort condition lets go on.
    template <class StopTest>
    FormulaPixelResult iteratePixel(const FormulaPixel& pixel, StopTest&& builtInStop);

    // iteratePixel without built-in stop tests.
    FormulaPixelResult iteratePixel(const FormulaPixel& pixel);

    // The evaluation context, for callers that fill further values (layer values) and for
    // inspection.
    EvalContext& context() { return context_; }
    // z before the iteration just run (for the built-in finite-attractor and cycle tests).
    Complex previousZ() const { return previousZ_; }
    const EvalContext& context() const { return context_; }

private:
    void startPixel(const FormulaPixel& pixel);
    // One iteration k; true when the abort condition lets the pixel go on.
    bool iterate(std::int32_t k);
    FormulaPixelResult finish(std::int32_t iterations, bool inside);

    FormulaCode code_;
    bool testFormula_;
    EvalContext context_;
    Complex previousZ_{0.0, 0.0};
};

template <class StopTest>
FormulaPixelResult FormulaIterator::iteratePixel(const FormulaPixel& pixel,
                                                 StopTest&& builtInStop) {
    if (!ready()) {
        return {0, true, true, 0.0, context_.z};
    }
    startPixel(pixel);
    const std::int32_t maxIter = context_.maxIter;
    for (std::int32_t k = 0; k < maxIter; ++k) {
        if (!iterate(k) || builtInStop(context_.z, k)) {
            return finish(k + 1, false);
        }
    }
    return finish(maxIter > 0 ? maxIter : 0, true);
}

} // namespace vortimax
