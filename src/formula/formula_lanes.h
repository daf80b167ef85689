#pragma once

// The register file of the batch evaluator: every value a compiled formula reads or writes,
// held for up to kFormulaLanes pixels side by side as separate arrays of real and imaginary
// parts, so that one operation runs over all pixels of a batch in one loop.

#include <array>
#include <cstdint>
#include <vector>

namespace vortimax {

// Pixels one batch evaluator runs side by side (the size of a pass scheme batch).
inline constexpr int kFormulaLanes = 64;

// One value per lane.
struct alignas(64) LaneSlot {
    std::array<double, kFormulaLanes> re{};
    std::array<double, kFormulaLanes> im{};
};

// The slots of the formula words that differ per pixel come first, in this order; the
// variable slots follow (slot kFirstVariableSlot + k holds variable k), then the constants,
// then the temporaries of the value stack.
enum LaneSlotIndex : std::uint16_t {
    kSlotZ = 0,
    kSlotPixel,
    kSlotLastSqr,
    kSlotPosX,
    kSlotPosY,
    kSlotPreviousZ,
    kSlotIter, // the same in every lane: the iteration being run
    kFirstVariableSlot,
};

struct LaneRegisters {
    std::vector<LaneSlot> slots;
    // The random seed of each lane (`rand`, `srand`).
    std::array<std::uint32_t, kFormulaLanes> seeds{};
};

} // namespace vortimax
