#pragma once

// The loops of the batch evaluator's operations. Included by one source file per
// instruction set, each inside its own namespace (LANE_ISA_NAMESPACE), so that every build
// keeps its own copies of these templates.

#include "formula/complex_functions.h"
#include "formula/formula_handlers.h"
#include "formula/formula_lane_ops.h"
#include "formula/formula_power.h"
#include "formula/random_generator.h"

#include <array>
#include <cmath>
#include <cstdint>

#if defined(__GNUC__) && !defined(__clang__)
// Result slots may be operand slots, but only lane for lane: no lane reads another's value.
#define LANE_LOOP _Pragma("GCC ivdep")
#else
#define LANE_LOOP
#endif

namespace vortimax::LANE_ISA_NAMESPACE {

constexpr Complex truth(bool value, Complex b) {
    return {value ? 1.0 : 0.0, b.im};
}

// --- two operands ---
struct AddOp {
    static constexpr Complex apply(Complex a, Complex b) { return a + b; }
};
struct SubtractOp {
    static constexpr Complex apply(Complex a, Complex b) { return a - b; }
};
struct MultiplyOp {
    static constexpr Complex apply(Complex a, Complex b) { return a * b; }
};
struct DivideOp {
    static constexpr Complex apply(Complex a, Complex b) { return a / b; }
};
struct PowerOp {
    static Complex apply(Complex a, Complex b) { return formulaPower(a, b); }
};
struct EqualOp {
    static Complex apply(Complex a, Complex b) { return formulaEqual(a, b); }
};
struct NotEqualOp {
    static Complex apply(Complex a, Complex b) { return formulaNotEqual(a, b); }
};
struct LessOp {
    static constexpr Complex apply(Complex a, Complex b) { return truth(a.re < b.re, b); }
};
struct GreaterOp {
    static constexpr Complex apply(Complex a, Complex b) { return truth(a.re > b.re, b); }
};
struct LessEqualOp {
    static constexpr Complex apply(Complex a, Complex b) { return truth(a.re <= b.re, b); }
};
struct GreaterEqualOp {
    static constexpr Complex apply(Complex a, Complex b) { return truth(a.re >= b.re, b); }
};
struct AndOp {
    static constexpr Complex apply(Complex a, Complex b) { return {a.re * b.re, b.im}; }
};
struct OrOp {
    static constexpr Complex apply(Complex a, Complex b) {
        return truth(a.re != 0.0 || b.re != 0.0, b);
    }
};
struct SquareAddOp {
    static constexpr Complex apply(Complex a, Complex b) { return complexSqr(a) + b; }
};
struct AddSquareOp {
    static constexpr Complex apply(Complex a, Complex b) { return b + complexSqr(a); }
};
struct ModulusLessEqualOp {
    static constexpr Complex apply(Complex a, Complex b) {
        return truth(complexCabs(a).re <= b.re, b);
    }
};
struct ModulusLessOp {
    static constexpr Complex apply(Complex a, Complex b) {
        return truth(complexCabs(a).re < b.re, b);
    }
};

// --- one operand ---
struct NegateOp {
    static constexpr Complex apply(Complex a) { return -a; }
};
struct NotOp {
    static constexpr Complex apply(Complex a) { return {a.re == 0.0 ? 1.0 : 0.0, a.im}; }
};
struct SquareOp {
    static constexpr Complex apply(Complex a) { return complexSqr(a); }
};
struct CubeOp {
    static constexpr Complex apply(Complex a) { return complexSqr(a) * a; }
};
struct ModulusOp {
    static constexpr Complex apply(Complex a) { return complexCabs(a); }
};
struct ConjOp {
    static constexpr Complex apply(Complex a) { return complexConj(a); }
};
struct RealOp {
    static constexpr Complex apply(Complex a) { return complexReal(a); }
};
struct ImagOp {
    static constexpr Complex apply(Complex a) { return complexImag(a); }
};
struct FlipOp {
    static constexpr Complex apply(Complex a) { return complexFlip(a); }
};
struct AbsOp {
    static Complex apply(Complex a) { return complexAbs(a); }
};

template <class Op> void binaryLanes(LaneRegisters& r, const LaneOp& op, int begin, int end) {
    const LaneSlot& a = r.slots[op.a];
    const LaneSlot& b = r.slots[op.b];
    LaneSlot& out = r.slots[op.out];
    LANE_LOOP
    for (int i = begin; i < end; ++i) {
        const Complex value = Op::apply({a.re[i], a.im[i]}, {b.re[i], b.im[i]});
        out.re[i] = value.re;
        out.im[i] = value.im;
    }
}

template <class Op> void unaryLanes(LaneRegisters& r, const LaneOp& op, int begin, int end) {
    const LaneSlot& a = r.slots[op.a];
    LaneSlot& out = r.slots[op.out];
    LANE_LOOP
    for (int i = begin; i < end; ++i) {
        const Complex value = Op::apply({a.re[i], a.im[i]});
        out.re[i] = value.re;
        out.im[i] = value.im;
    }
}

inline void functionLanes(LaneRegisters& r, const LaneOp& op, int begin, int end) {
    const LaneSlot& a = r.slots[op.a];
    LaneSlot& out = r.slots[op.out];
    for (int i = begin; i < end; ++i) {
        const Complex value = op.function({a.re[i], a.im[i]});
        out.re[i] = value.re;
        out.im[i] = value.im;
    }
}

inline void copyLanes(LaneRegisters& r, const LaneOp& op, int begin, int end) {
    const LaneSlot& a = r.slots[op.a];
    LaneSlot& out = r.slots[op.out];
    for (int i = begin; i < end; ++i) {
        out.re[i] = a.re[i];
        out.im[i] = a.im[i];
    }
}

inline void randLanes(LaneRegisters& r, const LaneOp& op, int begin, int end) {
    LaneSlot& out = r.slots[op.out];
    for (int i = begin; i < end; ++i) {
        out.re[i] = randomToUnitRange(nextRandom(r.seeds[static_cast<std::size_t>(i)]));
        out.im[i] = 0.0;
    }
}

inline void srandLanes(LaneRegisters& r, const LaneOp& op, int begin, int end) {
    const LaneSlot& a = r.slots[op.a];
    for (int i = begin; i < end; ++i) {
        r.seeds[static_cast<std::size_t>(i)] = formulaSeedFrom(a.re[i]);
    }
}

template <bool Abort, bool Infinity>
void stepEndLoop(LaneRegisters& r, const LaneStepTests& tests, std::uint8_t* stop, int n) {
    const double* zRe = r.slots[kSlotZ].re.data();
    const double* zIm = r.slots[kSlotZ].im.data();
    double* lastSqr = r.slots[kSlotLastSqr].re.data();
    const double* goOn = r.slots[tests.abortSlot].re.data();
    const double bailout = tests.bailout;
    LANE_LOOP
    for (int i = 0; i < n; ++i) {
        const double m = zRe[i] * zRe[i] + zIm[i] * zIm[i];
        lastSqr[i] = m;
        bool stops = false;
        if constexpr (Abort) {
            stops = stops | !(goOn[i] != 0.0);
        }
        if constexpr (Infinity) {
            stops = stops | (bailout < m);
        }
        stop[i] = static_cast<std::uint8_t>(stops);
    }
}

inline void stepEnd(LaneRegisters& r, const LaneStepTests& tests, std::uint8_t* stop, int n) {
    if (tests.testAbort) {
        tests.testInfinity ? stepEndLoop<true, true>(r, tests, stop, n)
                           : stepEndLoop<true, false>(r, tests, stop, n);
    } else {
        tests.testInfinity ? stepEndLoop<false, true>(r, tests, stop, n)
                           : stepEndLoop<false, false>(r, tests, stop, n);
    }
}

// The loops in LaneOpKind order.
inline constexpr std::array<LaneOpRun, static_cast<std::size_t>(LaneOpKind::Count)> kLaneRunners{
    copyLanes,
    randLanes,
    srandLanes,
    binaryLanes<AddOp>,
    binaryLanes<SubtractOp>,
    binaryLanes<MultiplyOp>,
    binaryLanes<DivideOp>,
    binaryLanes<PowerOp>,
    binaryLanes<EqualOp>,
    binaryLanes<NotEqualOp>,
    binaryLanes<LessOp>,
    binaryLanes<GreaterOp>,
    binaryLanes<LessEqualOp>,
    binaryLanes<GreaterEqualOp>,
    binaryLanes<AndOp>,
    binaryLanes<OrOp>,
    unaryLanes<NegateOp>,
    unaryLanes<NotOp>,
    unaryLanes<SquareOp>,
    unaryLanes<CubeOp>,
    unaryLanes<ModulusOp>,
    unaryLanes<ConjOp>,
    unaryLanes<RealOp>,
    unaryLanes<ImagOp>,
    unaryLanes<FlipOp>,
    unaryLanes<AbsOp>,
    functionLanes,
    binaryLanes<SquareAddOp>,
    binaryLanes<AddSquareOp>,
    binaryLanes<ModulusLessEqualOp>,
    binaryLanes<ModulusLessOp>,
};

} // namespace vortimax::LANE_ISA_NAMESPACE
