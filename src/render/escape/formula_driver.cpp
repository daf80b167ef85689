#include "render/escape/formula_driver.h"

#include "model/fractal_view.h"
#include "model/pass_scheme.h"
#include "render/area/area.h"
#include "render/escape/formula_kernels.h"

#include <algorithm>
#include <utility>

namespace vortimax {

namespace {

// The formula's code, or nothing when it cannot be calculated: the view is told why.
// Opening the fractal checked the formula, but it may have been renamed, deleted or
// broken in the library since.
std::optional<FormulaCode> calculableFormula(const FormulaLookup& lookup, FractalView& view) {
    const std::string name = view.record().params().text("FormulaName");
    std::optional<FormulaCode> code = lookup(name);
    if (!code)
        view.reportFailure(formulaMissingText(name));
    else if (!code->isComplete())
        view.reportFailure(formulaDoesNotCompileText(name));
    else
        return code;
    return std::nullopt;
}

void calculateFormula(const FormulaLookup& lookup, FractalView& view, int x0, int y0, int x1,
                      int y1) {
    const FractalRecord& record = view.record();
    const std::optional<FormulaCode> code = calculableFormula(lookup, view);
    if (!code)
        return;
    const ImageBuffers& buffers = view.buffers();
    const PixelMapping mapping = pixelMapping(record, RasterSize{buffers.width, buffers.height});
    const int passes = passCount(formulaStops(record).passes, view.lastJob(), view.passLimit());
    // Each thread runs its own copy of the evaluator, over whole batches.
    runBatchPasses(view, PassRect{x0, y0, x1, y1}, passes,
                   [&] { return FormulaBatchKernel(*code, record, mapping); });
}

} // namespace

void installFormulaDriver(DriverTable& drivers, ViewHooks& hooks, FormulaLookup lookup) {
    drivers[kTypeFormula] = [lookup](FractalView& view, int x0, int y0, int x1, int y1) {
        calculateFormula(lookup, view, x0, y0, x1, y1);
    };
    auto previous = std::move(hooks.checkFormula);
    hooks.checkFormula = [lookup, previous](const FractalRecord& record) {
        if (record.type != kTypeFormula)
            return previous ? previous(record) : FormulaCheck::Ok;
        const auto code = lookup(record.params().text("FormulaName"));
        return code && code->isComplete() ? FormulaCheck::Ok : FormulaCheck::FormulaNotAvailable;
    };
}

} // namespace vortimax
