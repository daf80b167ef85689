#pragma once

// The stop tests of the general vector loop, one for one with kStopTests in
// escape_kernel.cpp (same operations, same order, ordered comparisons that are false for
// NaN). Include it only from the file compiled for an instruction set, with that set's
// vector operations `V`: everything here has internal linkage.

namespace vortimax {
namespace {

// The number of the "P-Ring" test, which compares |z| with a ring around |p|.
constexpr int kRingTest = 8;

template <typename V> struct StopLimits { typename V::Reg bailout, bailin, var; };

// |a| + BV |b|
template <typename V>
[[gnu::always_inline]] inline typename V::Reg manhattan(const StopLimits<V>& s, typename V::Reg a,
                                                        typename V::Reg b) {
    return V::add(V::abs(a), V::mul(s.var, V::abs(b)));
}

// Whether the new z passed bailout test kTest; ringLow and ringHigh are |p| -+ Bailin of
// the lane's point ("P-Ring" only).
template <int kTest, typename V>
[[gnu::always_inline]] inline typename V::Mask escaped(const StopLimits<V>& s, typename V::Reg re,
                                                       typename V::Reg im, typename V::Reg ringLow,
                                                       typename V::Reg ringHigh) {
    const typename V::Reg re2 = V::mul(re, re);
    const typename V::Reg im2 = V::mul(im, im);
    if constexpr (kTest == 0) // mod
        return V::lt(s.bailout, V::add(re2, V::mul(s.var, im2)));
    if constexpr (kTest == 1) // real
        return V::lt(s.bailout, re2);
    if constexpr (kTest == 2) // imag
        return V::lt(s.bailout, im2);
    if constexpr (kTest == 3) // or
        return V::either(V::lt(s.bailout, re2), V::lt(s.bailout, V::mul(s.var, im2)));
    if constexpr (kTest == 4) // and
        return V::both(V::lt(s.bailout, re2), V::lt(s.bailout, V::mul(s.var, im2)));
    if constexpr (kTest == 5) { // manh
        const typename V::Reg m = manhattan(s, re, im);
        return V::lt(s.bailout, V::mul(m, m));
    }
    if constexpr (kTest == 6) { // manr
        const typename V::Reg m = V::add(re, V::mul(s.var, im));
        return V::lt(s.bailout, V::mul(m, m));
    }
    if constexpr (kTest == 7) // lauw
        return V::lt(s.bailout, manhattan(s, re, im));
    if constexpr (kTest == kRingTest) {
        const typename V::Reg m = V::sqrt(V::add(re2, im2));
        return V::both(V::lt(ringLow, m), V::lt(m, ringHigh));
    }
}

// Whether a difference of two z is small enough by test kTest (finite attractor, cycle).
template <int kTest, typename V>
[[gnu::always_inline]] inline typename V::Mask settled(const StopLimits<V>& s, typename V::Reg re,
                                                       typename V::Reg im) {
    const typename V::Reg re2 = V::mul(re, re);
    const typename V::Reg im2 = V::mul(im, im);
    if constexpr (kTest == 0)
        return V::lt(V::add(re2, V::mul(s.var, im2)), s.bailin);
    if constexpr (kTest == 1)
        return V::lt(re2, s.bailin);
    if constexpr (kTest == 2)
        return V::lt(im2, s.bailin);
    if constexpr (kTest == 3)
        return V::either(V::lt(re2, s.bailin), V::lt(V::mul(s.var, im2), s.bailin));
    if constexpr (kTest == 4)
        return V::both(V::lt(re2, s.bailin), V::lt(V::mul(s.var, im2), s.bailin));
    if constexpr (kTest == 5) {
        const typename V::Reg m = manhattan(s, re, im);
        return V::lt(V::mul(m, m), s.bailin);
    }
    if constexpr (kTest == 6) {
        const typename V::Reg m = V::add(re, V::mul(s.var, im));
        return V::lt(V::mul(m, m), s.bailin);
    }
    if constexpr (kTest == 7)
        return V::lt(manhattan(s, re, im), s.bailin);
    if constexpr (kTest == kRingTest) // the ring has no finite or cycle test
        return V::none();
}

} // namespace
} // namespace vortimax
