#include "model/fractal_record.h"
#include "model/fractal_view.h"
#include "model/type_registry.h"
#include "render/escape/julia24_driver.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace vortimax {
namespace {

// A Julia24 or Mandel24 kernel with c (Julia) or the start of z (Mandel) at the origin.
Julia24Params params(bool mandel, bool cubic, int outside, int inside, double bailout = 4.0) {
    Julia24Params p;
    p.mandel = mandel;
    p.cubic = cubic;
    p.outside = outside;
    p.inside = inside;
    p.bailout = bailout;
    p.insideMult = 2.0;
    prepareOutsideParams(p.decomposition);
    return p;
}

float value(const Julia24Params& p, double re, double im = 0.0) {
    return julia24Value(p, Complex{re, im});
}

// Both types and subtypes, every Outside and Inside: no pixel is left 0.0 or NaN.
TEST(Julia24Driver, EveryValueOfARenderedImageIsSet) {
    for (std::uint32_t type : {kTypeJulia24, kTypeMandel24})
        for (std::uint32_t subtype : {0u, 1u})
            for (int outside = 0; outside < kOutside24Count; ++outside)
                for (int inside = 0; inside < kInside24Count; ++inside) {
                    ViewEnvironment environment;
                    auto record = createRecord(type, subtype, RecordCreationContext{});
                    record->width = 64;
                    record->height = 48;
                    record->params().setInteger("Outside", outside);
                    record->params().setInteger("Inside", inside);
                    FractalView view(*record, environment);
                    allocateBuffers(BufferLayout{64, 48, 24}, view.buffers());
                    calculateJulia24(view, 0, 0, 63, 47);
                    for (int y = 0; y < 48; ++y)
                        for (int x = 0; x < 64; ++x) {
                            const float v = view.buffers().value(x, y);
                            ASSERT_TRUE(v != 0.0f && !std::isnan(v))
                                << type << " " << subtype << " " << outside << " " << inside
                                << " at " << x << "," << y;
                        }
                }
}

// "CPM" lags one step: the Mandel24 orbit of 1 is 0, 1, 2, 5, 26 and the test sees 25 in
// the fourth step. The z^3 + c Julia24 orbit of 2 escapes at loop index 1 (|z|^2 = 64).
// "DEM" uses the derivative: Julia24 from 2 ends with dz 32, z 16; Mandel24 from the
// constant 2 ends at index 0 with dz 1, z 4.5. From -2 the phase is the angle pi.
TEST(Julia24Kernel, OutsideRules) {
    const double cpm2 =
        5.0 + 1.0 - std::log(std::log(25.0 + 1e-07) * 0.5 / 0.69314718) / 0.69314718;
    EXPECT_EQ(value(params(true, false, kOutside24Cpm, kInside24Black), 1.0), float(cpm2));
    const double cpm3 =
        1.0 + 1.0 -
        std::log(std::log(64.0 + 1e-07) * 0.333333333333333 / 1.098612289) / 1.098612289;
    EXPECT_EQ(value(params(false, true, kOutside24Cpm, kInside24Black), 2.0), float(cpm3));

    const float julia = float(std::atan(1.0 / (2.0 * 16.0 * std::log(16.0) / 32.0)) * 100.0);
    EXPECT_EQ(value(params(false, false, kOutside24Dem, kInside24Black), 2.0), julia);
    Julia24Params mandel = params(true, false, kOutside24Dem, kInside24Black, 3.0);
    mandel.constant = Complex{2.0, 0.0};
    EXPECT_EQ(value(mandel, 0.5), float(std::atan(1.0 / (2.0 * 4.5 * std::log(4.5))) * 100.0));
    EXPECT_FLOAT_EQ(value(params(false, false, kOutside24Phase, kInside24Black), -2.0),
                    float(std::fabs(std::log(3.14159265358979 / 4.0))));
    EXPECT_EQ(value(params(false, false, 5, kInside24Black), 2.0), -1.0f); // unknown Outside
}

// The Julia24 orbit of 0.5 is 0.25, 0.0625, 0.00390625. "Magnitude" with "CPM" takes the
// fast loop (MaxIter - 1 steps), with "DEM" all three; an unknown Inside is black.
TEST(Julia24Kernel, InsideRules) {
    auto inside = [](int rule, int outside = kOutside24Dem) {
        Julia24Params p = params(false, false, outside, rule);
        p.maxIter = 3;
        return value(p, 0.5);
    };
    EXPECT_EQ(inside(kInside24Black), -1.0f);
    EXPECT_EQ(inside(kInside24Magnitude, kOutside24Cpm), -0.0625f * 2.0f);
    EXPECT_EQ(inside(kInside24Magnitude), -0.00390625f * 2.0f);
    EXPECT_EQ(inside(kInside24Supremum), -0.25f * 75.0f * 2.0f);
    EXPECT_EQ(inside(kInside24Infimum), -0.00390625f * 75.0f * 2.0f);
    EXPECT_EQ(inside(kInside24SupIndex), -1.0f * 2.0f);
    EXPECT_EQ(inside(kInside24InfIndex), -3.0f * 2.0f);
    EXPECT_EQ(inside(17), -1.0f);
}

// Values that would be zero, NaN or (outside) negative get the fixed fallbacks;
// decomposition with Coding > 0 replaces the value by the sector offset.
TEST(Julia24Kernel, FallbacksAndDecomposition) {
    Julia24Params zeroMult = params(true, false, kOutside24Cpm, kInside24Magnitude);
    EXPECT_EQ(value(zeroMult, 0.0), kInside24Fallback);
    zeroMult.insideMult = 0.0;
    EXPECT_EQ(value(zeroMult, -1.0), kInside24Fallback);
    // Far out, log log |z| outgrows n + 1.
    EXPECT_EQ(value(params(false, false, kOutside24Cpm, kInside24Black), 1e10), kOutside24Fallback);

    Julia24Params sectors = params(false, false, kOutside24Dem, kInside24Black);
    sectors.decomposition.decomposition = true;
    sectors.decomposition.coding = 2;
    sectors.decomposition.decFactor = 3.0;
    prepareOutsideParams(sectors.decomposition);
    EXPECT_EQ(value(sectors, 2.0), 3.0f);
    sectors.decomposition.decFactor = 0.0;
    EXPECT_EQ(value(sectors, 2.0), kOutside24Fallback);
}

// Circle inversion moves the point first; the record's values are brought into range.
TEST(Julia24Kernel, InversionAndRecordParameters) {
    Julia24Params p = params(false, false, kOutside24Dem, kInside24Black);
    const float direct = value(p, 4.0, 2.0);
    p.inversion.enabled = true;
    EXPECT_FLOAT_EQ(value(p, 0.2, 0.1), direct); // (4 + 2i) / |4 + 2i|^2 = 0.2 + 0.1i

    auto record = createRecord(kTypeMandel24, 1, RecordCreationContext{});
    record->params().setInteger("MaxIter", -5);
    record->params().setBigFixed("Cr", BigFixed::fromDouble(0.25));
    const Julia24Params read = readJulia24Params(*record);
    EXPECT_TRUE(read.mandel && read.cubic);
    EXPECT_EQ(read.maxIter, 1);
    EXPECT_EQ(read.constant, (Complex{0.25, 0.0}));
}

} // namespace
} // namespace vortimax
