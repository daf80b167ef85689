#include "render/formula_driver.h"

#include "formula/formula_iteration.h"
#include "model/fractal_view.h"
#include "model/pass_scheme.h"
#include "render/area.h"
#include "render/escape_kernel.h"

#include <algorithm>
#include <utility>

namespace vortimax {

namespace {

Complex complexParam(const ConstBlockRef& block, std::string_view re, std::string_view im) {
    return {block.bigFixed(re).toDouble(), block.bigFixed(im).toDouble()};
}

// The built-in stop tests, inside rule and outside colouring of a Formula fractal. Its
// parameters have no bailout-test choice: the "mod" test |z|^2 applies.
EscapeParams readStops(const FractalRecord& record) {
    const ConstBlockRef block = record.params();
    EscapeParams p;
    p.maxIter = std::max<std::int32_t>(block.integer("MaxIter"), 1);
    p.halfIter = p.maxIter / 2;
    p.bailout = block.real("Bailout");
    p.bailin = block.real("Bailin");
    p.testInfinity = block.integer("TestForInfinify") != 0;
    p.testFinite = block.integer("TestForFinite") != 0;
    p.testCycle = block.integer("TestForCyclus") != 0;
    const std::int32_t inside = block.integer("Inside");
    p.inside = inside >= kInsideBlack && inside <= kInsideInfIndex ? inside : kInsideBlack;
    p.insideMult = block.real("Insidemult");
    p.passes = std::clamp<std::int32_t>(block.integer("Passes"), 0, 3);
    p.inversion = circleInversion(record);
    p.outside = readOutsideParams(record);
    p.outside.maxIter = p.maxIter;
    return p;
}

FormulaSettings readSettings(const FractalRecord& record, const EscapeParams& stops) {
    const ConstBlockRef block = record.params();
    FormulaSettings s;
    s.p = {complexParam(block, "Cr", "Ci"), complexParam(block, "Dr", "Di"),
           complexParam(block, "Er", "Ei"), complexParam(block, "Fr", "Fi")};
    s.maxIter = stops.maxIter;
    s.bailout = stops.bailout;
    s.bailin = stops.bailin;
    s.fn = {block.integer("fn1"), block.integer("fn2"), block.integer("fn3"), block.integer("fn4")};
    s.width = record.width;
    s.height = record.height;
    s.left = block.bigFixed("TopLeftR").toDouble();
    s.right = block.bigFixed("BottomRightR").toDouble();
    s.top = block.bigFixed("TopLeftI").toDouble();
    s.bottom = block.bigFixed("BottomRightI").toDouble();
    const AreaCorners turned = computeCorners(record);
    auto point = [](const BigPoint& p) { return Complex{p.re.toDouble(), p.im.toDouble()}; };
    const Complex p0 = point(turned.topLeft);
    const Complex p1 = point(turned.topRight);
    const Complex p2 = point(turned.bottomRight);
    s.corners = {p0 + p2 - p1, p0, p1, p2};
    s.testFormula = block.integer("TestForFormula") != 0;
    return s;
}

double sq(double v) {
    return v * v;
}

// One pixel: the formula's own iteration with the built-in tests after each step it lets
// go on, then its colour statements or the built-in inside and outside values.
class FormulaPixelKernel {
public:
    FormulaPixelKernel(const FormulaCode& code, const FractalRecord& record)
        : stops_(readStops(record)), iterator_(code, readSettings(record, stops_)) {}

    int passes() const { return stops_.passes; }

    float operator()(Complex point, int x, int y) {
        if (stops_.inversion.enabled)
            stops_.inversion.apply(point.re, point.im);
        OrbitEnd end;
        Complex saved{0.0, 0.0};
        const bool track = stops_.inside > kInsideMagnitude;
        auto stop = [&](Complex z, std::int32_t k) {
            const std::int32_t remaining = stops_.maxIter - 1 - k;
            const Complex previous = iterator_.previousZ();
            if (remaining == stops_.halfIter)
                saved = previous;
            if (track)
                end.extrema.update(z, k + 1);
            if (stops_.testInfinity && stops_.bailout < sq(z.re) + sq(z.im))
                return true;
            if (stops_.testFinite &&
                sq(z.re - previous.re) + sq(z.im - previous.im) < stops_.bailin)
                return true;
            return stops_.testCycle && remaining <= stops_.halfIter &&
                   sq(z.re - saved.re) + sq(z.im - saved.im) < stops_.bailin;
        };
        const FormulaPixelResult result = iterator_.iteratePixel({point, x, y}, stop);
        end.z = result.z;
        end.remaining = result.inside ? -1 : stops_.maxIter - result.iterations;
        if (!result.builtInColouring)
            return storableValue(result.value, result.inside);
        if (result.inside)
            return storableValue(insideValue(stops_, end), true);
        return storableValue(
            outsideValue(stops_.outside, end.remaining, end.z.re, end.z.im, point.re, point.im),
            false);
    }

private:
    EscapeParams stops_;
    FormulaIterator iterator_;
};

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
    const int passes =
        passCount(FormulaPixelKernel(*code, record).passes(), view.lastJob(), view.passLimit());
    // Each thread runs its own copy of the evaluator.
    runBatchPasses(view, PassRect{x0, y0, x1, y1}, passes, [&] {
        return [kernel = FormulaPixelKernel(*code, record), &mapping](PixelBatch& batch) mutable {
            for (int i = 0; i < batch.count; ++i) {
                const int x = batch.columns[static_cast<std::size_t>(i)];
                batch.values[static_cast<std::size_t>(i)] =
                    kernel(mapping.pointFor(x, batch.row), x, batch.row);
            }
        };
    });
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
