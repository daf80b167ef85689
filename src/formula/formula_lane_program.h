#pragma once

// The batch evaluator's form of a compiled formula: the postfix words of every statement
// turned into operations on the slots of a lane register file. Operands are not copied: an
// operation reads the slot of `z`, a variable or a constant directly, and only results of
// operations go to temporary slots (one per value-stack position), the last one of a
// statement with a single target straight into that target. Common pairs of operations
// are fused into one pass.

#include "formula/formula_entry.h"
#include "formula/formula_iteration.h"
#include "formula/formula_lane_ops.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace vortimax {

// The statements of one section, in order.
struct LaneSection {
    std::vector<LaneOp> ops;
    // The slot holding the value of the section's last statement.
    std::uint16_t value = kSlotZ;
};

// An if block: lanes whose condition has a real part other than 0 run `then`, the others
// `otherwise`. When the lanes disagree, both sections run over all lanes and each lane keeps
// the slots of its own branch: `written` lists the slots (z and variables) either section
// may write, `seeds` whether they draw random numbers.
struct LaneBranch {
    std::uint16_t condition = 0;
    LaneSection then;
    LaneSection otherwise;
    std::vector<std::uint16_t> written;
    bool seeds = false;
};

struct LaneConstant {
    std::uint16_t slot;
    Complex value;
};

struct LaneProgram {
    LaneSection init;
    LaneSection iteration;
    LaneSection abort;
    // Absent when the formula leaves the colour to the fractal's built-in rules.
    std::optional<LaneSection> insideColour;
    std::optional<LaneSection> outsideColour;
    // The if blocks; a block inside another comes before it.
    std::vector<LaneBranch> branches;
    // Slots that hold the same value in every lane, set once per calculation.
    std::vector<LaneConstant> constants;
    std::uint16_t variableSlotCount = 0; // kFirstVariableSlot ... + count - 1
    std::uint16_t slotCount = 0;
    // Whether any statement reads `iter` (its slot is then filled every iteration).
    bool usesIter = false;
};

// Translates a complete formula for the given settings (their values become constants).
// Nothing when a statement could not run in the one-pixel evaluator exactly as it is
// written (a word outside the token codes, a value stack that runs empty, a target that is
// not z or a variable, a statement the one-pixel evaluator would skip): a caller then uses
// the one-pixel evaluator.
std::optional<LaneProgram> translateFormula(const FormulaCode& code,
                                            const FormulaSettings& settings);

// Fuses adjacent operations whose intermediate result is used once into one operation:
// a^2 followed by + becomes SquareAdd or AddSquare; the squared modulus followed by <= or <
// becomes ModulusLessEqual or ModulusLess.
void fuseLaneOps(std::vector<LaneOp>& ops, std::uint16_t firstTemporary);

} // namespace vortimax
