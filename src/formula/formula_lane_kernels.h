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
        bool stops = false;
        // Before lastsqr changes: the condition may be lastsqr itself, which holds |z|^2
        // of the previous iteration while the condition is evaluated.
        if constexpr (Abort) {
            stops = stops | !(goOn[i] != 0.0);
        }
        lastSqr[i] = m;
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

// Eight lanes in one vector (one AVX-512 register, two AVX2 or four SSE2 registers).
using LaneVector = double __attribute__((vector_size(64)));
using LaneMask = std::int64_t __attribute__((vector_size(64)));
inline constexpr int kVectorLanes = 8;
// Vectors iterated together: independent chains that hide the latency of each step.
inline constexpr int kQuadraticGroup = 4;

// Vectors go through memory by reference (passing them by value would depend on the
// instruction set's calling convention).
inline void loadLanes(LaneVector& v, const double* p) {
    __builtin_memcpy(&v, p, sizeof v);
}
inline void storeLanes(double* p, const LaneVector& v) {
    __builtin_memcpy(p, &v, sizeof v);
}

// The z = z^2 + c loop for kQuadraticGroup vectors of lanes. The arithmetic is that of
// SquareAddOp and ModulusLessEqualOp: re = zr*zr - zi*zi + cr, im = (2*zr)*zi + ci, and
// |z|^2 = re*re + im*im, whose two products are the squares the next step needs.
template <bool Abort, bool Strict, bool Infinity> struct QuadraticGroup {
    static constexpr int G = kQuadraticGroup;
    // Iterations run without per-lane bookkeeping before looking whether a lane stopped.
    static constexpr std::int32_t kWindow = 16;

    // rr, ii: the squares of z's parts; tr: 2 zr (exactly so, computed beside rr to keep
    // it off the chain from one step to the next).
    LaneVector zr[G], zi[G], cr[G], ci[G], rr[G], ii[G], tr[G];
    LaneMask at[G]; // the iteration a lane stopped at, or -1
    LaneVector radius, bailout;
    LaneVector limit; // the lower of radius (abort test) and bailout (infinity test)

    // Lanes a test stops at |z|^2 = m, into `result` (vectors stay out of return values:
    // their calling convention depends on the instruction set).
    void stops(LaneMask& result, const LaneVector& m) const {
        result = LaneMask{};
        if constexpr (Abort) {
            result |= Strict ? ~(m < radius) : ~(m <= radius);
        }
        if constexpr (Infinity) {
            result |= bailout < m;
        }
    }

    // One iteration of every lane, stopped ones included, keeping the largest |z|^2 of
    // each lane. A NaN |z|^2 is kept too: once z is NaN it stays NaN, so a lane that met
    // one ends the window with a NaN largest value.
    void step(LaneVector (&largest)[G]) {
        const LaneVector two = LaneVector{} + 2.0;
        for (int g = 0; g < G; ++g) {
            const LaneVector re = rr[g] - ii[g] + cr[g];
            const LaneVector im = tr[g] * zi[g] + ci[g];
            rr[g] = re * re;
            ii[g] = im * im;
            tr[g] = two * re;
            zr[g] = re;
            zi[g] = im;
            const LaneVector m = rr[g] + ii[g];
            largest[g] = !(largest[g] >= m) ? m : largest[g];
        }
    }

    // The lanes of `active` that may have stopped within a window whose largest |z|^2 was
    // `largest`: beyond the lower of the two limits, or NaN. The exact run of the window
    // decides; a lane flagged here needlessly just costs that run.
    void mayHaveStopped(LaneMask (&flagged)[G], const LaneVector (&largest)[G],
                        const LaneMask (&active)[G]) const {
        for (int g = 0; g < G; ++g) {
            // The strict abort test stops at |z|^2 = radius already.
            const LaneMask within = Strict ? largest[g] < limit : largest[g] <= limit;
            flagged[g] = ~within & active[g];
        }
    }

    // One iteration k with each lane frozen at the iteration that stops it.
    void exactStep(std::int32_t k) {
        const LaneVector two = LaneVector{} + 2.0;
        const LaneMask running = LaneMask{} - 1;
        for (int g = 0; g < G; ++g) {
            const LaneVector re = rr[g] - ii[g] + cr[g];
            const LaneVector im = tr[g] * zi[g] + ci[g];
            rr[g] = re * re;
            ii[g] = im * im;
            tr[g] = two * re;
            LaneMask stopsNow;
            stops(stopsNow, rr[g] + ii[g]);
            const LaneMask active = at[g] == running;
            zr[g] = active ? re : zr[g];
            zi[g] = active ? im : zi[g];
            at[g] = (active & stopsNow) != 0 ? LaneMask{} + k : at[g];
        }
    }

    static bool anyLane(const LaneMask (&masks)[G]) {
        LaneMask all = masks[0];
        for (int g = 1; g < G; ++g) {
            all |= masks[g];
        }
        std::int64_t any = 0;
        for (int e = 0; e < kVectorLanes; ++e) {
            any |= all[e];
        }
        return any != 0;
    }

    // Iterations k0 ... k1 - 1 in windows: each window runs unmasked from a saved z; when
    // a running lane stopped inside it, the window runs again from the saved state, lane
    // by lane exactly, and otherwise the lanes stopped before get their saved z back.
    void run(std::int32_t k0, std::int32_t k1) {
        const LaneMask running = LaneMask{} - 1;
        for (std::int32_t k = k0; k < k1;) {
            const std::int32_t end = k1 - k > kWindow ? k + kWindow : k1;
            LaneMask active[G], stopped[G];
            LaneVector largest[G];
            LaneVector savedR[G], savedI[G], savedRr[G], savedIi[G], savedTr[G];
            for (int g = 0; g < G; ++g) {
                active[g] = at[g] == running;
                largest[g] = LaneVector{} - __builtin_inf();
                savedR[g] = zr[g];
                savedI[g] = zi[g];
                savedRr[g] = rr[g];
                savedIi[g] = ii[g];
                savedTr[g] = tr[g];
            }
            if (!anyLane(active)) {
                return;
            }
            for (std::int32_t j = k; j < end; ++j) {
                step(largest);
            }
            mayHaveStopped(stopped, largest, active);
            if (anyLane(stopped)) {
                for (int g = 0; g < G; ++g) {
                    zr[g] = savedR[g];
                    zi[g] = savedI[g];
                    rr[g] = savedRr[g];
                    ii[g] = savedIi[g];
                    tr[g] = savedTr[g];
                }
                for (std::int32_t j = k; j < end; ++j) {
                    exactStep(j);
                }
            } else {
                for (int g = 0; g < G; ++g) {
                    zr[g] = active[g] != 0 ? zr[g] : savedR[g];
                    zi[g] = active[g] != 0 ? zi[g] : savedI[g];
                }
            }
            k = end;
        }
    }
};

template <bool Abort, bool Strict, bool Infinity>
void quadraticGroup(LaneRegisters& r, const QuadraticStep& step, int first, std::int32_t k0,
                    std::int32_t k1, std::int32_t* stopAt) {
    constexpr int G = kQuadraticGroup;
    QuadraticGroup<Abort, Strict, Infinity> q;
    LaneSlot& z = r.slots[kSlotZ];
    const LaneSlot& c = r.slots[step.c];
    for (int g = 0; g < G; ++g) {
        const int lane = first + g * kVectorLanes;
        loadLanes(q.zr[g], &z.re[lane]);
        loadLanes(q.zi[g], &z.im[lane]);
        loadLanes(q.cr[g], &c.re[lane]);
        loadLanes(q.ci[g], &c.im[lane]);
        q.rr[g] = q.zr[g] * q.zr[g];
        q.ii[g] = q.zi[g] * q.zi[g];
        q.tr[g] = (LaneVector{} + 2.0) * q.zr[g];
        q.at[g] = LaneMask{} - 1;
    }
    q.radius = LaneVector{} + step.radius;
    q.bailout = LaneVector{} + step.bailout;
    // Without a test nothing stops; NaN |z|^2 still only costs an exact run.
    double limit = __builtin_inf();
    if (Abort)
        limit = step.radius;
    if (Infinity && !(step.bailout >= limit))
        limit = step.bailout;
    q.limit = LaneVector{} + limit;
    q.run(k0, k1);
    for (int g = 0; g < G; ++g) {
        const int lane = first + g * kVectorLanes;
        storeLanes(&z.re[lane], q.zr[g]);
        storeLanes(&z.im[lane], q.zi[g]);
        for (int e = 0; e < kVectorLanes; ++e) {
            stopAt[lane + e] = static_cast<std::int32_t>(q.at[g][e]);
        }
    }
}

template <bool Abort, bool Strict, bool Infinity>
void quadraticGroups(LaneRegisters& r, const QuadraticStep& step, int count, std::int32_t k0,
                     std::int32_t k1, std::int32_t* stopAt) {
    for (int first = 0; first < count; first += kQuadraticGroup * kVectorLanes) {
        quadraticGroup<Abort, Strict, Infinity>(r, step, first, k0, k1, stopAt);
    }
}

inline void quadraticBlock(LaneRegisters& r, const QuadraticStep& step, int count, std::int32_t k0,
                           std::int32_t k1, std::int32_t* stopAt) {
    using Block = void (*)(LaneRegisters&, const QuadraticStep&, int, std::int32_t, std::int32_t,
                           std::int32_t*);
    // Indexed by abort test, strict comparison, infinity test.
    static constexpr Block kBlocks[2][2][2] = {
        {{quadraticGroups<false, false, false>, quadraticGroups<false, false, true>},
         {quadraticGroups<false, true, false>, quadraticGroups<false, true, true>}},
        {{quadraticGroups<true, false, false>, quadraticGroups<true, false, true>},
         {quadraticGroups<true, true, false>, quadraticGroups<true, true, true>}},
    };
    kBlocks[step.testAbort][step.strict][step.testInfinity](r, step, count, k0, k1, stopAt);
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
