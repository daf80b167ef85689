#include "render/tierazon/orbit_filters.h"

#include "render/tierazon/orbit_statistics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace vortimax {

namespace {

using FC = FilterConstants;
using FS = FilterState;

constexpr double kTiny = 1e-10;

double mag(Complex z) {
    return std::sqrt(z.re * z.re + z.im * z.im);
}

// Width of stalks and strands: |Strands|, or 0.1 when Strands is zero.
double width(const FC& k) {
    return std::fabs(k.strands) > kTiny ? std::fabs(k.strands) : 0.1;
}

// Radius of bubbles: |BayFactor1|, or 1 when it is zero.
double radius(const FC& k) {
    return std::fabs(k.bay1) > kTiny ? std::fabs(k.bay1) : 1.0;
}

// Frequency of rings and sines: 10 |BayFactor2|, or 10 when it is zero.
double frequency(const FC& k) {
    return 10.0 * (std::fabs(k.bay2) > kTiny ? std::fabs(k.bay2) : 1.0);
}

// Distance of z to the nearer axis.
double stalkDistance(Complex z) {
    return std::min(std::fabs(z.re), std::fabs(z.im));
}

double angle(Complex z) {
    return std::atan2(z.im, z.re);
}

// 0 or 1: the parity of floor(x), computed in double so that huge x cannot overflow.
double parity(double x) {
    return std::fabs(std::fmod(std::floor(x), 2.0));
}

void keepPrevious(FS& s, Complex previous) {
    s.saved = previous;
}

// Keeps z as the saved value when `distance` is the smallest seen so far (acc[2]).
void trapNearest(FS& s, Complex z, double distance) {
    if (!s.trapped || distance < s.acc[2]) {
        s.acc[2] = distance;
        s.saved = z;
        s.trapped = true;
    }
}

void sumAndSquare(FS& s, double v) {
    s.acc[0] += v;
    s.acc[1] += v * v;
}

double mean(const FS& s) {
    return s.count > 0 ? s.acc[0] / s.count : 0.0;
}

double firstSum(const FS& s) {
    return s.acc[0];
}

double deviation(const FS& s) {
    if (s.count == 0)
        return 0.0;
    const double m = s.acc[0] / s.count;
    return std::sqrt(std::max(0.0, s.acc[1] / s.count - m * m));
}

double weightedMean(const FS& s) {
    return s.acc[1] > 0.0 ? s.acc[0] / s.acc[1] : 0.0;
}

double trappedDistance(const FS& s) {
    return s.trapped ? s.acc[2] : 0.0;
}

// Bubble contribution: 1 - |v| / r inside the circle of radius r, else 0.
double bubble(const FC& k, double distance) {
    const double r = radius(k);
    return distance < r ? 1.0 - distance / r : 0.0;
}

// Stalk contribution: 1 - d / w within the strand width, else 0.
double stalk(const FC& k, Complex z) {
    const double w = width(k);
    const double d = stalkDistance(z);
    return d < w ? 1.0 - d / w : 0.0;
}

void none(const FC&, FS& s, Complex, Complex p) {
    keepPrevious(s, p);
}

void iterDimension(const FC&, FS& s, Complex z, Complex p) {
    keepPrevious(s, p);
    s.acc[0] += std::log1p(mag(z)) / std::log(s.count + 1.0);
}

void stalksDimension(const FC&, FS& s, Complex z, Complex) {
    trapNearest(s, z, stalkDistance(z));
    s.acc[0] += std::log1p(1.0 / (stalkDistance(z) + kTiny));
}

void pRingDimension(const FC&, FS& s, Complex z, Complex p) {
    const double d = std::fabs(mag(z) - mag(p));
    trapNearest(s, z, d);
    s.acc[0] += std::log1p(1.0 / (d + kTiny));
}

void arctanDimension(const FC&, FS& s, Complex z, Complex p) {
    keepPrevious(s, p);
    s.acc[0] += std::fabs(angle(z)) / std::numbers::pi * std::log1p(mag(z));
}

void fdBubbles(const FC&, FS& s, Complex z, Complex p) {
    trapNearest(s, z, mag(z));
    s.acc[0] += std::log1p(mag(z)) / std::log1p(mag(p) + kTiny);
}

void fdBubbles2(const FC&, FS& s, Complex z, Complex p) {
    trapNearest(s, z, mag(z - p));
    s.acc[0] += std::log1p(mag(z - p)) / std::log1p(mag(p) + kTiny);
}

void stalksDeviation(const FC&, FS& s, Complex z, Complex) {
    trapNearest(s, z, stalkDistance(z));
    sumAndSquare(s, stalkDistance(z));
}

void hiLoStalksDeviation(const FC&, FS& s, Complex z, Complex) {
    trapNearest(s, z, stalkDistance(z));
    sumAndSquare(s, std::fabs(z.re) - std::fabs(z.im));
}

void arctanCounting(const FC&, FS& s, Complex z, Complex p) {
    keepPrevious(s, p);
    s.acc[0] += angle(z) > 0.0 ? 1.0 : 0.0;
}

void movingAverage1(const FC&, FS& s, Complex z, Complex p) {
    keepPrevious(s, p);
    s.acc[0] = 0.5 * (s.acc[0] + mag(z));
}

void movingAverage2(const FC&, FS& s, Complex z, Complex p) {
    keepPrevious(s, p);
    s.acc[0] += (mag(z - p) - s.acc[0]) / s.count;
}

void stalks(const FC& k, FS& s, Complex z, Complex) {
    trapNearest(s, z, stalkDistance(z));
    s.acc[0] += stalk(k, z);
}

void stalks2(const FC& k, FS& s, Complex z, Complex) {
    trapNearest(s, z, std::fabs(z.re));
    const double w = width(k);
    const double d = std::fabs(z.re);
    s.acc[0] = std::max(s.acc[0], d < w ? 1.0 - d / w : 0.0);
}

void xRayStalks(const FC& k, FS& s, Complex z, Complex) {
    trapNearest(s, z, stalkDistance(z));
    s.acc[0] += stalkDistance(z) < width(k) ? 1.0 : 0.0;
}

void jette(const FC&, FS& s, Complex z, Complex p) {
    keepPrevious(s, p);
    s.acc[0] += std::fabs(z.re * z.im) / (z.re * z.re + z.im * z.im + kTiny);
}

void bubbles2(const FC& k, FS& s, Complex z, Complex) {
    trapNearest(s, z, mag(z));
    s.acc[0] += bubble(k, mag(z));
}

void stalksAndBubbles(const FC& k, FS& s, Complex z, Complex) {
    trapNearest(s, z, std::min(mag(z), stalkDistance(z)));
    s.acc[0] += stalk(k, z) + bubble(k, mag(z));
}

void dualBubbles(const FC& k, FS& s, Complex z, Complex) {
    const double r = radius(k);
    const double d = std::min(mag(z - Complex{r, 0.0}), mag(z + Complex{r, 0.0}));
    trapNearest(s, z, d);
    s.acc[0] += bubble(k, d);
}

void rings1(const FC& k, FS& s, Complex z, Complex p) {
    keepPrevious(s, p);
    s.acc[0] += std::fabs(std::sin(mag(z) * frequency(k)));
}

void rings2(const FC& k, FS& s, Complex z, Complex p) {
    keepPrevious(s, p);
    s.acc[0] += parity(mag(z) * frequency(k));
}

void rings3(const FC& k, FS& s, Complex z, Complex p) {
    keepPrevious(s, p);
    s.acc[0] += parity(mag(z - p) * frequency(k));
}

void hiLoStrands(const FC& k, FS& s, Complex z, Complex) {
    trapNearest(s, z, std::fabs(z.re));
    if (std::fabs(z.re) < width(k))
        s.acc[0] += z.im > 0.0 ? 1.0 : -1.0;
}

void hiLoRings(const FC&, FS& s, Complex z, Complex p) {
    keepPrevious(s, p);
    s.acc[0] += mag(z) > mag(p) ? 1.0 : -1.0;
}

void xRayHiLoStalks(const FC& k, FS& s, Complex z, Complex) {
    trapNearest(s, z, stalkDistance(z));
    if (stalkDistance(z) < width(k))
        s.acc[0] += z.re * z.im > 0.0 ? 1.0 : -1.0;
}

void sineMethod(const FC& k, FS& s, Complex z, Complex p) {
    keepPrevious(s, p);
    s.acc[0] += std::sin(frequency(k) * z.re) * std::sin(frequency(k) * z.im);
}

void sineArctan(const FC& k, FS& s, Complex z, Complex p) {
    keepPrevious(s, p);
    s.acc[0] += std::sin(frequency(k) * angle(z));
}

void petals(const FC& k, FS& s, Complex z, Complex) {
    const double edge = radius(k) * std::fabs(std::sin(0.5 * frequency(k) * angle(z)));
    trapNearest(s, z, std::fabs(mag(z) - edge));
    s.acc[0] += mag(z) < edge ? 1.0 : 0.0;
}

void arctanBubbles(const FC& k, FS& s, Complex z, Complex) {
    trapNearest(s, z, mag(z));
    if (mag(z) < radius(k))
        s.acc[0] += (angle(z) + std::numbers::pi) / (2.0 * std::numbers::pi);
}

void standardDeviation(const FC&, FS& s, Complex z, Complex p) {
    keepPrevious(s, p);
    sumAndSquare(s, mag(z));
}

void weights(const FC&, FS& s, Complex z, Complex p) {
    keepPrevious(s, p);
    s.acc[0] += mag(z) * s.count;
    s.acc[1] += s.count;
}

void weights2(const FC&, FS& s, Complex z, Complex p) {
    keepPrevious(s, p);
    s.acc[0] += mag(z) / s.count;
    s.acc[1] += 1.0 / s.count;
}

void diamonds(const FC& k, FS& s, Complex z, Complex) {
    const double d = std::fabs(z.re) + std::fabs(z.im);
    trapNearest(s, z, d);
    s.acc[0] += bubble(k, d);
}

void wolf(const FC&, FS& s, Complex z, Complex p) {
    keepPrevious(s, p);
    s.acc[0] += mag(z - p) / (mag(z) + mag(p) + kTiny);
}

void bubbles4(const FC& k, FS& s, Complex z, Complex) {
    trapNearest(s, z, mag(z - Complex{k.bay1, k.bay2}));
}

void bubbles5(const FC&, FS& s, Complex z, Complex p) {
    trapNearest(s, z, mag(z - p));
}

// One line per filter: label, update (from z and the previous z p; "trap" = the saved
// value is the z nearest to the named shape, else the saved value is p), result.
// Filters that add a term per step report the mean over the steps, not the sum: a sum
// grows with the orbit's length, so near the set (long orbits at high MaxIter) ten times
// the sum would jump across the palette from one pixel to the next.
// w = Strands width (0.1 if 0), r = BayFactor1 radius (1 if 0), f = 10 |BayFactor2|
// (10 if 0), d = min(|re z|, |im z|), n = update count.
// clang-format off
constexpr std::array<OrbitFilter, kFilterCount> kFilters{{
    {"None",                         none,                mean},              // nothing gathered
    {"Iter Dimension",               iterDimension,       mean},              // mean of log(1+|z|)/log(n+1)
    {"Stalks Dimension",             stalksDimension,     mean},              // mean of log(1+1/d); trap axes
    {"P-Ring Dimension",             pRingDimension,      mean},              // mean of log(1+1/||z|-|p||); trap
    {"Arctan FDimension",            arctanDimension,     mean},              // mean of |arg z|/pi * log(1+|z|)
    {"FD Bubbles",                   fdBubbles,           mean},              // mean of log(1+|z|)/log(1+|p|); trap 0
    {"FD Bubbles II",                fdBubbles2,          mean},              // mean of log(1+|z-p|)/log(1+|p|); trap
    {"Stalks Std. Dev",              stalksDeviation,     deviation},         // std. deviation of d; trap axes
    {"Hi/Lo Stalks Std. Dev",        hiLoStalksDeviation, deviation},         // std. deviation of |re z|-|im z|
    {"Arctan Counting",              arctanCounting,      mean},              // share of steps with arg z > 0
    {"Moving Average I",             movingAverage1,      firstSum},          // a = (a + |z|) / 2
    {"Moving Average II",            movingAverage2,      firstSum},          // running mean of |z - p|
    {"Stalks",                       stalks,              mean},              // mean of 1 - d/w where d < w
    {"Stalks II",                    stalks2,             firstSum},          // max of 1 - |re z|/w
    {"X-Ray Stalks",                 xRayStalks,          mean},              // share of steps with d < w
    {"Jette",                        jette,               mean},              // mean of |re z im z| / |z|^2
    {"Bubbles II",                   bubbles2,            mean},              // mean of 1 - |z|/r where |z| < r
    {"Stalks & Bubbles",             stalksAndBubbles,    mean},              // mean of Stalks + Bubbles II terms
    {"Dual Bubbles",                 dualBubbles,         mean},              // mean of bubbles around +r and -r
    {"Rings I",                      rings1,              mean},              // mean of |sin(f |z|)|
    {"Rings II mod 2",               rings2,              mean},              // mean of floor(f |z|) mod 2
    {"Rings III mod 2",              rings3,              mean},              // mean of floor(f |z-p|) mod 2
    {"Hi/Lo Strands I",              hiLoStrands,         mean},              // mean of +-1 by sign of im z where |re z| < w
    {"Hi/Lo Rings",                  hiLoRings,           mean},              // mean of +1 if |z| > |p| else -1
    {"X-Ray Hi/Lo Stalks",           xRayHiLoStalks,      mean},              // mean of +-1 by sign of re z im z where d < w
    {"Sine Method",                  sineMethod,          mean},              // mean of sin(f re z) sin(f im z)
    {"Sine/Arctan Method",           sineArctan,          mean},              // mean of sin(f arg z)
    {"Sine Bubbles/Flower Petrals",  petals,              mean},              // share of steps with |z| < r |sin(f/2 arg z)|
    {"Arctan Bubbles",               arctanBubbles,       mean},              // mean of (arg z + pi)/2pi where |z| < r
    {"Standard Deviation",           standardDeviation,   deviation},         // std. deviation of |z|
    {"Weights",                      weights,             weightedMean},      // mean of |z| weighted by n
    {"Weights II",                   weights2,            weightedMean},      // mean of |z| weighted by 1/n
    {"Diamonds",                     diamonds,            mean},              // mean of 1 - (|re z|+|im z|)/r inside
    {"Wolf",                         wolf,                mean},              // mean of |z-p| / (|z|+|p|)
    {"Bubbles IV",                   bubbles4,            trappedDistance},   // nearest |z - (Bay1, Bay2)|
    {"Bubbles V",                    bubbles5,            trappedDistance},   // nearest |z - p|
}};
// clang-format on

} // namespace

const OrbitFilter& orbitFilter(int analysis) {
    if (analysis >= kFilterCount && analysis < kAnalysisCount)
        return orbitStatistic(analysis - kFilterCount);
    return kFilters[analysis >= 0 && analysis < kFilterCount ? analysis : 0];
}

} // namespace vortimax
