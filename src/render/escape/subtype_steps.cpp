#include "render/escape/subtype_steps.h"

#include "formula/complex_functions.h"

#include <array>

namespace vortimax {

namespace {

constexpr Complex kOne{1.0, 0.0};

Complex cube(Complex z) {
    return complexSqr(z) * z;
}

double magnitude2(Complex z) {
    return z.re * z.re + z.im * z.im;
}

void zSquaredPlusC(const EscapeParams&, Orbit& o) {
    o.z = complexSqr(o.z) + o.c;
}

void zCubedPlusC(const EscapeParams&, Orbit& o) {
    o.z = cube(o.z) + o.c;
}

void expMinusZMinusC(const EscapeParams&, Orbit& o) {
    const double e = std::exp(o.z.re);
    o.z = Complex{e * std::cos(o.z.im), e * std::sin(o.z.im)} - o.z - o.c;
}

void magnet1(const EscapeParams&, Orbit& o) {
    const Complex numerator = complexSqr(o.z) + o.c - kOne;
    const Complex denominator = Complex{2.0 * o.z.re, 2.0 * o.z.im} + o.c - Complex{2.0, 0.0};
    o.z = complexSqr(numerator / denominator);
}

void magnet2(const EscapeParams&, Orbit& o) {
    const Magnet2Constants k = magnet2Constants(o.c);
    const Complex three{3.0, 0.0};
    const Complex numerator = cube(o.z) + k.threeCMinus1 * o.z + k.product;
    const Complex denominator = three * complexSqr(o.z) + k.threeCMinus2 * o.z + k.product + kOne;
    o.z = complexSqr(numerator / denominator);
}

void cTimesFn1(const EscapeParams& p, Orbit& o) {
    o.z = o.c * p.fn1(o.z);
}

// z + 1 or z - 1, times c.
Complex shiftedTimesC(const Orbit& o, bool plusOne) {
    const Complex shift{plusOne ? 1.0 : -1.0, 0.0};
    return (o.z + shift) * o.c;
}

void barnsley1(const EscapeParams&, Orbit& o) {
    o.z = shiftedTimesC(o, o.z.re < 0.0);
}

void barnsley2(const EscapeParams&, Orbit& o) {
    o.z = shiftedTimesC(o, o.z.im * o.c.re + o.z.re * o.c.im < 0.0);
}

void barnsley3(const EscapeParams&, Orbit& o) {
    const double zr = o.z.re;
    const double zi = o.z.im;
    if (zr <= 0.0)
        o.z = {zr * zr - zi * zi - 1.0 + o.c.re * zr, 2.0 * zr * zi + o.c.im * zr};
    else
        o.z = {zr * zr - zi * zi - 1.0, 2.0 * zr * zi};
}

void sqrFnPlusC(const EscapeParams& p, Orbit& o) {
    o.z = complexSqr(p.fn1(o.z)) + o.c;
}

void sqrRecipFnPlusC(const EscapeParams& p, Orbit& o) {
    o.z = complexRecip(complexSqr(p.fn1(o.z))) + o.c;
}

void fnZPlusFnPixel(const EscapeParams& p, Orbit& o) {
    o.z = p.fn1(o.z) + p.d * p.fn2(o.c);
}

void fnOfZSquared(const EscapeParams& p, Orbit& o) {
    o.z = p.fn1(complexSqr(o.z));
}

void fnTimesFn(const EscapeParams& p, Orbit& o) {
    o.z = p.fn1(o.z) * p.fn2(o.z);
}

void fnTimesZPlusZ(const EscapeParams& p, Orbit& o) {
    o.z = o.c * o.z * p.fn1(o.z) + p.d * o.z;
}

// The imaginary part subtracts Di * wr: stored images depend on this form.
void fnPlusFn(const EscapeParams& p, Orbit& o) {
    const Complex w = p.fn2(o.z);
    const Complex a = o.c * p.fn1(o.z);
    o.z = {a.re + p.d.re * w.re - p.d.im * w.im, a.im + p.d.re * w.im - p.d.im * w.re};
}

void lambda(const EscapeParams&, Orbit& o) {
    o.z = o.c * o.z * (kOne - o.z);
}

// fn2 outside the circle |z|^2 = Dr, fn1 inside it.
Complex switchedFn(const EscapeParams& p, Complex z) {
    return magnitude2(z) >= p.d.re ? p.fn2(z) : p.fn1(z);
}

void lambdaTimesFnOrFn(const EscapeParams& p, Orbit& o) {
    o.z = o.c * switchedFn(p, o.z);
}

void lambdaPlusFnOrFn(const EscapeParams& p, Orbit& o) {
    o.z = o.c + switchedFn(p, o.z);
}

void fnPlusExp(const EscapeParams& p, Orbit& o) {
    o.z = p.fn1(o.z) + complexExp(o.z) + o.c;
}

void cmplxmarks(const EscapeParams&, Orbit& o) {
    o.z = o.t * complexSqr(o.z) + o.c;
}

void zpower(const EscapeParams& p, Orbit& o) {
    o.z = complexExp(p.d * complexLog(o.z)) + o.c;
}

void zzpwr(const EscapeParams& p, Orbit& o) {
    const Complex logZ = complexLog(o.z);
    const Complex scaled{p.zzpwrExponent * logZ.re, p.zzpwrExponent * logZ.im};
    o.z = complexExp(o.z * logZ) + complexExp(scaled) + o.c;
}

void manowar(const EscapeParams&, Orbit& o) {
    const Complex previous = o.z;
    o.z = complexSqr(o.z) + o.z1 + o.c;
    o.z1 = previous;
}

void fnPlusZSquared(const EscapeParams& p, Orbit& o) {
    o.z = p.fn1(o.z) + complexSqr(o.z) + o.c;
}

void unchanged(const EscapeParams&, Orbit&) {}

constexpr std::array<SubtypeStep, kLastSubtype + 1> kSteps = [] {
    std::array<SubtypeStep, kLastSubtype + 1> steps{};
    const SubtypeStep formulas[] = {
        zSquaredPlusC,    zCubedPlusC,     expMinusZMinusC,
        magnet1,          magnet2,         cTimesFn1,
        barnsley1,        barnsley2,       barnsley3,
        sqrFnPlusC,       sqrRecipFnPlusC, fnZPlusFnPixel,
        fnOfZSquared,     fnTimesFn,       fnTimesZPlusZ,
        fnPlusFn,         lambda,          lambdaTimesFnOrFn,
        lambdaPlusFnOrFn, fnPlusExp,       cmplxmarks,
        zpower,           zzpwr,           manowar,
        fnPlusZSquared,
    };
    for (SubtypeStep& step : steps)
        step = unchanged;
    for (std::size_t i = 0; i < std::size(formulas); ++i)
        steps[i] = formulas[i];
    return steps;
}();

} // namespace

Magnet2Constants magnet2Constants(Complex c) {
    const Complex cMinus1 = c - kOne;
    const Complex cMinus2 = c - Complex{2.0, 0.0};
    const Complex three{3.0, 0.0};
    return {three * cMinus1, three * cMinus2, cMinus1 * cMinus2};
}

SubtypeStep subtypeStep(int subtype) {
    if (subtype < 0 || subtype > kLastSubtype)
        return unchanged;
    return kSteps[static_cast<std::size_t>(subtype)];
}

Orbit initOrbit(const EscapeParams& params, Complex p) {
    Orbit o;
    if (!params.mandel) {
        o.z = p;
        o.c = params.start;
    } else {
        o.c = p;
        if (params.subtype == kSubtypeMagnet2)
            o.z = params.start;
        else if (params.subtype == kSubtypeLambda)
            o.z = {params.start.re + 0.5, params.start.im};
        else
            o.z = params.start + p;
    }
    if (params.subtype == kSubtypeManowar)
        o.z1 = p;
    if (params.subtype == kSubtypeCmplxmarks)
        o.t = complexExp((params.d - kOne) * complexLog(o.c));
    return o;
}

} // namespace vortimax
