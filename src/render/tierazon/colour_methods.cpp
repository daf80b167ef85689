#include "render/tierazon/colour_methods.h"

#include <array>
#include <cmath>
#include <numbers>

namespace vortimax {

namespace {

using R = TieraResult;

constexpr double kGuard = 1e-10;

double mag(Complex v) {
    return std::sqrt(v.re * v.re + v.im * v.im);
}

double sinAbs(double x) {
    return std::fabs(std::sin(x));
}

// x mod 2 in 0 ... 1 steps: 1 for odd floor(x), 0 for even, without integer overflow.
double oddBand(double x) {
    return std::fabs(std::fmod(std::floor(x), 2.0));
}

// z / |z|, or 0 when |z| is 0 or not finite.
Complex direction(Complex z) {
    const double m = mag(z);
    if (!(m > 0.0 && std::isfinite(m)))
        return {0.0, 0.0};
    return {z.re / m, z.im / m};
}

// Last z with its components guarded like zsav, for the methods that divide by them.
Complex guardedZ(const R& r) {
    return {guardedComponent(r.z.re), guardedComponent(r.z.im)};
}

double zero(const R&, Complex) {
    return 0.0;
}

double sineLastZ(const R& r, Complex) {
    return sinAbs(100.0 * r.z.re * r.z.re) * sinAbs(100.0 * r.z.im * r.z.im) * 100.0;
}

double sineSaved(const R&, Complex s) {
    return sinAbs(50.0 * s.re) * sinAbs(50.0 * s.im) * 100.0;
}

double sumArctanSaved(const R&, Complex s) {
    return (std::atan(std::fabs(s.re)) + std::atan(std::fabs(s.im))) * 10.0;
}

double arctanLastZ(const R& r, Complex) {
    return std::fabs(std::atan2(r.z.im, r.z.re)) * 10.0;
}

double differenceArctanSaved(const R&, Complex s) {
    return std::fabs(std::atan(s.re) - std::atan(s.im)) * 10.0;
}

double arctanSaved(const R&, Complex s) {
    return std::atan(std::fabs(s.re / s.im)) * 10.0;
}

// |cos arg z| |sin s.im| + |sin arg z| |sin s.re|: the last z by its direction, since its
// size changes too fast from pixel to pixel for a sine of it to be more than noise.
double mergedSine(const R& r, Complex s) {
    const Complex u = direction(r.z);
    return (std::fabs(u.re) * sinAbs(s.im) + std::fabs(u.im) * sinAbs(s.re)) * 50.0;
}

double stalks(const R&, Complex s) {
    return std::log1p(1.0 / std::fmin(std::fabs(s.re), std::fabs(s.im))) * 10.0;
}

double sineMagnitudeSaved(const R&, Complex s) {
    return sinAbs(mag(s)) * 100.0;
}

double lastZCosineSaved(const R& r, Complex s) {
    return mag(r.z) * std::fabs(std::cos(mag(s))) * 10.0;
}

double sineRelativeSaved(const R&, Complex s) {
    return sinAbs(s.re / s.im) * 100.0;
}

double cosineRelativeSaved(const R&, Complex s) {
    return std::fabs(std::cos(s.re / s.im)) * 100.0;
}

double arctanRelativelyDividedZ(const R& r, Complex s) {
    const Complex z = guardedZ(r);
    return std::atan(std::fabs((z.re / z.im) / (s.re / s.im))) * 10.0;
}

double arctanDividedZ(const R& r, Complex) {
    const Complex z = guardedZ(r);
    return std::atan(std::fabs(z.re / z.im)) * 10.0;
}

double arctanMultipliedRelativeZ(const R& r, Complex s) {
    return std::atan(std::fabs(r.z.re * r.z.im / (s.re * s.im))) * 10.0;
}

double lastZRelativeToMaxIter(const R& r, Complex) {
    return mag(r.z) * r.iterations / r.maxIter * 10.0;
}

double circles(const R&, Complex s) {
    return oddBand(20.0 * mag(s)) * 100.0;
}

double radial(const R&, Complex s) {
    return oddBand((std::atan2(s.im, s.re) + std::numbers::pi) * 8.0 / std::numbers::pi) * 100.0;
}

double checkerboard(const R&, Complex s) {
    return oddBand(std::floor(10.0 * s.re) + std::floor(10.0 * s.im)) * 100.0;
}

double multipliedSaved(const R&, Complex s) {
    return std::fabs(s.re * s.im) * 100.0;
}

double magnitudeDifferenceOrder5(const R& r, Complex s) {
    return std::fabs(std::pow(mag(r.z), 5.0) - std::pow(mag(s), 5.0)) * 0.1;
}

// |sin s.re| + |sin arg z| (the last z by its direction, as in mergedSine).
double mergedSavedLastZ(const R& r, Complex s) {
    return (sinAbs(s.re) + std::fabs(direction(r.z).im)) * 50.0;
}

double differenceLastZSaved(const R& r, Complex s) {
    return mag(r.z - s) * 10.0;
}

double mergedSaved(const R&, Complex s) {
    return (s.re + s.im) * 10.0;
}

double magnitudeDifferenceOrder2(const R& r, Complex s) {
    const double z2 = r.z.re * r.z.re + r.z.im * r.z.im;
    return std::fabs(z2 - (s.re * s.re + s.im * s.im)) * 10.0;
}

double sineFilter(const R& r, Complex) {
    return sinAbs(10.0 * r.filter) * 100.0;
}

double mergedAbsoluteSaved(const R&, Complex s) {
    return (std::fabs(s.re) + std::fabs(s.im)) * 50.0;
}

double sineAbsoluteFilter(const R& r, Complex) {
    return sinAbs(std::fabs(r.filter)) * 100.0;
}

double cosineMergedSaved(const R&, Complex s) {
    return std::fabs(std::cos(s.re + s.im)) * 100.0;
}

double sineCosineMergedSaved(const R&, Complex s) {
    return std::fabs(std::sin(s.re) * std::cos(s.im)) * 100.0;
}

double arctanRelativelyMergedSaved(const R&, Complex s) {
    return std::atan(std::fabs((s.re + s.im) / guardedComponent(s.re - s.im))) * 10.0;
}

double crossMultipliedSaved(const R& r, Complex s) {
    return std::fabs(s.re * r.z.im - s.im * r.z.re) * 10.0;
}

constexpr std::uint8_t kRGB[3] = {0, 1, 2};
constexpr std::uint8_t kGRB[3] = {1, 0, 2};
constexpr std::uint8_t kGBR[3] = {1, 2, 0};
constexpr std::uint8_t kBRG[3] = {2, 0, 1};
constexpr std::uint8_t kBGR[3] = {2, 1, 0};

constexpr Reads kZ = Reads::LastZ;
constexpr Reads kZsav = Reads::SavedZ;

constexpr ColourMethod plain(std::string_view label, MethodTerm term, Reads reads) {
    return {label, term, Spread::Plain, {0, 1, 2}, reads};
}

constexpr ColourMethod ordered(std::string_view label, MethodTerm term, const std::uint8_t (&o)[3],
                               Reads reads) {
    return {label, term, Spread::Ordered, {o[0], o[1], o[2]}, reads};
}

// One line per method: label, k before the factor (s = zsav with guarded components,
// z = last z, u = z/|z| (0 when |z| is 0 or not finite), F = filter result, n = steps) and whether
// k reads s (kZsav) or not (kZ). Plain methods add k * Factor i to channel i.
// clang-format off
constexpr std::array<ColourMethod, kColourMethodCount> kMethods{{
    {"Normal", zero, Spread::Normal, {0, 1, 2}, kZ},                                              // escape-time value (+ 10 F factor)
    plain("Sine of last z", sineLastZ, kZ),                                                       // |sin(100 zr^2)| |sin(100 zi^2)| 100
    {"Sine of saved value", sineSaved, Spread::MeanIntoBlue, {0, 1, 2}, kZsav},                   // |sin(50 s.re)| |sin(50 s.im)| 100; B += (R+G)/2
    plain("Sum of Arctan of saved value", sumArctanSaved, kZsav),                                 // (atan|s.re| + atan|s.im|) 10
    plain("Arctan of last z", arctanLastZ, kZ),                                                   // |arg z| 10
    plain("Difference of Arctan of saved value", differenceArctanSaved, kZsav),                   // |atan s.re - atan s.im| 10
    plain("Arctan of saved value", arctanSaved, kZsav),                                           // atan(|s.re / s.im|) 10
    plain("Merged Sine z/zsav", mergedSine, kZsav),                                               // (|re u| |sin s.im| + |im u| |sin s.re|) 50, u = z/|z|
    plain("Stalks", stalks, kZsav),                                                               // log(1 + 1/min(|s.re|,|s.im|)) 10
    plain("Sine of magnitude of saved value", sineMagnitudeSaved, kZsav),                         // |sin |s|| 100
    plain("Last z merged with cosine of zsav", lastZCosineSaved, kZsav),                          // |z| |cos |s|| 10
    plain("Sine of relative zsav components", sineRelativeSaved, kZsav),                          // |sin(s.re / s.im)| 100
    plain("Cosine of relative zsav components", cosineRelativeSaved, kZsav),                      // |cos(s.re / s.im)| 100
    plain("Arctan of relatively divided z components", arctanRelativelyDividedZ, kZsav),          // atan(|(zr/zi) / (s.re/s.im)|) 10
    plain("Arctan of divided z components", arctanDividedZ, kZ),                                  // atan(|zr / zi|) 10
    plain("Arctan of multipicated relative z components", arctanMultipliedRelativeZ, kZsav),      // atan(|zr zi / (s.re s.im)|) 10
    plain("Last z relative to maxiter", lastZRelativeToMaxIter, kZ),                              // |z| n / MaxIter 10
    plain("Circles", circles, kZsav),                                                             // (floor(20 |s|) mod 2) 100
    plain("Radial", radial, kZsav),                                                               // (floor(8 (arg s + pi)/pi) mod 2) 100
    plain("Checkerboard Squares", checkerboard, kZsav),                                           // ((floor 10s.re + floor 10s.im) mod 2) 100
    plain("Multiplicated zsav components", multipliedSaved, kZsav),                               // |s.re s.im| 100
    plain("Difference of last z and zsav magnitude, order 5", magnitudeDifferenceOrder5, kZsav),  // ||z|^5 - |s|^5| 0.1
    plain("Merged zsav and last z", mergedSavedLastZ, kZsav),                                     // (|sin s.re| + |im u|) 50, u = z/|z|
    plain("Difference betwenn last z and zsav", differenceLastZSaved, kZsav),                     // |z - s| 10
    plain("Merged zsav components", mergedSaved, kZsav),                                          // (s.re + s.im) 10
    plain("Difference of last z and zsav magnitude, order 2", magnitudeDifferenceOrder2, kZsav),  // ||z|^2 - |s|^2| 10
    ordered("GRB+Sine of filter", sineFilter, kGRB, kZ),                                          // |sin(10 F)| 100 as G, R/2, B/4
    ordered("RGB+Sine of filter", sineFilter, kRGB, kZ),                                          // |sin(10 F)| 100 as R, G/2, B/4
    ordered("GBR+Sine of filter", sineFilter, kGBR, kZ),                                          // |sin(10 F)| 100 as G, B/2, R/4
    ordered("BRG+Sine of filter", sineFilter, kBRG, kZ),                                          // |sin(10 F)| 100 as B, R/2, G/4
    ordered("BGR+Merged absolute zsav components", mergedAbsoluteSaved, kBGR, kZsav),             // (|s.re| + |s.im|) 50 as B, G/2, R/4
    ordered("BRG+Merged absolute zsav components", mergedAbsoluteSaved, kBRG, kZsav),             // (|s.re| + |s.im|) 50 as B, R/2, G/4
    ordered("RGB+Merged absolute zsav components", mergedAbsoluteSaved, kRGB, kZsav),             // (|s.re| + |s.im|) 50 as R, G/2, B/4
    plain("Sine of absolute filter", sineAbsoluteFilter, kZ),                                     // |sin |F|| 100
    plain("Cosine of merged zsav components", cosineMergedSaved, kZsav),                          // |cos(s.re + s.im)| 100
    plain("Sine/Cosine of merged zsav components", sineCosineMergedSaved, kZsav),                 // |sin(s.re) cos(s.im)| 100
    plain("Arctan of relatively merged zsav components", arctanRelativelyMergedSaved, kZsav),     // atan(|(s.re + s.im) / (s.re - s.im)|) 10
    plain("Cross multiplicated zsav components", crossMultipliedSaved, kZsav),                    // |s.re zi - s.im zr| 10
}};
// clang-format on

constexpr double kOrderWeights[3] = {1.0, 0.5, 0.25};

void spreadContribution(const ColourMethod& m, const MethodFactors& f, double k, R& r) {
    switch (m.spread) {
    case Spread::Normal:
        r.channel[0] = static_cast<double>(r.plainValue) + 10.0 * r.filter * f.f[0];
        r.channel[1] = 10.0 * r.filter * f.f[1];
        r.channel[2] = 10.0 * r.filter * f.f[2];
        return;
    case Spread::Ordered:
        for (int i = 0; i < 3; ++i)
            r.channel[m.order[i]] += k * kOrderWeights[i] * f.f[m.order[i]];
        return;
    case Spread::Plain:
    case Spread::MeanIntoBlue:
        for (int i = 0; i < 3; ++i)
            r.channel[i] += k * f.f[i];
        if (m.spread == Spread::MeanIntoBlue)
            r.channel[2] += (r.channel[0] + r.channel[1]) / 2.0;
        return;
    }
}

} // namespace

const ColourMethod& colourMethod(int operation) {
    return kMethods[operation >= 0 && operation < kColourMethodCount ? operation : 0];
}

double guardedComponent(double v) {
    if (std::fabs(v) >= kGuard)
        return v;
    return std::signbit(v) ? -kGuard : kGuard;
}

void applyColourMethod(const ColourMethod& method, const MethodFactors& factors,
                       TieraResult& result) {
    for (double& c : result.channel)
        c = 0.0;
    if (result.inside) {
        // Inside pixels look as in the plain escape-time image.
        result.channel[0] = result.plainValue;
        return;
    }
    const Complex s{guardedComponent(result.saved.re), guardedComponent(result.saved.im)};
    spreadContribution(method, factors, method.term(result, s), result);
    // A negative first value marks an inside pixel, and the per-channel colouring maps a
    // negative channel like one: an escaped pixel's channels keep their amount only.
    for (double& c : result.channel)
        c = std::isfinite(c) ? std::fabs(c) : 0.0;
}

} // namespace vortimax
