#include "render/escape/formula_kernels.h"

#include "model/param_text.h"

#include <algorithm>

namespace vortimax {

namespace {

Complex complexParam(const ConstBlockRef& block, std::string_view re, std::string_view im) {
    return {block.bigFixed(re).toDouble(), block.bigFixed(im).toDouble()};
}

double sq(double v) {
    return v * v;
}

// The value a pixel stores from its formula result.
float storedValue(const EscapeParams& stops, const FormulaPixelResult& result,
                  const OrbitExtrema& extrema, Complex point) {
    if (!result.builtInColouring)
        return storableValue(result.value, result.inside);
    OrbitEnd end;
    end.z = result.z;
    end.remaining = result.inside ? -1 : stops.maxIter - result.iterations;
    end.extrema = extrema;
    if (result.inside)
        return storableValue(insideValue(stops, end), true);
    return storableValue(
        outsideValue(stops.outside, end.remaining, end.z.re, end.z.im, point.re, point.im), false);
}

} // namespace

EscapeParams formulaStops(const FractalRecord& record) {
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

FormulaSettings formulaSettings(const FractalRecord& record, const EscapeParams& stops) {
    const ConstBlockRef block = record.params();
    FormulaSettings s;
    s.p = {complexParam(block, "Cr", "Ci"), complexParam(block, "Dr", "Di"),
           complexParam(block, "Er", "Ei"), complexParam(block, "Fr", "Fi")};
    s.maxIter = stops.maxIter;
    s.bailout = stops.bailout;
    s.bailin = stops.bailin;
    s.fn = {block.integer("fn1"), block.integer("fn2"), block.integer("fn3"), block.integer("fn4")};
    // A region render shows the formula the whole image's size.
    s.width = record.region ? record.region->fullWidth : record.width;
    s.height = record.region ? record.region->fullHeight : record.height;
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

FormulaPixelKernel::FormulaPixelKernel(const FormulaCode& code, const FractalRecord& record)
    : stops_(formulaStops(record)), iterator_(code, formulaSettings(record, stops_)) {}

float FormulaPixelKernel::operator()(Complex point, int x, int y) {
    if (stops_.inversion.enabled)
        stops_.inversion.apply(point.re, point.im);
    OrbitExtrema extrema;
    Complex saved{0.0, 0.0};
    const bool track = stops_.inside > kInsideMagnitude;
    auto stop = [&](Complex z, std::int32_t k) {
        const std::int32_t remaining = stops_.maxIter - 1 - k;
        const Complex previous = iterator_.previousZ();
        if (remaining == stops_.halfIter)
            saved = previous;
        if (track)
            extrema.update(z, k + 1);
        if (stops_.testInfinity && stops_.bailout < sq(z.re) + sq(z.im))
            return true;
        if (stops_.testFinite && sq(z.re - previous.re) + sq(z.im - previous.im) < stops_.bailin)
            return true;
        return stops_.testCycle && remaining <= stops_.halfIter &&
               sq(z.re - saved.re) + sq(z.im - saved.im) < stops_.bailin;
    };
    const FormulaPixelResult result = iterator_.iteratePixel({point, x, y}, stop);
    return storedValue(stops_, result, extrema, point);
}

namespace {

// With no test but the infinity test, the batch iterator runs it itself.
std::optional<double> plainInfinityBailout(const EscapeParams& stops) {
    const bool plain = stops.testInfinity && !stops.testFinite && !stops.testCycle &&
                       stops.inside <= kInsideMagnitude;
    return plain ? std::optional(stops.bailout) : std::nullopt;
}

} // namespace

FormulaBatchKernel::FormulaBatchKernel(const FormulaCode& code, const FractalRecord& record,
                                       const PixelMapping& mapping)
    : stops_(formulaStops(record)), mapping_(mapping),
      iterator_(code, formulaSettings(record, stops_), stops_.testFinite || stops_.testCycle,
                plainInfinityBailout(stops_)),
      track_(stops_.inside > kInsideMagnitude) {}

void FormulaBatchKernel::operator()(PixelBatch& batch) {
    const auto count = static_cast<std::size_t>(std::clamp(batch.count, 0, kPixelBatchSize));
    for (std::size_t i = 0; i < count; ++i) {
        const int x = batch.columns[i];
        Complex point = mapping_.pointFor(x, batch.row);
        if (stops_.inversion.enabled)
            stops_.inversion.apply(point.re, point.im);
        pixels_[i] = {point, x + mapping_.columnOffset, batch.row + mapping_.rowOffset};
        saved_[i] = {0.0, 0.0};
        extrema_[i] = {};
    }
    const std::span pixels(pixels_.data(), count);
    const std::span results(results_.data(), count);
    if (!track_ && !stops_.testFinite && !stops_.testCycle)
        iterator_.iterateBatch(pixels, results); // the iterator's own infinity test at most
    else
        iterator_.iterateBatch(pixels, results,
                               [this](const FormulaLanes& lanes) { stopTests(lanes); });
    for (std::size_t i = 0; i < count; ++i)
        batch.values[i] = storedValue(stops_, results_[i], extrema_[i], pixels_[i].point);
}

// The built-in tests of FormulaPixelKernel, lane by lane (the batch iterator runs the
// infinity test when it is the only one).
void FormulaBatchKernel::stopTests(const FormulaLanes& lanes) {
    const int n = lanes.count;
    if (!track_ && !stops_.testFinite && !stops_.testCycle)
        return;
    const std::int32_t k = lanes.iteration;
    const std::int32_t remaining = stops_.maxIter - 1 - k;
    for (int i = 0; i < n; ++i) {
        if (lanes.stop[i] != 0)
            continue;
        const auto p = static_cast<std::size_t>(lanes.pixelOf[i]);
        const Complex z{lanes.zRe[i], lanes.zIm[i]};
        const Complex previous{lanes.previousRe[i], lanes.previousIm[i]};
        if (remaining == stops_.halfIter)
            saved_[p] = previous;
        if (track_)
            extrema_[p].update(z, k + 1);
        const bool stop = (stops_.testInfinity && stops_.bailout < sq(z.re) + sq(z.im)) ||
                          (stops_.testFinite &&
                           sq(z.re - previous.re) + sq(z.im - previous.im) < stops_.bailin) ||
                          (stops_.testCycle && remaining <= stops_.halfIter &&
                           sq(z.re - saved_[p].re) + sq(z.im - saved_[p].im) < stops_.bailin);
        lanes.stop[i] = stop ? 1 : 0;
    }
}

} // namespace vortimax
