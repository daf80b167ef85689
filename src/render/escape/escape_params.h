#pragma once

#include "formula/complex.h"
#include "formula/function_table.h"
#include "render/area/area.h"
#include "render/escape/outside_value.h"

#include <cstdint>

namespace vortimax {

class FractalRecord;

// Inside rules (the record's `Inside`).
enum InsideRule : int {
    kInsideBlack = 0,
    kInsideMagnitude,
    kInsideSupremum,
    kInsideInfimum,
    kInsideSupIndex,
    kInsideInfIndex,
};

// Bailout tests (the record's `Bailoutest`, shown as "BailoutCheck").
enum BailoutTest : int {
    kBailoutMod = 0,
    kBailoutReal,
    kBailoutImag,
    kBailoutOr,
    kBailoutAnd,
    kBailoutManh,
    kBailoutManr,
    kBailoutLauw,
    kBailoutPRing,
    kBailoutTestCount
};

// Highest subtype number the step table knows; 25 and above leave z unchanged.
constexpr int kLastSubtype = 39;
constexpr int kSubtypeMagnet2 = 4;
constexpr int kSubtypeLambda = 16;
constexpr int kSubtypeCmplxmarks = 20;
constexpr int kSubtypeManowar = 23;

// Everything the Julia/Mandel kernels need, read once per calculation so that the pixel
// loop never looks a parameter up by key. Out-of-range numbers from a hostile record are
// brought into range here (see readEscapeParams).
struct EscapeParams {
    bool mandel = false;
    int subtype = 0;
    std::int32_t maxIter = 150; // at least 1
    std::int32_t halfIter = 75; // maxIter / 2: start of the cycle test
    double bailout = 4.0;
    double bailin = 0.08;
    double bailoutVar = 1.0;
    int bailoutTest = kBailoutMod;
    bool testInfinity = true;
    bool testFinite = false;
    bool testCycle = false;
    int inside = kInsideBlack;
    double insideMult = 1.0;
    int passes = 3; // 0 ... 3: the number of passes minus one
    ComplexFunction fn1 = functionPointer(0);
    ComplexFunction fn2 = functionPointer(0);
    Complex start{0.0, 0.0};    // (Cr, Ci): Julia's c, Mandel's start offset
    Complex d{0.0, 0.0};        // (Dr, Di)
    double zzpwrExponent = 0.0; // Dr truncated towards zero
    bool biomorph = false;
    CircleInversion inversion;
    OutsideParams outside;
};

// Reads the parameters of a Julia or Mandel record. A MaxIter below 1 becomes 1, Passes
// is clamped to 0 ... 3, an unknown bailout test becomes "mod", an unknown inside rule
// "Black", an unknown subtype one of the reserved identity steps and an unknown function
// index the identity.
EscapeParams readEscapeParams(const FractalRecord& record);

} // namespace vortimax
