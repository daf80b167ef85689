#pragma once

// The lane machinery shared by the vector kernels of the fast loop, instantiated once per
// instruction set with that set's vector operations `V`. Include it only from the file
// compiled for that set: everything here has internal linkage, so no copy built with
// wider instructions can leak into the rest of the program.
//
// Each lane carries one orbit. A block runs kBlock steps on every lane without any exit
// test, keeping only the largest |z|^2 seen. A lane whose block contained a magnitude
// beyond the threshold, or whose counter runs out within the block, is taken back to z
// at the start of the block and runs it again with the exit test after every step (all
// such lanes together, side by side), so the overshoot is undone exactly. Finished lanes are
// refilled with the next orbits; once the orbits run out, the remaining lanes are packed into as
// few vectors as they need.

#include "render/fast_orbit_lanes.h"
#include "render/lane_packing.h"

#include <cstdint>

namespace vortimax {
namespace {

template <typename V, int kVectors, int kBlock> class FastOrbitLanes {
public:
    explicit FastOrbitLanes(FastOrbits& orbits) : orbits_(orbits) {}

    void run() {
        for (int lane = 0; lane < kLanes; ++lane)
            refill(lane);
        int endedSinceCheck = 0;
        while (active_ > 0) {
            const int vectors = (active_ + V::kWidth - 1) / V::kWidth;
            if (next_ >= orbits_.count)
                pack(vectors);
            const std::uint64_t flagged = runBlock(vectors);
            int which[kVectors];
            unsigned lanes[kVectors];
            int count = 0;
            for (int v = 0; v < vectors; ++v) {
                lanes[count] = busyLanes(v, flagged);
                which[count] = v;
                count += lanes[count] != 0 ? 1 : 0;
            }
            settle(which, lanes, count);
            for (int k = 0; k < count; ++k) {
                for (unsigned rest = lanes[k]; rest != 0; rest &= rest - 1) {
                    const int lane = which[k] * V::kWidth + __builtin_ctz(rest);
                    handOut(lane);
                    refill(lane);
                    ++endedSinceCheck;
                }
            }
            if (endedSinceCheck >= kOrbitsBetweenStopChecks && orbits_.mustStop != nullptr) {
                endedSinceCheck = 0;
                if (orbits_.mustStop(orbits_.stopContext))
                    return;
            }
        }
    }

private:
    static constexpr int kLanes = kVectors * V::kWidth;
    // An empty lane: its NaN magnitudes never count as beyond the threshold (not even a
    // threshold of 0 for a negative bailout) and its counter never runs out.
    static constexpr double kIdleCounter = 1e300;
    static constexpr double kIdleZ = __builtin_nan("");

    void refill(int lane) {
        if (next_ >= orbits_.count) {
            orbit_[lane] = -1;
            zr_[lane] = zi_[lane] = cr_[lane] = ci_[lane] = kIdleZ;
            counter_[lane] = kIdleCounter;
            return;
        }
        const int k = next_++;
        orbit_[lane] = k;
        zr_[lane] = orbits_.zr[k];
        zi_[lane] = orbits_.zi[k];
        cr_[lane] = orbits_.cr[k];
        ci_[lane] = orbits_.ci[k];
        counter_[lane] = orbits_.counter;
        ++active_;
    }

    // The flagged lanes of vector v that carry an orbit.
    unsigned busyLanes(int v, std::uint64_t flagged) const {
        auto lanes = static_cast<unsigned>(flagged >> (v * V::kWidth)) & ((1u << V::kWidth) - 1);
        for (unsigned rest = lanes; rest != 0; rest &= rest - 1) {
            const int lane = v * V::kWidth + __builtin_ctz(rest);
            if (orbit_[lane] < 0)
                lanes &= ~(1u << (lane - v * V::kWidth));
        }
        return lanes;
    }

    // Runs the block of the flagged lanes again from its start, one step at a time with
    // the exit test after every step, each lane frozen at the step that ends it: exactly
    // the steps of the scalar loop. The vectors which[0 ... count - 1] run side by side;
    // lanes[k] names the flagged lanes of vector which[k] on entry and those whose orbit
    // ended on return (a flagged lane that goes on, a growth test false alarm, has then
    // run the whole block).
    void settle(const int* which, unsigned* lanes, int count) {
        switch (count) {
        case 0:
            return;
        case 1:
            return settle<1>(which, lanes);
        case 2:
            return settle<(kVectors < 2 ? kVectors : 2)>(which, lanes);
        case 3:
            return settle<(kVectors < 3 ? kVectors : 3)>(which, lanes);
        case 4:
            return settle<(kVectors < 4 ? kVectors : 4)>(which, lanes);
        case 5:
            return settle<(kVectors < 5 ? kVectors : 5)>(which, lanes);
        default:
            return settle<kVectors>(which, lanes);
        }
    }

    template <int N> void settle(const int* which, unsigned* lanes) {
        using R = typename V::Reg;
        using M = typename V::Mask;
        R zr[N], zi[N], counter[N], cr[N], ci[N];
        M running[N], done[N];
        const R two = V::set(2.0);
        const R one = V::set(1.0);
        const R zero = V::set(0.0);
        const R threshold = V::set(orbits_.threshold);
#pragma GCC unroll 8
        for (int v = 0; v < N; ++v) {
            const int at = which[v] * V::kWidth;
            zr[v] = V::load(zr_ + at);
            zi[v] = V::load(zi_ + at);
            counter[v] = V::load(counter_ + at);
            cr[v] = V::load(cr_ + at);
            ci[v] = V::load(ci_ + at);
            running[v] = V::maskOf(lanes[v]);
            done[v] = V::maskOf(0);
        }
        for (int step = 0; step < kBlock; ++step) {
            unsigned left = 0;
#pragma GCC unroll 8
            for (int v = 0; v < N; ++v) {
                const M active = V::butNot(running[v], done[v]);
                const R zr2 = V::mul(zr[v], zr[v]);
                const R zi2 = V::mul(zi[v], zi[v]);
                const R magnitude = V::add(zr2, zi2);
                const R nextZi = V::add(V::mul(V::mul(two, zr[v]), zi[v]), ci[v]);
                const R nextZr = V::add(V::sub(zr2, zi2), cr[v]);
                const R nextCounter = V::sub(counter[v], one);
                zr[v] = V::keepWhere(active, nextZr, zr[v]);
                zi[v] = V::keepWhere(active, nextZi, zi[v]);
                counter[v] = V::keepWhere(active, nextCounter, counter[v]);
                const M ends =
                    V::either(V::atLeast(magnitude, threshold), V::equal(nextCounter, zero));
                done[v] = V::either(done[v], V::both(active, ends));
                left |= V::bits(V::butNot(running[v], done[v]));
            }
            if (left == 0)
                break;
        }
#pragma GCC unroll 8
        for (int v = 0; v < N; ++v) {
            const int at = which[v] * V::kWidth;
            V::store(zr_ + at, V::keepWhere(running[v], zr[v], V::load(zr_ + at)));
            V::store(zi_ + at, V::keepWhere(running[v], zi[v], V::load(zi_ + at)));
            V::store(counter_ + at, V::keepWhere(running[v], counter[v], V::load(counter_ + at)));
            lanes[v] = V::bits(done[v]);
        }
    }

    // Hands the ended orbit of a lane out.
    void handOut(int lane) {
        const int k = orbit_[lane];
        orbits_.zr[k] = zr_[lane];
        orbits_.zi[k] = zi_[lane];
        orbits_.remaining[k] = static_cast<std::int32_t>(counter_[lane]) - 1;
        --active_;
    }

    // Moves the busy lanes into the first `vectors` vectors.
    void pack(int vectors) {
        double* fields[] = {zr_, zi_, cr_, ci_, counter_};
        packLanes(orbit_, fields, vectors * V::kWidth, kLanes);
    }

    std::uint64_t runBlock(int vectors) {
        return orbits_.growthTest ? runBlock<true>(vectors) : runBlock<false>(vectors);
    }

    template <bool kGrowth> std::uint64_t runBlock(int vectors) {
        switch (vectors) {
        case 1:
            return block<1, kGrowth>();
        case 2:
            return block<2, kGrowth>();
        case 3:
            return block<(kVectors < 3 ? kVectors : 3), kGrowth>();
        case 4:
            return block<(kVectors < 4 ? kVectors : 4), kGrowth>();
        case 5:
            return block<(kVectors < 5 ? kVectors : 5), kGrowth>();
        default:
            return block<kVectors, kGrowth>();
        }
    }

    // kBlock steps on the first N vectors. Lanes that go on get the new z and counter;
    // the lanes returned as set bits keep their state from the start of the block. With
    // kGrowth the magnitude is only looked at after the block: an orbit that once passed
    // the threshold keeps growing (or overflows to infinity or NaN), see growthTest.
    template <int N, bool kGrowth> std::uint64_t block() {
        using R = typename V::Reg;
        R zr[N], zi[N], cr[N], ci[N], largest[N];
        const R two = V::set(2.0);
#pragma GCC unroll 8
        for (int v = 0; v < N; ++v) {
            zr[v] = V::load(zr_ + v * V::kWidth);
            zi[v] = V::load(zi_ + v * V::kWidth);
            cr[v] = V::load(cr_ + v * V::kWidth);
            ci[v] = V::load(ci_ + v * V::kWidth);
            largest[v] = V::set(-__builtin_inf());
        }
        for (int step = 0; step < kBlock; ++step) {
#pragma GCC unroll 8
            for (int v = 0; v < N; ++v) {
                const R zr2 = V::mul(zr[v], zr[v]);
                const R zi2 = V::mul(zi[v], zi[v]);
                // max returns its second operand when the first is NaN: a NaN magnitude
                // never counts as beyond, as in the scalar test.
                if constexpr (!kGrowth)
                    largest[v] = V::max(V::add(zr2, zi2), largest[v]);
                zi[v] = V::add(V::mul(V::mul(two, zr[v]), zi[v]), ci[v]);
                zr[v] = V::add(V::sub(zr2, zi2), cr[v]);
            }
        }
        const R threshold = V::set(orbits_.threshold);
        const R blockSteps = V::set(kBlock);
        std::uint64_t ended = 0;
#pragma GCC unroll 8
        for (int v = 0; v < N; ++v) {
            double* zrAt = zr_ + v * V::kWidth;
            double* ziAt = zi_ + v * V::kWidth;
            double* counterAt = counter_ + v * V::kWidth;
            const R counter = V::load(counterAt);
            typename V::Mask end;
            if constexpr (kGrowth) {
                const R last = V::add(V::mul(zr[v], zr[v]), V::mul(zi[v], zi[v]));
                end = V::endedGrown(last, threshold, counter, blockSteps);
            } else {
                end = V::ended(largest[v], threshold, counter, blockSteps);
            }
            V::store(zrAt, V::keepWhere(end, V::load(zrAt), zr[v]));
            V::store(ziAt, V::keepWhere(end, V::load(ziAt), zi[v]));
            V::store(counterAt, V::keepWhere(end, counter, V::sub(counter, blockSteps)));
            ended |= static_cast<std::uint64_t>(V::bits(end)) << (v * V::kWidth);
        }
        return ended;
    }

    FastOrbits& orbits_;
    int next_ = 0;
    int active_ = 0;
    alignas(64) double zr_[kLanes];
    alignas(64) double zi_[kLanes];
    alignas(64) double cr_[kLanes];
    alignas(64) double ci_[kLanes];
    // The fast loop's counter of each lane, in double precision for the vector compare.
    alignas(64) double counter_[kLanes];
    int orbit_[kLanes];
};

} // namespace
} // namespace vortimax
