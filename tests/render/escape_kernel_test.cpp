#include "formula/complex_functions.h"
#include "model/fractal_record.h"
#include "model/fractal_view.h"
#include "model/image_buffers.h"
#include "model/type_registry.h"
#include "render/drivers.h"
#include "render/escape/escape_kernel.h"
#include "render/escape/julia_mandel_driver.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace vortimax {
namespace {

constexpr int kIdentitySubtype = 25; // reserved: z stays where it starts

std::unique_ptr<FractalRecord> record(std::uint32_t type, std::uint32_t subtype = 0) {
    return createRecord(type, subtype, RecordCreationContext{});
}

void setComplex(FractalRecord& r, const char* re, const char* im, double x, double y) {
    r.params().setBigFixed(re, BigFixed::fromDouble(x));
    r.params().setBigFixed(im, BigFixed::fromDouble(y));
}

// A Julia record whose orbit never moves: each stop test sees z = p.
std::unique_ptr<FractalRecord> stillJulia() {
    auto r = record(kTypeJulia);
    r->subtype = kIdentitySubtype;
    r->params().setInteger("MaxIter", 10);
    return r;
}

float valueOf(const FractalRecord& r, double re, double im = 0.0) {
    return pixelValue(readEscapeParams(r), re, im);
}

// Mandel z^2 + c: point 0 stays inside (-1). Point 1 leaves the fast loop at z = 26 after
// five counted steps (its lagging test saw 4, not beyond 4, then 25); the general loop
// stops at z = 5. MaxIter 1 still takes two fast steps, so point 3 escapes.
TEST(EscapeKernelTest, MandelFastPathEdges) {
    auto r = record(kTypeMandel);
    r->params().setInteger("MaxIter", 100);
    EscapeParams p = readEscapeParams(*r);
    ASSERT_TRUE(usesFastPath(p));
    EXPECT_EQ(pixelValue(p, 0.0, 0.0), -1.0f);
    const OrbitEnd fast = fastOrbit(p, initOrbit(p, {1.0, 0.0}));
    EXPECT_EQ(fast.z, (Complex{26.0, 0.0}));
    EXPECT_EQ(fast.remaining, 95);
    EXPECT_EQ(pixelValue(p, 1.0, 0.0), 5.0f);
    const OrbitEnd general = generalOrbit(p, initOrbit(p, {1.0, 0.0}), 1.0, false);
    EXPECT_EQ(general.z, (Complex{5.0, 0.0}));
    EXPECT_EQ(general.remaining, 98);

    p.inside = kInsideSupremum; // a zero supremum is replaced, never returned as 0
    EXPECT_FALSE(usesFastPath(p));
    EXPECT_EQ(pixelValue(p, 0.0, 0.0), kSubstituteInside);

    r->params().setReal("Bailout", 1e300); // beyond float range: the fast loop still escapes
    EXPECT_GT(pixelValue(readEscapeParams(*r), 1.0, 0.0), 0.0f);

    r->params().setReal("Bailout", 4.0);
    r->params().setInteger("MaxIter", 1);
    p = readEscapeParams(*r);
    const double z1 = 0.25 * 0.25 + 0.25;
    EXPECT_EQ(fastOrbit(p, initOrbit(p, {0.25, 0.0})).z, (Complex{z1 * z1 + 0.25, 0.0}));
    EXPECT_EQ(pixelValue(p, 3.0, 0.0), 1.0f);
}

// Julia c = 0 from 1.0001: |z| grows every step and stays below the bailout, so the
// supremum is the last |z| and the infimum the first; "Magnitude" stops after MaxIter - 1.
TEST(EscapeKernelTest, TrackingInsideRules) {
    auto r = record(kTypeJulia);
    setComplex(*r, "Cr", "Ci", 0.0, 0.0);
    r->params().setInteger("MaxIter", 10);
    r->params().setReal("Insidemult", 2.0);
    const double first = 1.0001 * 1.0001;
    double ninth = first;
    for (int i = 1; i < 9; ++i)
        ninth = ninth * ninth;
    const double last = ninth * ninth;
    const float expected[] = {-1.0f,
                              static_cast<float>((1.0 - 5.0 * ninth * ninth) * 2.0),
                              static_cast<float>(-std::sqrt(last * last) * 75.0 * 2.0),
                              static_cast<float>(-std::sqrt(first * first) * 75.0 * 2.0),
                              -22.0f,
                              -4.0f};
    for (int rule = 0; rule < 6; ++rule) {
        r->params().setInteger("Inside", rule);
        EXPECT_EQ(valueOf(*r, 1.0001), expected[rule]) << "rule " << rule;
    }
}

// Each bailout test with a point just inside and one just outside (BailoutVar 0.5 shows a
// missing or misplaced weight); "P-Ring" fires when |z| is within Bailin of |p|, never
// with Bailin 0.
TEST(EscapeKernelTest, BailoutTests) {
    struct Case {
        int test;
        Complex stays, leaves;
    };
    const Case cases[] = {
        {kBailoutMod, {1, 2}, {1, 3}},       {kBailoutReal, {1.9, 9}, {2.1, 0}},
        {kBailoutImag, {9, 1.9}, {0, 2.1}},  {kBailoutOr, {1.9, 2.5}, {1.9, 3}},
        {kBailoutAnd, {2.1, 2.5}, {2.1, 3}}, {kBailoutManh, {-1, -1.8}, {-1, -2.2}},
        {kBailoutManr, {3, -2}, {3, -1}},    {kBailoutLauw, {3, 1.8}, {3, -2.2}},
    };
    auto r = stillJulia();
    r->params().setReal("BailoutVar", 0.5);
    for (const Case& c : cases) {
        r->params().setInteger("Bailoutest", c.test);
        EXPECT_EQ(valueOf(*r, c.stays.re, c.stays.im), -1.0f) << "test " << c.test;
        EXPECT_EQ(valueOf(*r, c.leaves.re, c.leaves.im), 1.0f) << "test " << c.test;
    }
    r->params().setInteger("Bailoutest", kBailoutPRing);
    r->params().setReal("Bailin", 0.0);
    EXPECT_EQ(valueOf(*r, 0.5, 0.7), -1.0f);
    r->params().setReal("Bailin", 0.01);
    EXPECT_EQ(valueOf(*r, 0.5, 0.7), 1.0f);
}

// The finite test compares with the previous z; the cycle test with the z saved half-way
// and never earlier, so a still orbit is caught at n = MaxIter - MaxIter / 2. Circle
// inversion moves the point before the orbit starts.
TEST(EscapeKernelTest, FiniteCycleAndInversion) {
    auto r = record(kTypeJulia);
    setComplex(*r, "Cr", "Ci", 0.0, 0.0);
    r->params().setInteger("TestForFinite", 1);
    EXPECT_EQ(valueOf(*r, 0.5), 1.0f); // 0.5 -> 0.25: 0.0625 < 0.08
    r->params().setReal("Bailin", 0.05);
    EXPECT_EQ(valueOf(*r, 0.5), 2.0f); // 0.25 -> 0.0625: 0.035 < 0.05

    auto still = stillJulia();
    still->params().setInteger("TestForInfinify", 0);
    still->params().setInteger("TestForCyclus", 1);
    EXPECT_EQ(valueOf(*still, 0.3), 5.0f);
    still->params().setInteger("MaxIter", 11);
    EXPECT_EQ(valueOf(*still, 0.3), 6.0f);

    still = stillJulia();
    still->params().setReal("Bailout", 3.0);
    still->params().setInteger("Inversion", 1);
    still->params().setReal("InvRadius", 1.0);
    setComplex(*still, "InvCenterX", "InvCenterY", 0.0, 0.0);
    EXPECT_EQ(valueOf(*still, 0.5), 1.0f); // inverted to 2
    EXPECT_EQ(valueOf(*still, 1.0), -1.0f);
}

// Start values and steps whose form is easy to get wrong; unknown subtypes leave z alone.
// "cmplxmarks" with D = 1 follows z^2 + c exactly; "zzpwr" truncates Dr 2.9 to 2.
TEST(EscapeKernelTest, SubtypeFormulas) {
    auto r = record(kTypeMandel, kSubtypeMagnet2);
    setComplex(*r, "Cr", "Ci", 0.25, -0.5);
    EscapeParams p = readEscapeParams(*r);
    EXPECT_EQ(initOrbit(p, {1, 1}).z, (Complex{0.25, -0.5}));
    p.subtype = kSubtypeManowar;
    Orbit o = initOrbit(p, {0.1, 0.2});
    subtypeStep(p.subtype)(p, o);
    EXPECT_EQ(o.z, (complexSqr(Complex{0.35, -0.3}) + Complex{0.1, 0.2} + Complex{0.1, 0.2}));
    EXPECT_EQ(o.z1, (Complex{0.35, -0.3}));

    // "fn+fn" with fn1 = zero, fn2 = ident, D = i: the imaginary part subtracts Di * wr.
    p.fn1 = functionPointer(15);
    p.fn2 = functionPointer(7);
    p.d = {0.0, 1.0};
    o.z = {2.0, 3.0};
    subtypeStep(15)(p, o);
    EXPECT_EQ(o.z, (Complex{-3.0, -2.0}));
    o.z = {2.0, 3.0};
    subtypeStep(kLastSubtype)(p, o);
    subtypeStep(-1)(p, o);
    EXPECT_EQ(o.z, (Complex{2.0, 3.0}));

    auto end = [](const EscapeParams& q, bool track) {
        return generalOrbit(q, initOrbit(q, {0.2, 0.1}), 0.0, track).z;
    };
    auto j = record(kTypeJulia, kSubtypeCmplxmarks);
    setComplex(*j, "Dr", "Di", 1.0, 0.0);
    EscapeParams same = readEscapeParams(*j);
    EscapeParams plain = same;
    plain.subtype = 0;
    EXPECT_EQ(end(same, true), end(plain, true));
    setComplex(*j, "Dr", "Di", 2.9, 0.0);
    j->subtype = 22;
    plain.subtype = 22;
    plain.zzpwrExponent = 2.0;
    EXPECT_EQ(end(readEscapeParams(*j), false), end(plain, false));
}

// Out-of-range numbers from a damaged record are brought into range.
TEST(EscapeKernelTest, HostileParameters) {
    auto r = record(kTypeMandel);
    r->subtype = 4000;
    for (const auto& [name, value] :
         {std::pair{"MaxIter", -5}, {"Bailoutest", 10}, {"Inside", 9}, {"Passes", 77}, {"Fn1", 31}})
        r->params().setInteger(name, value);
    const EscapeParams p = readEscapeParams(*r);
    EXPECT_EQ(p.maxIter, 1);
    EXPECT_EQ(p.bailoutTest, kBailoutMod);
    EXPECT_EQ(p.inside, kInsideBlack);
    EXPECT_EQ(p.passes, 3);
    EXPECT_EQ(p.subtype, kLastSubtype);
    EXPECT_EQ(pixelValue(p, 0.1, 0.1), -1.0f);
}

// A 64x48 view of one escape-time fractal, calculated through the installed driver.
struct Rendered {
    ViewEnvironment environment;
    std::unique_ptr<FractalRecord> rec;
    std::unique_ptr<FractalView> view;

    Rendered(std::uint32_t type, std::uint32_t subtype, int inside) : rec(record(type, subtype)) {
        installDrivers(environment.drivers);
        rec->width = 64;
        rec->height = 48;
        rec->params().setInteger("Inside", inside);
        view = std::make_unique<FractalView>(*rec, environment);
        EXPECT_TRUE(
            allocateBuffers(BufferLayout{64, 48, 8, false, false, false, 24}, view->buffers()));
    }
    void calculate() { environment.drivers[rec->type](*view, 0, 0, 63, 47); }
};

// Every subtype of both types, plain and tracking kernel: no cell is left 0.0 or NaN.
TEST(EscapeDriverTest, EverySubtypeFillsTheImage) {
    for (std::uint32_t type : {kTypeJulia, kTypeMandel})
        for (std::uint32_t subtype = 0; subtype <= 24; ++subtype)
            for (int inside : {kInsideMagnitude, kInsideSupremum}) {
                Rendered r(type, subtype, inside);
                r.calculate();
                int unusable = 0;
                for (int y = 0; y < 48; ++y)
                    for (int x = 0; x < 64; ++x) {
                        const float v = r.view->buffers().value(x, y);
                        unusable += (v == 0.0f || std::isnan(v)) ? 1 : 0;
                    }
                EXPECT_EQ(unusable, 0) << type << "/" << subtype << "/" << inside;
            }
}

// Recalculating an unchanged fractal computes nothing; cleared cells are computed again.
TEST(EscapeDriverTest, SecondCalculationComputesNothing) {
    Rendered r(kTypeMandel, 0, kInsideBlack);
    r.calculate();
    const float corner = r.view->buffers().value(0, 0);
    for (float& v : r.view->buffers().values)
        v = 7.0f;
    r.view->buffers().value(0, 0) = 0.0f;
    r.calculate();
    EXPECT_EQ(r.view->buffers().value(0, 0), corner);
    EXPECT_EQ(r.view->buffers().value(13, 17), 7.0f);
    EXPECT_EQ(r.view->buffers().value(63, 47), 7.0f);
}

} // namespace
} // namespace vortimax
