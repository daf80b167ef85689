// The batch evaluator's loops in every build the processor can run (portable, AVX2,
// AVX-512) give the same bits: each operation over lanes holding ordinary, huge, tiny,
// zero, infinite and NaN values, and the z = z^2 + c block loop.

#include "formula/formula_lane_ops.h"

#include <bit>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace vortimax {
namespace {

constexpr std::uint16_t kSlots = 10;

LaneRegisters sampleRegisters() {
    LaneRegisters r;
    r.slots.assign(kSlots, LaneSlot{});
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> plain(-3.0, 3.0);
    const double special[] = {0.0,          -0.0,   1e300,
                              -1e300,       1e-310, std::numeric_limits<double>::infinity(),
                              std::nan(""), 2.0,    1e-11};
    for (LaneSlot& slot : r.slots) {
        for (int i = 0; i < kFormulaLanes; ++i) {
            const bool odd = random() % 5 == 0;
            slot.re[i] = odd ? special[random() % std::size(special)] : plain(random);
            slot.im[i] = odd ? special[random() % std::size(special)] : plain(random);
        }
    }
    r.slots[kSlotZ] = r.slots[kSlotPixel];
    for (int i = 0; i < kFormulaLanes; ++i) {
        r.seeds[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(random());
    }
    return r;
}

bool sameBits(const LaneRegisters& a, const LaneRegisters& b) {
    for (std::size_t s = 0; s < a.slots.size(); ++s) {
        for (int i = 0; i < kFormulaLanes; ++i) {
            for (auto part : {&LaneSlot::re, &LaneSlot::im}) {
                const double x = (a.slots[s].*part)[i];
                const double y = (b.slots[s].*part)[i];
                if (!(std::isnan(x) && std::isnan(y)) &&
                    std::bit_cast<std::uint64_t>(x) != std::bit_cast<std::uint64_t>(y)) {
                    return false;
                }
            }
        }
    }
    return a.seeds == b.seeds;
}

TEST(FormulaLaneOps, EveryBuildGivesThePortableBits) {
    for (LaneIsa isa : {LaneIsa::Avx2, LaneIsa::Avx512}) {
        if (!laneIsaAvailable(isa)) {
            continue;
        }
        for (int kind = 0; kind < static_cast<int>(LaneOpKind::Count); ++kind) {
            const auto opKind = static_cast<LaneOpKind>(kind);
            // Results into a third slot, and in place into the first operand.
            for (std::uint16_t out : {std::uint16_t{9}, std::uint16_t{7}}) {
                LaneOp op{opKind, 7, 8, out, functionPointer(24)};
                LaneRegisters portable = sampleRegisters();
                LaneRegisters wide = portable;
                laneOpRunnerFor(LaneIsa::Portable, opKind)(portable, op, 3, 61);
                laneOpRunnerFor(isa, opKind)(wide, op, 3, 61);
                EXPECT_TRUE(sameBits(portable, wide)) << "kind " << kind;
            }
        }
        for (bool abort : {false, true}) {
            const LaneStepTests tests{abort, 8, true, 3.5};
            LaneRegisters portable = sampleRegisters();
            LaneRegisters wide = portable;
            std::array<std::uint8_t, kFormulaLanes> portableStop{}, wideStop{};
            laneStepEndFor(LaneIsa::Portable)(portable, tests, portableStop.data(), 57);
            laneStepEndFor(isa)(wide, tests, wideStop.data(), 57);
            EXPECT_TRUE(sameBits(portable, wide));
            EXPECT_EQ(portableStop, wideStop);
        }
        for (bool abort : {false, true}) {
            const QuadraticStep step{kSlotPixel, abort, false, 4.0, true, 3.5};
            LaneRegisters portable = sampleRegisters();
            LaneRegisters wide = portable;
            std::array<std::int32_t, kFormulaLanes> portableAt{}, wideAt{};
            laneQuadraticBlockFor(LaneIsa::Portable)(portable, step, 50, 3, 40, portableAt.data());
            laneQuadraticBlockFor(isa)(wide, step, 50, 3, 40, wideAt.data());
            EXPECT_TRUE(sameBits(portable, wide));
            EXPECT_EQ(portableAt, wideAt);
        }
    }
}

} // namespace
} // namespace vortimax
