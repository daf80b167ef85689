#pragma once

// The two pixel kernels of the Formula fractal type: one pixel at a time through the
// one-pixel evaluator (the reference), and a batch of one row through the batch evaluator.
// Both give every pixel the same value, bit for bit.

#include "formula/formula_batch.h"
#include "formula/formula_entry.h"
#include "formula/formula_iteration.h"
#include "model/fractal_record.h"
#include "model/pass_scheme.h"
#include "render/area/area.h"
#include "render/escape/escape_kernel.h"

#include <array>

namespace vortimax {

// The built-in stop tests, inside rule and outside colouring of a Formula fractal. Its
// parameters have no bailout-test choice: the "mod" test |z|^2 applies.
EscapeParams formulaStops(const FractalRecord& record);

// What the formula's evaluator reads once from the record.
FormulaSettings formulaSettings(const FractalRecord& record, const EscapeParams& stops);

// One pixel: the formula's own iteration with the built-in tests after each step it lets
// go on, then its colour statements or the built-in inside and outside values.
class FormulaPixelKernel {
public:
    FormulaPixelKernel(const FormulaCode& code, const FractalRecord& record);

    int passes() const { return stops_.passes; }
    float operator()(Complex point, int x, int y);

private:
    EscapeParams stops_;
    FormulaIterator iterator_;
};

// The pixels of a batch side by side, with the same tests and values.
class FormulaBatchKernel {
public:
    FormulaBatchKernel(const FormulaCode& code, const FractalRecord& record,
                       const PixelMapping& mapping);

    void operator()(PixelBatch& batch);

private:
    void stopTests(const FormulaLanes& lanes);

    EscapeParams stops_;
    PixelMapping mapping_;
    FormulaBatchIterator iterator_;
    bool track_;
    std::array<FormulaPixel, kPixelBatchSize> pixels_{};
    std::array<FormulaPixelResult, kPixelBatchSize> results_{};
    std::array<Complex, kPixelBatchSize> saved_{};
    std::array<OrbitExtrema, kPixelBatchSize> extrema_{};
};

} // namespace vortimax
