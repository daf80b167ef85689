#pragma once

#include "formula/complex.h"

#include <cmath>
#include <cstdint>
#include <string_view>

namespace vortimax {

// The constants a filter reads from the record: the strand/stalk width (`Strands`) and the
// two bubble constants (`BayFactor1`, `BayFactor2`).
struct FilterConstants {
    double strands = 0.0;
    double bay1 = 1.0;
    double bay2 = 1.0;
};

// What a filter gathers along an orbit. `saved` is the orbit value the filter keeps
// (zsav); `acc` are its running sums; `count` the number of updates so far.
struct FilterState {
    Complex saved{0.0, 0.0};
    double acc[3] = {0.0, 0.0, 0.0};
    bool trapped = false;
    std::int32_t count = 0;
};

// Called after each orbit step with the new z and the z before the step.
using FilterUpdate = void (*)(const FilterConstants&, FilterState&, Complex z, Complex previous);
// The filter's result once the orbit has ended.
using FilterResult = double (*)(const FilterState&);

struct OrbitFilter {
    std::string_view label;
    FilterUpdate update;
    FilterResult result;
};

constexpr int kFilterCount = 36;
// `Analysis` numbers: the filters 0 ... 35, then the orbit statistics 36 ... 55.
constexpr int kAnalysisCount = 56;

// The filter or statistic of number `analysis`; numbers outside 0 ... 55 get "None".
const OrbitFilter& orbitFilter(int analysis);

// Whether |v|^2 is a finite double, so that magnitudes and squares of v are too.
inline bool withinRange(Complex v) {
    return std::isfinite(v.re * v.re + v.im * v.im);
}

// Runs one update: counts it, then lets the filter look at z and the previous z unless
// either left the range of withinRange (an overflowing step of an escaping orbit), which
// would turn the accumulators into infinity or NaN.
inline void updateFilter(const OrbitFilter& filter, const FilterConstants& constants,
                         FilterState& state, Complex z, Complex previous) {
    ++state.count;
    if (withinRange(z) && withinRange(previous))
        filter.update(constants, state, z, previous);
}

} // namespace vortimax
