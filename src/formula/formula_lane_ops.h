#pragma once

// The operations of the batch evaluator. Each runs one formula operation over the lanes
// begin ... end - 1 of the register file: it reads its operand slots and writes its result
// slot, which may be one of the operand slots (every lane reads its own operands before
// writing its result). The arithmetic is exactly that of the one-pixel handlers.

#include "formula/formula_lanes.h"
#include "formula/function_table.h"

#include <cstdint>

namespace vortimax {

enum class LaneOpKind : std::uint8_t {
    Copy,  // out = a
    Rand,  // out = the next random value of each lane
    Srand, // each lane's seed from a; nothing written
    // out = a (op) b
    Add,
    Subtract,
    Multiply,
    Divide,
    Power,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
    And,
    Or,
    // out = f(a)
    Negate,
    Not,
    Square,
    Cube,
    Modulus, // squared modulus
    Conj,
    Real,
    Imag,
    Flip,
    Abs,
    Function, // the library function `function`
    // two operations in one pass
    SquareAdd,        // out = a^2 + b
    AddSquare,        // out = b + a^2
    ModulusLessEqual, // out = (|a|^2 <= b.re, b.im)
    ModulusLess,      // out = (|a|^2 < b.re, b.im)
    Count,
    // An if block, LaneProgram::branches[a]; the batch iterator runs it (no loop of its own).
    Branch,
};

struct LaneOp;
using LaneOpRun = void (*)(LaneRegisters& registers, const LaneOp& op, int begin, int end);

struct LaneOp {
    LaneOpKind kind = LaneOpKind::Copy;
    std::uint16_t a = 0;
    std::uint16_t b = 0;
    std::uint16_t out = 0;
    ComplexFunction function = nullptr;
    LaneOpRun run = nullptr;
};

// The loop of an operation kind, for the widest vector instructions the processor has.
LaneOpRun laneOpRunner(LaneOpKind kind);

// The tests at the end of an iteration.
struct LaneStepTests {
    // The abort condition's value is in slot abortSlot: its real part 0 stops a lane.
    bool testAbort = false;
    std::uint16_t abortSlot = 0;
    // bailout < |z|^2 stops a lane.
    bool testInfinity = false;
    double bailout = 0.0;
};

// The end of an iteration for lanes 0 ... count - 1: sets lastsqr to |z|^2 and stop[i] to 1
// for each lane a test stops, else 0.
using LaneStepEnd = void (*)(LaneRegisters& registers, const LaneStepTests& tests,
                             std::uint8_t* stop, int count);
LaneStepEnd laneStepEnd();

// A formula whose iteration is z = z^2 + c alone (c not z) and whose abort condition is
// |z|^2 <= radius or |z|^2 < radius (or off), with an optional infinity test: such a
// formula runs several iterations per call, z held in registers.
struct QuadraticStep {
    std::uint16_t c = 0;
    bool testAbort = false;
    bool strict = false; // < rather than <=
    double radius = 0.0;
    bool testInfinity = false;
    double bailout = 0.0;
};

// Runs iterations k0 ... k1 - 1 for lanes 0 ... count - 1 (a multiple of 8 lanes may be
// run; the lanes past count are not in use). A lane stops at the first iteration after
// which a test stops it: stopAt[i] becomes that iteration, and z keeps the value it had
// then; lanes still running get stopAt[i] = -1. lastsqr is not updated.
using LaneQuadraticBlock = void (*)(LaneRegisters& registers, const QuadraticStep& step, int count,
                                    std::int32_t k0, std::int32_t k1, std::int32_t* stopAt);
LaneQuadraticBlock laneQuadraticBlock();

// The same for instruction sets the program selects itself (the portable loops, and the
// AVX2 and AVX-512 builds when the processor has them); null when unavailable.
enum class LaneIsa : std::uint8_t { Portable, Avx2, Avx512 };
LaneOpRun laneOpRunnerFor(LaneIsa isa, LaneOpKind kind);
LaneStepEnd laneStepEndFor(LaneIsa isa);
LaneQuadraticBlock laneQuadraticBlockFor(LaneIsa isa);
bool laneIsaAvailable(LaneIsa isa);

} // namespace vortimax
