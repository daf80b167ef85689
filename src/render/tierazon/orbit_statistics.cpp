#include "render/tierazon/orbit_statistics.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vortimax {

namespace {

using FC = FilterConstants;
using FS = FilterState;

constexpr double kTiny = 1e-10;

// The parts of a complex value a statistic looks at.
enum Part { kRe, kIm, kMag, kAdd, kSub, kMult, kDiv };

// A divisor moved away from zero to ±1e-10, keeping its sign side.
double guarded(double v) {
    if (std::fabs(v) >= kTiny)
        return v;
    return std::signbit(v) ? -kTiny : kTiny;
}

template <int P> double part(Complex z) {
    if constexpr (P == kRe)
        return z.re;
    else if constexpr (P == kIm)
        return z.im;
    else if constexpr (P == kMag)
        return std::sqrt(z.re * z.re + z.im * z.im);
    else if constexpr (P == kAdd)
        return z.re + z.im;
    else if constexpr (P == kSub)
        return z.re - z.im;
    else if constexpr (P == kMult)
        return z.re * z.im;
    else
        return z.re / guarded(z.im);
}

// Every statistic keeps the z before the last step as the saved value.
template <int P> void moments(const FC&, FS& s, Complex z, Complex p) {
    s.saved = p;
    const double v = part<P>(z);
    s.acc[0] += v;
    s.acc[1] += v * v;
}

template <int P> void smallest(const FC&, FS& s, Complex z, Complex p) {
    s.saved = p;
    s.acc[0] = s.count == 1 ? part<P>(z) : std::min(s.acc[0], part<P>(z));
}

template <int P> void largest(const FC&, FS& s, Complex z, Complex p) {
    s.saved = p;
    s.acc[0] = s.count == 1 ? part<P>(z) : std::max(s.acc[0], part<P>(z));
}

template <int P> void firstValue(const FC&, FS& s, Complex z, Complex p) {
    s.saved = p;
    if (s.count == 1)
        s.acc[0] = part<P>(z);
}

template <int P> void growth(const FC&, FS& s, Complex z, Complex p) {
    s.saved = p;
    s.acc[0] += part<P>(z) / guarded(part<P>(p));
}

double mean(const FS& s) {
    return s.count > 0 ? s.acc[0] / s.count : 0.0;
}

double variance(const FS& s) {
    if (s.count == 0)
        return 0.0;
    const double m = s.acc[0] / s.count;
    return std::max(0.0, s.acc[1] / s.count - m * m);
}

double kept(const FS& s) {
    return s.acc[0];
}

// One line per statistic: label, update, result. z is the value after a step, p before it,
// n the number of steps; "first" is z after the first step. Division by a part closer to
// zero than 1e-10 divides by ±1e-10.
// clang-format off
constexpr std::array<OrbitFilter, kStatisticCount> kStatistics{{
    {"Mean (real)",     moments<kRe>,     mean},     // mean of re z
    {"Mean (imag)",     moments<kIm>,     mean},     // mean of im z
    {"Variance (real)", moments<kRe>,     variance}, // variance of re z
    {"Variance (imag)", moments<kIm>,     variance}, // variance of im z
    {"Min (real)",      smallest<kRe>,    kept},     // smallest re z
    {"Min(imag)",       smallest<kIm>,    kept},     // smallest im z
    {"Max (real)",      largest<kRe>,     kept},     // largest re z
    {"Max (imag)",      largest<kIm>,     kept},     // largest im z
    {"t_0 (real)",      firstValue<kRe>,  kept},     // re first
    {"t_0 (imag)",      firstValue<kIm>,  kept},     // im first
    {"t_0 (Mag)",       firstValue<kMag>, kept},     // |first|
    {"t_0 (Add)",       firstValue<kAdd>, kept},     // re first + im first
    {"t_0 (Sub)",       firstValue<kSub>, kept},     // re first - im first
    {"t_0 (Mult)",      firstValue<kMult>, kept},    // re first * im first
    {"t_0 (Div)",       firstValue<kDiv>, kept},     // re first / im first
    {"Coeff_0 (real)",  growth<kRe>,      mean},     // mean of re z / re p
    {"Coeff_0 (imag)",  growth<kIm>,      mean},     // mean of im z / im p
    {"Coeff_0 (Mag)",   growth<kMag>,     mean},     // mean of |z| / |p|
    {"Coeff_0 (Add)",   growth<kAdd>,     mean},     // mean of (re z + im z) / (re p + im p)
    {"Coeff_0 (Sub)",   growth<kSub>,     mean},     // mean of (re z - im z) / (re p - im p)
}};
// clang-format on

} // namespace

const OrbitFilter& orbitStatistic(int index) {
    return kStatistics[index >= 0 && index < kStatisticCount ? index : 0];
}

} // namespace vortimax
