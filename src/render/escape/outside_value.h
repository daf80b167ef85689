#pragma once

#include <cmath>
#include <cstdint>

namespace vortimax {

class FractalRecord;

// Angle constants of the outside colouring, truncated the way stored images expect:
// sector boundaries and "arg(z)" values depend on these exact digits.
constexpr double kColourPi = 3.1415926535;
constexpr double kColourTwoPi = 6.283185307;
constexpr double kColourHalfPi = 1.57079632675;
constexpr double kColourThreeHalfPi = 4.71238898025;

// Numbers of the outside measures (the record's `Outside`).
enum OutsideMeasure : int {
    kMeasureIteration = 0,
    kMeasureReal,
    kMeasureImag,
    kMeasureMult,
    kMeasureSumm,
    kMeasureATan,
    kMeasureArg,
    kMeasurePotential,
    kMeasureReal2,
    kMeasureImag2,
    kMeasureMult2,
    kMeasureDiv2,
    kMeasureSumm2,
    kMeasurePDist,
    kMeasureCount
};

struct OutsideParams;

// What a measure needs besides the parameters: the iteration count n (possibly replaced
// by the biomorph rule), the decomposition offset d, the final z and the pixel's point.
struct MeasureInput {
    double n, d, zr, zi, pixelRe, pixelIm;
};
using MeasureFunction = double (*)(const OutsideParams&, const MeasureInput&);

// Measure 0, "Iteration": n + d.
double iterationMeasure(const OutsideParams& params, const MeasureInput& in);

// The outside-colouring parameters of one fractal, read once per calculation so that
// the kernels never look anything up by key.
struct OutsideParams {
    double maxIter = 1.0;
    double bailout = 4.0;
    int outside = kMeasureIteration;
    double mult = 1.0; // Outsidemult; the largest colour of "Potential"
    double potSlope = 0.0;
    bool decomposition = false;
    std::int32_t coding = 0; // sectors; > 0 replaces the value, <= 0 adds to it
    double decFactor = 1.0;
    bool biomorph = false;
    double biomorphVar = 0.0;
    double biomorphColour = 0.0;

    // Derived by prepareOutsideParams.
    double absCoding = 0.0;
    double sqrtBailout = 2.0;
    double logBailout = 0.0;
    MeasureFunction measure = &iterationMeasure;
};

// Fills the derived members from the others. readOutsideParams calls it; code that
// fills an OutsideParams by hand must call it too.
void prepareOutsideParams(OutsideParams& params);

// Reads the parameters of any type. Julia and Mandel key decomposition "Decomp", Julia24
// and Mandel24 "Decomposition"; the Formula type has its own copies under the Julia
// keys. Julia24 and Mandel24 colour outside points themselves, so only the iteration
// count and decomposition apply to them; types without these parameters get the
// defaults above.
OutsideParams readOutsideParams(const FractalRecord& record);

// Angle of z in [0, 2 pi) by the quadrant-corrected arctangent of zi / zr.
inline double outsideAngle(double zr, double zi) {
    if (zr == 0.0)
        return zi > 0.0 ? kColourHalfPi : (zi < 0.0 ? kColourThreeHalfPi : 0.0);
    const double angle = std::atan(zi / zr);
    if (zr < 0.0)
        return angle + kColourPi;
    if (zi < 0.0)
        return angle + kColourTwoPi;
    return angle;
}

// Value offset of the decomposition sector of z: angles are folded onto [0, pi) first.
inline double decompositionOffset(const OutsideParams& p, double zr, double zi) {
    double angle = outsideAngle(zr, zi);
    if (angle >= kColourPi)
        angle -= kColourPi;
    const double sector = std::trunc(p.absCoding * angle / kColourTwoPi);
    return (sector + 1.0) * p.decFactor;
}

// A biomorph point is near an axis: not both weighted sums reach the root of the bailout.
inline bool isBiomorphPoint(const OutsideParams& p, double zr, double zi) {
    const double ar = std::fabs(zr);
    const double ai = std::fabs(zi);
    return !(ar + p.biomorphVar * ai >= p.sqrtBailout && ai + p.biomorphVar * ar >= p.sqrtBailout);
}

// The value of an escaped pixel. `remaining` is the kernel's iteration counter at escape,
// z the final orbit value, pixel the pixel's point in the plane.
inline double outsideValue(const OutsideParams& p, double remaining, double zr, double zi,
                           double pixelRe, double pixelIm) {
    double n = p.maxIter - remaining;
    if (n <= 0.0)
        n = 1.0;
    double d = 0.0;
    if (p.decomposition) {
        d = decompositionOffset(p, zr, zi);
        if (p.coding > 0)
            return d;
    }
    if (p.biomorph && isBiomorphPoint(p, zr, zi)) {
        if (p.biomorphColour >= 0.0)
            return p.biomorphColour + d;
        n = -p.biomorphColour;
    }
    return p.measure(p, MeasureInput{n, d, zr, zi, pixelRe, pixelIm});
}

// The potential rule: the largest colour minus the slope times the root of the
// normalised logarithm of r, never below 1. k is the truncated iteration count.
double potentialValue(double r, double k, double maxColour, double slope);

} // namespace vortimax
