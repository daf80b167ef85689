#pragma once

// The lane machinery shared by the vector kernels of the fast loop, instantiated once per
// instruction set with that set's vector operations `V`. Include it only from the file
// compiled for that set: everything here has internal linkage, so no copy built with
// wider instructions can leak into the rest of the program.
//
// Every orbit first runs some steps with the exit test after each step, straight from the
// caller's arrays a few vectors at a time: in a wide view most orbits end within them,
// and they end there without the bookkeeping of the lanes. Those steps also leave a whole
// number of blocks on the counter, so an orbit that never leaves ends exactly at the end
// of a block and is handed out as it stands. The orbits that go on then share the lanes.
//
// Each lane carries one orbit. A block runs kBlock steps on every lane without any exit
// test, keeping only the largest |z|^2 seen. A lane whose block contained a magnitude
// beyond the threshold, or whose counter runs out before the block's last step, is taken
// back to z at the start of the block and runs it again with the exit test after every
// step (all such lanes together, side by side), so the overshoot is undone exactly.
// Finished lanes are refilled with the next orbits; once the orbits run out, the
// remaining lanes are packed into as few vectors as they need.

#include "render/escape/fast_orbit_lanes.h"
#include "render/escape/lane_packing.h"

#include <cstdint>

namespace vortimax {
namespace {

template <typename V, int kVectors, int kBlock> class FastOrbitLanes {
public:
    explicit FastOrbitLanes(FastOrbits& orbits)
        : orbits_(orbits), firstSteps_(firstStepsFor(orbits.counter)) {}

    void run() {
        if (!runFirstSteps())
            return;
        for (int lane = 0; lane < kLanes; ++lane)
            refill(lane);
        while (active_ > 0) {
            const int vectors = (active_ + V::kWidth - 1) / V::kWidth;
            if (next_ >= pendingCount_)
                pack(vectors);
            runBlock(vectors, kBlock, [this](int lane) { refill(lane); });
            ++runsSinceCheck_;
            if (mustStop())
                return;
        }
    }

private:
    static constexpr int kLanes = kVectors * V::kWidth;
    // The fewest steps every orbit runs with the exit test before it joins the lanes.
    static constexpr int kFirstSteps = 16;
    // Vectors run side by side in those steps: all of them in registers with the
    // counters and masks.
    static constexpr int kFirstVectors = kVectors < 4 ? kVectors : 4;

    // The steps of the start counter beyond whole blocks, and at least kFirstSteps
    // (all of them when there are no more).
    static int firstStepsFor(int counter) {
        return counter <= kFirstSteps ? counter
                                      : counter - (counter - kFirstSteps) / kBlock * kBlock;
    }

    // The first firstSteps_ steps of every orbit: kFirstSteps with the exit test after
    // each, the rest as a block. The orbits that end within them are handed out; those
    // that go on get their z back in the caller's arrays, one shared counter (the start
    // counter less those steps) and their number in `pending_`. False when the command
    // word said stop.
    bool runFirstSteps() {
        constexpr int kChunk = kFirstVectors * V::kWidth;
        for (int first = 0; first < orbits_.count; first += kChunk) {
            const int count = orbits_.count - first < kChunk ? orbits_.count - first : kChunk;
            for (int lane = 0; lane < kChunk; ++lane) {
                if (lane < count)
                    load(lane, first + lane, orbits_.counter);
                else
                    clear(lane);
            }
            const int vectors = (count + V::kWidth - 1) / V::kWidth;
            int which[kFirstVectors];
            unsigned lanes[kFirstVectors];
            for (int v = 0; v < vectors; ++v) {
                which[v] = v;
                const int inVector = count - v * V::kWidth;
                lanes[v] = inVector >= V::kWidth ? (1u << V::kWidth) - 1 : (1u << inVector) - 1;
            }
            const int exactSteps = firstSteps_;
            settle(which, lanes, vectors, exactSteps);
            for (int v = 0; v < vectors; ++v) {
                for (unsigned rest = lanes[v]; rest != 0; rest &= rest - 1) {
                    const int lane = v * V::kWidth + __builtin_ctz(rest);
                    handOut(lane);
                    clear(lane);
                }
            }
            if (firstSteps_ > exactSteps)
                runBlock(vectors, firstSteps_ - exactSteps, [this](int lane) { clear(lane); });
            for (int lane = 0; lane < count; ++lane) {
                const int k = orbit_[lane];
                if (k < 0)
                    continue;
                orbits_.zr[k] = zr_[lane];
                orbits_.zi[k] = zi_[lane];
                pending_[pendingCount_++] = k;
            }
            if (mustStop())
                return false;
        }
        active_ = 0;
        return true;
    }

    // Asks the command word once kOrbitsBetweenStopChecks more orbits have ended or
    // kRunsBetweenStopChecks more blocks have run.
    bool mustStop() {
        if ((endedSinceCheck_ < kOrbitsBetweenStopChecks &&
             runsSinceCheck_ < kRunsBetweenStopChecks) ||
            orbits_.mustStop == nullptr)
            return false;
        endedSinceCheck_ = 0;
        runsSinceCheck_ = 0;
        return orbits_.mustStop(orbits_.stopContext);
    }

    // Puts orbit k with the given counter into a lane.
    void load(int lane, int k, double counter) {
        orbit_[lane] = k;
        zr_[lane] = orbits_.zr[k];
        zi_[lane] = orbits_.zi[k];
        cr_[lane] = orbits_.cr[k];
        ci_[lane] = orbits_.ci[k];
        counter_[lane] = counter;
        ++active_;
    }

    void clear(int lane) {
        orbit_[lane] = -1;
        zr_[lane] = zi_[lane] = cr_[lane] = ci_[lane] = kIdleZ;
        counter_[lane] = kIdleCounter;
    }
    // An empty lane: its NaN magnitudes never count as beyond the threshold (not even a
    // threshold of 0 for a negative bailout) and its counter never runs out.
    static constexpr double kIdleCounter = 1e300;
    static constexpr double kIdleZ = __builtin_nan("");

    // Gives a lane the next orbit that went on after the first steps, or leaves it empty.
    void refill(int lane) {
        if (next_ >= pendingCount_)
            return clear(lane);
        load(lane, pending_[next_++], orbits_.counter - firstSteps_);
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

    // Runs `steps` steps of the flagged lanes (the block again from its start, or the
    // first steps), one step at a time with the exit test after every step, each lane
    // frozen at the step that ends it: exactly the steps of the scalar loop. The vectors which[0
    // ... count - 1] run side by side; lanes[k] names the flagged lanes of vector which[k] on entry
    // and those whose orbit ended on return (a flagged lane that goes on, a growth test false
    // alarm, has then run the whole block).
    void settle(const int* which, unsigned* lanes, int count, int steps) {
        switch (count) {
        case 0:
            return;
        case 1:
            return settle<1>(which, lanes, steps);
        case 2:
            return settle<(kVectors < 2 ? kVectors : 2)>(which, lanes, steps);
        case 3:
            return settle<(kVectors < 3 ? kVectors : 3)>(which, lanes, steps);
        case 4:
            return settle<(kVectors < 4 ? kVectors : 4)>(which, lanes, steps);
        case 5:
            return settle<(kVectors < 5 ? kVectors : 5)>(which, lanes, steps);
        default:
            return settle<kVectors>(which, lanes, steps);
        }
    }

    template <int N> void settle(const int* which, unsigned* lanes, int steps) {
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
        for (int step = 0; step < steps; ++step) {
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
        ++endedSinceCheck_;
    }

    // Moves the busy lanes into the first `vectors` vectors.
    void pack(int vectors) {
        double* fields[] = {zr_, zi_, cr_, ci_, counter_};
        packLanes(orbit_, fields, vectors * V::kWidth, kLanes);
    }

    // Runs a block of `steps` steps on the first `vectors` vectors and ends the orbits
    // that ended within it: each is handed out and its lane given to `vacate`.
    template <typename Vacate> void runBlock(int vectors, int steps, Vacate&& vacate) {
        const std::uint64_t flagged =
            orbits_.growthTest ? runBlock<true>(vectors, steps) : runBlock<false>(vectors, steps);
        int which[kVectors];
        unsigned lanes[kVectors];
        int count = 0;
        for (int v = 0; v < vectors; ++v) {
            lanes[count] = busyLanes(v, flagged);
            which[count] = v;
            count += lanes[count] != 0 ? 1 : 0;
        }
        settle(which, lanes, count, steps);
        for (int k = 0; k < count; ++k) {
            for (unsigned rest = lanes[k]; rest != 0; rest &= rest - 1) {
                const int lane = which[k] * V::kWidth + __builtin_ctz(rest);
                handOut(lane);
                vacate(lane);
            }
        }
        for (std::uint64_t rest = finished_; rest != 0; rest &= rest - 1) {
            const int lane = __builtin_ctzll(rest);
            handOut(lane);
            vacate(lane);
        }
    }

    template <bool kGrowth> std::uint64_t runBlock(int vectors, int steps) {
        switch (vectors) {
        case 1:
            return block<1, kGrowth>(steps);
        case 2:
            return block<2, kGrowth>(steps);
        case 3:
            return block<(kVectors < 3 ? kVectors : 3), kGrowth>(steps);
        case 4:
            return block<(kVectors < 4 ? kVectors : 4), kGrowth>(steps);
        case 5:
            return block<(kVectors < 5 ? kVectors : 5), kGrowth>(steps);
        default:
            return block<kVectors, kGrowth>(steps);
        }
    }

    // `steps` steps on the first N vectors. Lanes that go on get the new z and counter;
    // the lanes returned as set bits keep their state from the start of the block. The
    // lanes whose counter ran out at the block's last step, without passing the
    // threshold, are left in finished_ with their final z. With
    // kGrowth the magnitude is only looked at after the block: an orbit that once passed
    // the threshold keeps growing (or overflows to infinity or NaN), see growthTest.
    template <int N, bool kGrowth> std::uint64_t block(int steps) {
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
        for (int step = 0; step < steps; ++step) {
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
        const R blockSteps = V::set(steps);
        std::uint64_t ended = 0;
        finished_ = 0;
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
            const auto lastStep = V::butNot(V::equal(counter, blockSteps), end);
            finished_ |= static_cast<std::uint64_t>(V::bits(lastStep)) << (v * V::kWidth);
        }
        return ended;
    }

    FastOrbits& orbits_;
    const int firstSteps_;
    // The lanes of the last block whose orbit ended with it.
    std::uint64_t finished_ = 0;
    // The orbits that went on after the first steps, and the next of them for a lane.
    std::int32_t* pending_ = orbits_.scratch;
    int pendingCount_ = 0;
    int next_ = 0;
    int active_ = 0;
    int endedSinceCheck_ = 0;
    int runsSinceCheck_ = 0;
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
