#pragma once

// The lane machinery of the true-colour orbit loops, instantiated once per instruction set
// with that set's vector operations `V`. Include it only from the file compiled for that
// set: everything here has internal linkage (see fast_orbit_lanes_impl.h).
//
// Each lane carries one orbit and takes one step of the scalar loop at a time, with its
// exit test after each step; the lanes step together until at least one orbit ends.
// Ended orbits are handed out and their lanes refilled with the next ones; once the
// orbits run out, the busy lanes are packed into as few vectors as they need. Every
// operation is that of the scalar loop in julia24_driver.cpp, in the same order.

#include "render/escape/fast_orbit_lanes.h"
#include "render/escape/lane_packing.h"
#include "render/escape/truecolour_lanes.h"

#include <cstdint>

namespace vortimax {
namespace {

// The per-lane state, each field an array over the lanes.
enum TrueColourField : int {
    kTcZr,
    kTcZi,
    kTcDzr,
    kTcDzi,
    kTcCr,
    kTcCi,
    // The loop index (derivative loop) or the counter (fast loop).
    kTcCount,
    kTcMagnitude,
    kTcLargest,
    kTcSmallest,
    kTcLargestAt,
    kTcSmallestAt,
    kTcFieldCount
};

// kFastVectors vectors of lanes step side by side in the loop without derivative,
// kDerivativeVectors in the loop with it (dz takes registers of its own) and
// kTrackVectors when that loop also records the extremes.
template <typename V, int kFastVectors, int kDerivativeVectors, int kTrackVectors>
class TrueColourLanes {
public:
    explicit TrueColourLanes(TrueColourOrbits& orbits) : orbits_(orbits), shape_(orbits.shape) {}

    void run() {
        if (shape_.fast)
            runLanes<true, false, false>();
        else if (shape_.cubic)
            runTracked<true>();
        else
            runTracked<false>();
    }

private:
    using R = typename V::Reg;
    using M = typename V::Mask;
    static constexpr int kMostVectors =
        kFastVectors > kDerivativeVectors
            ? (kFastVectors > kTrackVectors ? kFastVectors : kTrackVectors)
            : (kDerivativeVectors > kTrackVectors ? kDerivativeVectors : kTrackVectors);
    static constexpr int kLanes = kMostVectors * V::kWidth;
    static_assert(kLanes <= 64);
    // An empty lane: NaN passes no test, and a NaN index or counter never reaches the end.
    static constexpr double kIdle = __builtin_nan("");

    template <bool kCubic> void runTracked() {
        if (shape_.track)
            runLanes<false, kCubic, true>();
        else
            runLanes<false, kCubic, false>();
    }

    template <bool kFast, bool kCubic, bool kTrack> void runLanes() {
        constexpr int kVectors = kFast ? kFastVectors : kTrack ? kTrackVectors : kDerivativeVectors;
        lanes_ = kVectors * V::kWidth;
        for (int lane = 0; lane < lanes_; ++lane)
            refill(lane);
        int endedSinceCheck = 0;
        int runsSinceCheck = 0;
        while (active_ > 0) {
            const int vectors = (active_ + V::kWidth - 1) / V::kWidth;
            if (next_ >= orbits_.count)
                pack(vectors);
            std::uint64_t ended = runSteps<kFast, kCubic, kTrack, kVectors>(vectors);
            while (ended != 0) {
                const int lane = __builtin_ctzll(ended);
                ended &= ended - 1;
                if (orbit_[lane] < 0)
                    continue;
                finish(lane);
                refill(lane);
                ++endedSinceCheck;
            }
            ++runsSinceCheck;
            if ((endedSinceCheck >= orbits_.checkEvery ||
                 runsSinceCheck >= kRunsBetweenStopChecks) &&
                orbits_.mustStop != nullptr) {
                endedSinceCheck = 0;
                runsSinceCheck = 0;
                if (orbits_.mustStop(orbits_.stopContext))
                    return;
            }
        }
    }

    // Steps the first `vectors` vectors (one, two, or all).
    template <bool kFast, bool kCubic, bool kTrack, int kVectors>
    std::uint64_t runSteps(int vectors) {
        constexpr int kTwo = kVectors < 2 ? kVectors : 2;
        switch (vectors) {
        case 1:
            return steps<kFast, kCubic, kTrack, 1>();
        case 2:
            return steps<kFast, kCubic, kTrack, kTwo>();
        default:
            return steps<kFast, kCubic, kTrack, kVectors>();
        }
    }

    void refill(int lane) {
        if (next_ >= orbits_.count) {
            orbit_[lane] = -1;
            for (double* field : state_)
                field[lane] = kIdle;
            return;
        }
        const int k = next_++;
        orbit_[lane] = k;
        state_[kTcZr][lane] = orbits_.zr[k];
        state_[kTcZi][lane] = orbits_.zi[k];
        state_[kTcDzr][lane] = shape_.fast ? 0.0 : orbits_.dzr[k];
        state_[kTcDzi][lane] = shape_.fast ? 0.0 : orbits_.dzi[k];
        state_[kTcCr][lane] = orbits_.cr[k];
        state_[kTcCi][lane] = orbits_.ci[k];
        const std::int32_t counter = shape_.maxIter - 1 > 2 ? shape_.maxIter - 1 : 2;
        state_[kTcCount][lane] = shape_.fast ? counter : 0.0;
        state_[kTcMagnitude][lane] = 0.0;
        state_[kTcLargest][lane] = 0.0;
        state_[kTcSmallest][lane] = __builtin_inf();
        state_[kTcLargestAt][lane] = state_[kTcSmallestAt][lane] = 0.0;
        ++active_;
    }

    void finish(int lane) {
        const int k = orbit_[lane];
        orbits_.zr[k] = state_[kTcZr][lane];
        orbits_.zi[k] = state_[kTcZi][lane];
        if (!shape_.fast) {
            orbits_.dzr[k] = state_[kTcDzr][lane];
            orbits_.dzi[k] = state_[kTcDzi][lane];
        }
        orbits_.counts[k] = state_[kTcCount][lane];
        orbits_.magnitude[k] = state_[kTcMagnitude][lane];
        if (shape_.track) {
            orbits_.largest[k] = state_[kTcLargest][lane];
            orbits_.smallest[k] = state_[kTcSmallest][lane];
            orbits_.largestAt[k] = static_cast<std::int32_t>(state_[kTcLargestAt][lane]);
            orbits_.smallestAt[k] = static_cast<std::int32_t>(state_[kTcSmallestAt][lane]);
        }
        orbits_.ended[k] = 1;
        --active_;
    }

    // Moves the busy lanes into the first `vectors` vectors.
    void pack(int vectors) { packLanes(orbit_, state_, vectors * V::kWidth, lanes_); }

    // The registers of one vector of lanes.
    struct Lanes {
        R zr, zi, dzr, dzi, cr, ci, count, magnitude;
        R largest, smallest, largestAt, smallestAt;
    };

    template <bool kFast, bool kTrack> void load(Lanes& l, int offset) const {
        const auto at = [&](int field) { return V::load(state_[field] + offset); };
        l.zr = at(kTcZr);
        l.zi = at(kTcZi);
        l.cr = at(kTcCr);
        l.ci = at(kTcCi);
        l.count = at(kTcCount);
        l.magnitude = at(kTcMagnitude);
        if constexpr (!kFast) {
            l.dzr = at(kTcDzr);
            l.dzi = at(kTcDzi);
        }
        if constexpr (kTrack) {
            l.largest = at(kTcLargest);
            l.smallest = at(kTcSmallest);
            l.largestAt = at(kTcLargestAt);
            l.smallestAt = at(kTcSmallestAt);
        }
    }

    template <bool kFast, bool kTrack> void store(const Lanes& l, int offset) {
        const auto put = [&](int field, R value) { V::store(state_[field] + offset, value); };
        put(kTcZr, l.zr);
        put(kTcZi, l.zi);
        put(kTcCount, l.count);
        put(kTcMagnitude, l.magnitude);
        if constexpr (!kFast) {
            put(kTcDzr, l.dzr);
            put(kTcDzi, l.dzi);
        }
        if constexpr (kTrack) {
            put(kTcLargest, l.largest);
            put(kTcSmallest, l.smallest);
            put(kTcLargestAt, l.largestAt);
            put(kTcSmallestAt, l.smallestAt);
        }
    }

    // One step of the fast loop: the single-precision |z|^2 before the step, z = z z + c,
    // the counter down; ends beyond the bailout or when the counter reaches 0.
    [[gnu::always_inline]] static M fastStep(Lanes& l, R bailout, R one, R zero) {
        l.magnitude = V::roundToFloat(V::add(V::mul(l.zr, l.zr), V::mul(l.zi, l.zi)));
        const R re = V::sub(V::mul(l.zr, l.zr), V::mul(l.zi, l.zi));
        const R im = V::add(V::mul(l.zr, l.zi), V::mul(l.zi, l.zr));
        l.zr = V::add(re, l.cr);
        l.zi = V::add(im, l.ci);
        l.count = V::sub(l.count, one);
        return V::either(V::lt(bailout, l.magnitude), V::eq(l.count, zero));
    }

    // One step of the derivative loop: |z|^2 before the step, dz = k z^(k-1) dz + e, then
    // z = z^k + c; the extremes of the new |z|^2; ends beyond the bailout (the index stays
    // n) or after MaxIter steps (the index becomes MaxIter).
    template <bool kCubic, bool kTrack>
    [[gnu::always_inline]] static M derivativeStep(Lanes& l, R bailout, R add, R one, R maxIter) {
        l.magnitude = V::add(V::mul(l.zr, l.zr), V::mul(l.zi, l.zi));
        const R sr = V::sub(V::mul(l.zr, l.zr), V::mul(l.zi, l.zi));
        const R si = V::add(V::mul(l.zr, l.zi), V::mul(l.zi, l.zr));
        R ar, ai;
        if constexpr (kCubic) {
            ar = V::mul(V::set(3.0), sr);
            ai = V::mul(V::set(3.0), si);
        } else {
            ar = V::mul(V::set(2.0), l.zr);
            ai = V::mul(V::set(2.0), l.zi);
        }
        const R dr = V::sub(V::mul(ar, l.dzr), V::mul(ai, l.dzi));
        const R di = V::add(V::mul(ar, l.dzi), V::mul(ai, l.dzr));
        l.dzr = V::add(dr, add);
        l.dzi = V::add(di, V::set(0.0));
        if constexpr (kCubic) {
            const R re = V::sub(V::mul(sr, l.zr), V::mul(si, l.zi));
            const R im = V::add(V::mul(sr, l.zi), V::mul(si, l.zr));
            l.zr = V::add(re, l.cr);
            l.zi = V::add(im, l.ci);
        } else {
            l.zr = V::add(sr, l.cr);
            l.zi = V::add(si, l.ci);
        }
        if constexpr (kTrack) {
            const R m = V::add(V::mul(l.zr, l.zr), V::mul(l.zi, l.zi));
            const M larger = V::gt(m, l.largest);
            const M smaller = V::lt(m, l.smallest);
            l.largest = V::select(larger, m, l.largest);
            l.largestAt = V::select(larger, l.count, l.largestAt);
            l.smallest = V::select(smaller, m, l.smallest);
            l.smallestAt = V::select(smaller, l.count, l.smallestAt);
        }
        const M escaped = V::gt(l.magnitude, bailout);
        const R following = V::add(l.count, one);
        l.count = V::select(escaped, l.count, following);
        return V::either(escaped, V::eq(following, maxIter));
    }

    // Steps the first N vectors of lanes until at least one orbit ends; returns the
    // ended lanes (bit i: lane i).
    template <bool kFast, bool kCubic, bool kTrack, int N> std::uint64_t steps() {
        Lanes lanes[N]{};
        for (int v = 0; v < N; ++v)
            load<kFast, kTrack>(lanes[v], v * V::kWidth);
        const R bailout = V::set(shape_.bailout);
        const R add = V::set(shape_.derivativeAdd);
        const R one = V::set(1.0);
        const R zero = V::set(0.0);
        const R maxIter = V::set(shape_.maxIter);
        M ended[N];
        for (;;) {
            M any = V::none();
#pragma GCC unroll 4
            for (int v = 0; v < N; ++v) {
                if constexpr (kFast)
                    ended[v] = fastStep(lanes[v], bailout, one, zero);
                else
                    ended[v] = derivativeStep<kCubic, kTrack>(lanes[v], bailout, add, one, maxIter);
                any = V::either(any, ended[v]);
            }
            if (V::any(any))
                break;
        }
        std::uint64_t bits = 0;
        for (int v = 0; v < N; ++v) {
            store<kFast, kTrack>(lanes[v], v * V::kWidth);
            bits |= static_cast<std::uint64_t>(V::bits(ended[v])) << (v * V::kWidth);
        }
        return bits;
    }

    TrueColourOrbits& orbits_;
    const TrueColourShape shape_;
    int next_ = 0;
    int active_ = 0;
    alignas(64) double state_[kTcFieldCount][kLanes];
    int orbit_[kLanes];
    int lanes_ = kLanes; // the lanes in use
};

} // namespace
} // namespace vortimax
