#include "render/escape/escape_params.h"

#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "render/colour/record_numbers.h"

#include <algorithm>
#include <cmath>

namespace vortimax {

namespace {

Complex complexParam(const ConstBlockRef& block, std::string_view re, std::string_view im) {
    return {block.bigFixed(re).toDouble(), block.bigFixed(im).toDouble()};
}

int choiceOr(std::int32_t value, int count, int fallback) {
    return value >= 0 && value < count ? value : fallback;
}

void readStopTests(const ConstBlockRef& block, EscapeParams& p) {
    p.bailout = block.real("Bailout");
    p.bailin = block.real("Bailin");
    p.bailoutVar = block.real("BailoutVar");
    p.bailoutTest = choiceOr(block.integer("Bailoutest"), kBailoutTestCount, kBailoutMod);
    p.testInfinity = block.integer("TestForInfinify") != 0;
    p.testFinite = block.integer("TestForFinite") != 0;
    p.testCycle = block.integer("TestForCyclus") != 0;
}

void readFormula(const FractalRecord& record, const ConstBlockRef& block, EscapeParams& p) {
    p.mandel = record.type == kTypeMandel || record.type == kTypeTieraMandel;
    p.subtype = record.subtype <= static_cast<std::uint32_t>(kLastSubtype)
                    ? static_cast<int>(record.subtype)
                    : kLastSubtype;
    p.fn1 = functionPointer(block.integer("Fn1"));
    p.fn2 = functionPointer(block.integer("Fn2"));
    p.start = complexParam(block, "Cr", "Ci");
    p.d = complexParam(block, "Dr", "Di");
    p.zzpwrExponent = std::trunc(p.d.re);
}

} // namespace

EscapeParams readEscapeParams(const FractalRecord& record) {
    EscapeParams p;
    const ConstBlockRef block = record.params();
    readFormula(record, block, p);
    readStopTests(block, p);
    p.maxIter = std::max<std::int32_t>(block.integer("MaxIter"), 1);
    p.halfIter = p.maxIter / 2;
    // The Tierazon-mode types keep no inside rule: their plain image is black inside.
    p.inside = choiceOr(static_cast<std::int32_t>(recordNumberOr(record, "Inside", kInsideBlack)),
                        kInsideInfIndex + 1, kInsideBlack);
    p.insideMult = recordNumberOr(record, "Insidemult", p.insideMult);
    p.passes = std::clamp<std::int32_t>(block.integer("Passes"), 0, 3);
    p.biomorph = recordNumberOr(record, "Biomorphy", 0.0) != 0.0;
    p.inversion = circleInversion(record);
    p.outside = readOutsideParams(record);
    p.outside.maxIter = p.maxIter;
    return p;
}

} // namespace vortimax
