#pragma once

// The lane machinery of the general loop, instantiated once per instruction set with that
// set's vector operations `V`. Include it only from the file compiled for that set:
// everything here has internal linkage (see fast_orbit_lanes_impl.h).
//
// Each lane carries one orbit and takes one step of generalLoop at a time, with every stop
// test after each step; the lanes step together until at least one orbit ends. Ended
// orbits are handed out and their lanes refilled with the next ones; once the orbits run
// out, the busy lanes are packed into as few vectors as they need.
//
// generalLoop counts `remaining` down before each step and stops when it drops below 0.
// Here the lane ends after the step that reached 0 instead and reports -1 unless a stop
// test ended it at that step: the same orbit with the same final z.

#include "render/escape/fast_orbit_lanes.h"
#include "render/escape/general_orbit_lanes.h"
#include "render/escape/general_steps_impl.h"
#include "render/escape/general_tests_impl.h"
#include "render/escape/lane_packing.h"

#include <cstdint>

namespace vortimax {
namespace {

// The per-lane state, each field an array over the lanes.
enum LaneField : int {
    kFieldZr,
    kFieldZi,
    kFieldConstants, // kLaneConstants fields
    kFieldRemaining = kFieldConstants + kLaneConstants,
    kFieldSavedRe, // z at the start of the cycle test
    kFieldSavedIm,
    kFieldRingLow, // |p| - Bailin ("P-Ring")
    kFieldRingHigh,
    // Extrema; the magnitudes are NaN until the first one that is not NaN (generalLoop's
    // `seen`: it always takes the first magnitude and keeps a NaN only until another).
    kFieldLargest,
    kFieldSmallest,
    kFieldLargestAt,
    kFieldSmallestAt,
    kFieldCount
};

// The lanes that ended in a run of steps (bit i: lane i), and those among them that a
// stop test ended (the others ran out of iterations).
struct LaneEnds {
    std::uint64_t ended = 0;
    std::uint64_t stopped = 0;
};

// kPlainVectors vectors of lanes step side by side without tracking, kTrackVectors with
// it (the extrema take registers of their own).
template <typename V, int kPlainVectors, int kTrackVectors> class GeneralOrbitLanes {
public:
    explicit GeneralOrbitLanes(GeneralOrbits& orbits) : orbits_(orbits), shape_(orbits.shape) {}

    void run() {
        switch (shape_.subtype) {
        case LaneSubtype::Square:
            runWithTest<SquarePlusC<V>>();
            break;
        case LaneSubtype::Cube:
            runWithTest<CubePlusC<V>>();
            break;
        case LaneSubtype::Magnet1:
            runWithTest<Magnet1<V>>();
            break;
        case LaneSubtype::Magnet2:
            runWithTest<Magnet2<V>>();
            break;
        }
    }

private:
    using R = typename V::Reg;
    using M = typename V::Mask;
    static constexpr int kLanes =
        (kPlainVectors > kTrackVectors ? kPlainVectors : kTrackVectors) * V::kWidth;
    static_assert(kLanes <= 64);
    // An empty lane: NaN passes no test and its counter never reaches 0 or halfIter.
    static constexpr double kIdleRemaining = 1e300;
    static constexpr double kIdle = __builtin_nan("");

    template <typename Step> void runWithTest() {
        switch (shape_.bailoutTest) {
        case 1:
            return runTracked<Step, 1>();
        case 2:
            return runTracked<Step, 2>();
        case 3:
            return runTracked<Step, 3>();
        case 4:
            return runTracked<Step, 4>();
        case 5:
            return runTracked<Step, 5>();
        case 6:
            return runTracked<Step, 6>();
        case 7:
            return runTracked<Step, 7>();
        case kRingTest:
            return runTracked<Step, kRingTest>();
        default:
            return runTracked<Step, 0>();
        }
    }

    template <typename Step, int kTest> void runTracked() {
        if (shape_.track)
            runLanes<Step, kTest, true>();
        else
            runLanes<Step, kTest, false>();
    }

    template <typename Step, int kTest, bool kTrack> void runLanes() {
        constexpr int kVectors = kTrack ? kTrackVectors : kPlainVectors;
        lanes_ = kVectors * V::kWidth;
        for (int lane = 0; lane < lanes_; ++lane)
            refill<Step>(lane);
        int endedSinceCheck = 0;
        int runsSinceCheck = 0;
        while (active_ > 0) {
            const int vectors = (active_ + V::kWidth - 1) / V::kWidth;
            if (next_ >= orbits_.count)
                pack(vectors);
            const LaneEnds ends = runSteps<Step, kTest, kTrack, kVectors>(vectors);
            std::uint64_t ended = ends.ended;
            while (ended != 0) {
                const int lane = __builtin_ctzll(ended);
                ended &= ended - 1;
                if (orbit_[lane] < 0)
                    continue;
                finish(lane, (ends.stopped >> lane & 1) != 0);
                refill<Step>(lane);
                ++endedSinceCheck;
            }
            ++runsSinceCheck;
            if ((endedSinceCheck >= kOrbitsBetweenStopChecks ||
                 runsSinceCheck >= kRunsBetweenStopChecks) &&
                orbits_.mustStop != nullptr) {
                endedSinceCheck = 0;
                runsSinceCheck = 0;
                if (orbits_.mustStop(orbits_.stopContext))
                    return;
            }
        }
    }

    // Steps the first `vectors` vectors (at most three are told apart, then all run).
    template <typename Step, int kTest, bool kTrack, int kVectors> LaneEnds runSteps(int vectors) {
        constexpr int kTwo = kVectors < 2 ? kVectors : 2;
        switch (vectors) {
        case 1:
            return steps<Step, kTest, kTrack, 1>();
        case 2:
            return steps<Step, kTest, kTrack, kTwo>();
        default:
            return steps<Step, kTest, kTrack, kVectors>();
        }
    }

    template <typename Step> void refill(int lane) {
        if (next_ >= orbits_.count) {
            orbit_[lane] = -1;
            for (double* field : state_)
                field[lane] = kIdle;
            state_[kFieldRemaining][lane] = kIdleRemaining;
            return;
        }
        const int k = next_++;
        orbit_[lane] = k;
        for (int i = 0; i < Step::kConstants; ++i)
            state_[kFieldConstants + i][lane] = orbits_.constants[k * kLaneConstants + i];
        state_[kFieldZr][lane] = state_[kFieldSavedRe][lane] = orbits_.zr[k];
        state_[kFieldZi][lane] = state_[kFieldSavedIm][lane] = orbits_.zi[k];
        state_[kFieldRemaining][lane] = shape_.maxIter;
        if (shape_.bailoutTest == kRingTest) {
            state_[kFieldRingLow][lane] = orbits_.pointMagnitude[k] - shape_.bailin;
            state_[kFieldRingHigh][lane] = orbits_.pointMagnitude[k] + shape_.bailin;
        }
        state_[kFieldLargest][lane] = state_[kFieldSmallest][lane] = kIdle;
        state_[kFieldLargestAt][lane] = state_[kFieldSmallestAt][lane] = 0.0;
        ++active_;
    }

    void finish(int lane, bool stopped) {
        const int k = orbit_[lane];
        orbits_.zr[k] = state_[kFieldZr][lane];
        orbits_.zi[k] = state_[kFieldZi][lane];
        orbits_.remaining[k] =
            stopped ? static_cast<std::int32_t>(state_[kFieldRemaining][lane]) : -1;
        if (shape_.track) {
            orbits_.largest[k] = state_[kFieldLargest][lane];
            orbits_.smallest[k] = state_[kFieldSmallest][lane];
            orbits_.largestAt[k] = static_cast<std::int32_t>(state_[kFieldLargestAt][lane]);
            orbits_.smallestAt[k] = static_cast<std::int32_t>(state_[kFieldSmallestAt][lane]);
        }
        --active_;
    }

    // Moves the busy lanes into the first `vectors` vectors.
    void pack(int vectors) { packLanes(orbit_, state_, vectors * V::kWidth, lanes_); }

    // The registers of one vector of lanes.
    struct Lanes {
        R zr, zi, remaining, savedRe, savedIm, ringLow, ringHigh;
        R largest, smallest, largestAt, smallestAt;
        R constants[kLaneConstants];
    };

    template <typename Step, int kTest, bool kTrack> void load(Lanes& l, int offset) const {
        const auto at = [&](int field) { return V::load(state_[field] + offset); };
        l.zr = at(kFieldZr);
        l.zi = at(kFieldZi);
        l.remaining = at(kFieldRemaining);
        l.savedRe = at(kFieldSavedRe);
        l.savedIm = at(kFieldSavedIm);
        for (int i = 0; i < Step::kConstants; ++i)
            l.constants[i] = at(kFieldConstants + i);
        if constexpr (kTest == kRingTest) {
            l.ringLow = at(kFieldRingLow);
            l.ringHigh = at(kFieldRingHigh);
        }
        if constexpr (kTrack) {
            l.largest = at(kFieldLargest);
            l.smallest = at(kFieldSmallest);
            l.largestAt = at(kFieldLargestAt);
            l.smallestAt = at(kFieldSmallestAt);
        }
    }

    template <bool kTrack> void store(const Lanes& l, int offset) {
        const auto put = [&](int field, R value) { V::store(state_[field] + offset, value); };
        put(kFieldZr, l.zr);
        put(kFieldZi, l.zi);
        put(kFieldRemaining, l.remaining);
        put(kFieldSavedRe, l.savedRe);
        put(kFieldSavedIm, l.savedIm);
        if constexpr (kTrack) {
            put(kFieldLargest, l.largest);
            put(kFieldSmallest, l.smallest);
            put(kFieldLargestAt, l.largestAt);
            put(kFieldSmallestAt, l.smallestAt);
        }
    }

    // OrbitExtrema::update for the new z at iteration `iteration`.
    [[gnu::always_inline]] static void track(Lanes& l, R iteration) {
        const R m = V::add(V::mul(l.zr, l.zr), V::mul(l.zi, l.zi));
        const M unseen = V::unordered(l.largest, l.smallest);
        const M larger = V::either(unseen, V::gt(m, l.largest));
        const M smaller = V::either(unseen, V::lt(m, l.smallest));
        l.largest = V::select(larger, m, l.largest);
        l.largestAt = V::select(larger, iteration, l.largestAt);
        l.smallest = V::select(smaller, m, l.smallest);
        l.smallestAt = V::select(smaller, iteration, l.smallestAt);
    }

    // Steps the first N vectors of lanes until at least one orbit ends.
    template <typename Step, int kTest, bool kTrack, int N> LaneEnds steps() {
        Lanes lanes[N]{};
        for (int v = 0; v < N; ++v)
            load<Step, kTest, kTrack>(lanes[v], v * V::kWidth);
        const StopLimits<V> limits{V::set(shape_.bailout), V::set(shape_.bailin),
                                   V::set(shape_.bailoutVar)};
        const R one = V::set(1.0);
        const R zero = V::set(0.0);
        const R half = V::set(shape_.halfIter);
        const R maxIter = V::set(shape_.maxIter);
        const bool infinity = shape_.testInfinity;
        const bool finite = shape_.testFinite;
        const bool cycle = shape_.testCycle;
        M stopped[N];
        M ended[N];
        for (;;) {
            M any = V::none();
#pragma GCC unroll 4
            for (int v = 0; v < N; ++v) {
                Lanes& l = lanes[v];
                l.remaining = V::sub(l.remaining, one);
                const R previousRe = l.zr;
                const R previousIm = l.zi;
                if (cycle) {
                    const M start = V::eq(l.remaining, half);
                    l.savedRe = V::select(start, l.zr, l.savedRe);
                    l.savedIm = V::select(start, l.zi, l.savedIm);
                }
                Step::apply(l.zr, l.zi, l.constants);
                if constexpr (kTrack)
                    track(l, V::sub(maxIter, l.remaining));
                M stop = V::none();
                if (infinity)
                    stop = escaped<kTest, V>(limits, l.zr, l.zi, l.ringLow, l.ringHigh);
                if (finite) {
                    const M s = settled<kTest, V>(limits, V::sub(l.zr, previousRe),
                                                  V::sub(l.zi, previousIm));
                    stop = V::either(stop, s);
                }
                if (cycle) {
                    const M s =
                        settled<kTest, V>(limits, V::sub(l.zr, l.savedRe), V::sub(l.zi, l.savedIm));
                    stop = V::either(stop, V::both(V::le(l.remaining, half), s));
                }
                stopped[v] = stop;
                ended[v] = V::either(stop, V::eq(l.remaining, zero));
                any = V::either(any, ended[v]);
            }
            if (V::any(any))
                break;
        }
        LaneEnds ends;
        for (int v = 0; v < N; ++v) {
            store<kTrack>(lanes[v], v * V::kWidth);
            ends.ended |= static_cast<std::uint64_t>(V::bits(ended[v])) << (v * V::kWidth);
            ends.stopped |= static_cast<std::uint64_t>(V::bits(stopped[v])) << (v * V::kWidth);
        }
        return ends;
    }

    GeneralOrbits& orbits_;
    const GeneralLoopShape shape_;
    int next_ = 0;
    int active_ = 0;
    alignas(64) double state_[kFieldCount][kLanes];
    int orbit_[kLanes];
    int lanes_ = kLanes; // the lanes in use
};

} // namespace
} // namespace vortimax
