#include "render/escape/outside_value.h"

#include "model/type_registry.h"
#include "render/colour/record_numbers.h"

#include <array>

namespace vortimax {

namespace {

// Measures that must stay within 0 ... MaxIter fall back to a fixed value otherwise (a
// value that is not a number falls back too).
double withinIterations(double v, double maxIter, double fallback) {
    return v >= 0.0 && v <= maxIter ? v : fallback;
}

double magnitude(double re, double im) {
    return std::sqrt(re * re + im * im);
}

// log|x| scaled by Outsidemult over log Bailout, the building block of measures 8 ... 12.
double logPart(const OutsideParams& p, double x) {
    return std::log(std::fabs(x)) * p.mult / p.logBailout;
}

double realMeasure(const OutsideParams& p, const MeasureInput& in) {
    const double v = in.zr * p.mult + in.n + in.d + 7.0;
    return v > 0.0 && v <= p.maxIter ? v : 0.0001;
}

double imagMeasure(const OutsideParams& p, const MeasureInput& in) {
    return withinIterations(in.zi * p.mult + in.n + in.d + 6.0, p.maxIter, 0.0);
}

double multMeasure(const OutsideParams& p, const MeasureInput& in) {
    const double ratio = in.zi == 0.0 ? in.n : in.n * in.zr / in.zi;
    return withinIterations(ratio * p.mult, p.maxIter, 0.0);
}

double summMeasure(const OutsideParams& p, const MeasureInput& in) {
    return withinIterations((in.n + in.zr + in.zi) * p.mult, p.maxIter, 0.0);
}

double atanMeasure(const OutsideParams& p, const MeasureInput& in) {
    const double degrees = std::fabs(std::atan2(in.zi, in.zr) * 180.0 / kColourPi);
    return withinIterations(degrees * p.mult, p.maxIter, 0.0);
}

double argMeasure(const OutsideParams& p, const MeasureInput& in) {
    return outsideAngle(in.zr, in.zi) * p.mult + in.n + in.d;
}

double potentialMeasure(const OutsideParams& p, const MeasureInput& in) {
    return std::fabs(potentialValue(magnitude(in.zr, in.zi), std::trunc(in.n), p.mult, p.potSlope));
}

double real2Measure(const OutsideParams& p, const MeasureInput& in) {
    return logPart(p, in.zr) + in.n + in.d;
}

double imag2Measure(const OutsideParams& p, const MeasureInput& in) {
    return logPart(p, in.zi) + in.n + in.d;
}

double mult2Measure(const OutsideParams& p, const MeasureInput& in) {
    return logPart(p, in.zi) * logPart(p, in.zr) + in.n + in.d;
}

double div2Measure(const OutsideParams& p, const MeasureInput& in) {
    return logPart(p, in.zr) / logPart(p, in.zi) + in.n + in.d;
}

double summ2Measure(const OutsideParams& p, const MeasureInput& in) {
    return logPart(p, in.zi) + logPart(p, in.zr) + in.n + in.d;
}

double pointDistanceMeasure(const OutsideParams& p, const MeasureInput& in) {
    const double gap = magnitude(in.pixelRe, in.pixelIm) - magnitude(in.zr, in.zi);
    return gap * gap * 3000.0 * p.mult;
}

// Unknown measure numbers give the decomposition offset alone.
double offsetOnlyMeasure(const OutsideParams&, const MeasureInput& in) {
    return in.d;
}

constexpr std::array<MeasureFunction, kMeasureCount> kMeasures = {
    iterationMeasure, realMeasure, imagMeasure,      multMeasure,          summMeasure,
    atanMeasure,      argMeasure,  potentialMeasure, real2Measure,         imag2Measure,
    mult2Measure,     div2Measure, summ2Measure,     pointDistanceMeasure,
};

bool usesOwnOutsideColouring(std::uint32_t type) {
    return type == kTypeJulia24 || type == kTypeMandel24;
}

} // namespace

double iterationMeasure(const OutsideParams&, const MeasureInput& in) {
    return in.n + in.d;
}

double potentialValue(double r, double k, double maxColour, double slope) {
    const double level = k + 2.0 >= 1.0 && r > 1.0 ? std::log(r) / std::exp2(k + 2.0) : 0.0;
    const double value =
        level <= 0.0 ? maxColour - 1.0 : maxColour - std::sqrt(level) * slope - 1.0;
    return value < 1.0 ? 1.0 : value;
}

void prepareOutsideParams(OutsideParams& p) {
    p.absCoding = std::fabs(static_cast<double>(p.coding));
    p.sqrtBailout = std::sqrt(p.bailout);
    p.logBailout = std::log(p.bailout);
    const bool known = p.outside >= 0 && p.outside < kMeasureCount;
    p.measure = known ? kMeasures[static_cast<std::size_t>(p.outside)] : offsetOnlyMeasure;
}

OutsideParams readOutsideParams(const FractalRecord& record) {
    OutsideParams p;
    p.maxIter = recordNumberOr(record, "MaxIter", p.maxIter);
    p.bailout = recordNumberOr(record, "Bailout", p.bailout);
    const bool ownColouring = usesOwnOutsideColouring(record.type);
    const std::string_view decompositionKey = ownColouring ? "Decomposition" : "Decomp";
    p.decomposition = recordNumberOr(record, decompositionKey, 0.0) != 0.0;
    p.coding = static_cast<std::int32_t>(recordNumberOr(record, "Coding", 0.0));
    p.decFactor = recordNumberOr(record, "DecFactor", p.decFactor);
    if (!ownColouring) {
        p.outside = static_cast<int>(recordNumberOr(record, "Outside", kMeasureIteration));
        p.mult = recordNumberOr(record, "Outsidemult", p.mult);
        p.potSlope = recordNumberOr(record, "PotSlope", p.potSlope);
        p.biomorph = recordNumberOr(record, "Biomorphy", 0.0) != 0.0;
        p.biomorphVar = recordNumberOr(record, "BiomorphVar", p.biomorphVar);
        p.biomorphColour = recordNumberOr(record, "BiomorphColor", p.biomorphColour);
    }
    prepareOutsideParams(p);
    return p;
}

} // namespace vortimax
