// The batch evaluator against the one-pixel evaluator: every formula of the starter file
// and of the corpus, and formulas written to reach every kind of word, give each pixel the
// same result in both, for batches of every size and pixels that stop at different
// iterations.

#include "formula/formula_batch.h"
#include "formula/formula_entry.h"
#include "formula/formula_token_codes.h"
#include "formula_bodies.h"

#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace vortimax {
namespace {

namespace fs = std::filesystem;

bool sameBits(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) ||
           std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

std::string describe(const FormulaPixelResult& r) {
    return std::to_string(r.iterations) + (r.inside ? " inside " : " outside ") +
           std::to_string(r.value) + " z " + std::to_string(r.z.re) + "," + std::to_string(r.z.im);
}

bool sameResult(const FormulaPixelResult& a, const FormulaPixelResult& b) {
    return a.iterations == b.iterations && a.inside == b.inside &&
           a.builtInColouring == b.builtInColouring && sameBits(a.value, b.value) &&
           sameBits(a.z.re, b.z.re) && sameBits(a.z.im, b.z.im);
}

// The built-in stop tests of the Formula fractal in both shapes: after each step the
// formula lets go on, stop when |z|^2 exceeds the bailout or z moved less than bailin.
struct Stops {
    double bailout = 4.0;
    double bailin = 0.0;

    bool one(Complex z, Complex previous) const {
        const double dr = z.re - previous.re;
        const double di = z.im - previous.im;
        return bailout < z.re * z.re + z.im * z.im || dr * dr + di * di < bailin;
    }
    void lanes(const FormulaLanes& lanes) const {
        for (int i = 0; i < lanes.count; ++i) {
            const Complex z{lanes.zRe[i], lanes.zIm[i]};
            const Complex previous{lanes.previousRe[i], lanes.previousIm[i]};
            lanes.stop[i] = lanes.stop[i] != 0 || one(z, previous) ? 1 : 0;
        }
    }
};

// A grid of pixels across [-2, 1] x [-1.3, 1.3] (rows of `width`), the results of both
// evaluators over it; batches take 1, 2, ..., 64, 1, ... pixels in turn. Returns the number
// of differing pixels (the first one is reported).
//
// With `ownInfinityTest`, the batch evaluator runs without stop tests but with its own
// infinity test (bailout `stops.bailout`; `stops.bailin` must be 0).
int compareEvaluators(const FormulaCode& code, const FormulaSettings& settings,
                      const std::string& name, Stops stops = {}, int width = 37, int height = 23,
                      bool ownInfinityTest = false) {
    std::vector<FormulaPixel> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back({{-2.0 + 3.0 * x / (width - 1), -1.3 + 2.6 * y / (height - 1)}, x, y});
        }
    }
    FormulaIterator one(code, settings);
    std::vector<FormulaPixelResult> expected;
    for (const FormulaPixel& pixel : pixels) {
        expected.push_back(one.iteratePixel(
            pixel, [&](Complex z, std::int32_t) { return stops.one(z, one.previousZ()); }));
    }
    FormulaBatchIterator batch = ownInfinityTest
                                     ? FormulaBatchIterator(code, settings, false, stops.bailout)
                                     : FormulaBatchIterator(code, settings, true);
    std::vector<FormulaPixelResult> results(pixels.size());
    std::size_t size = 1;
    for (std::size_t at = 0; at < pixels.size(); at += size, size = size % 64 + 1) {
        const std::size_t n = std::min(size, pixels.size() - at);
        const auto batchPixels = std::span(pixels).subspan(at, n);
        const auto batchResults = std::span(results).subspan(at, n);
        if (ownInfinityTest) {
            batch.iterateBatch(batchPixels, batchResults);
        } else {
            batch.iterateBatch(batchPixels, batchResults,
                               [&](const FormulaLanes& lanes) { stops.lanes(lanes); });
        }
    }
    int differing = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (!sameResult(expected[i], results[i]) && differing++ == 0) {
            ADD_FAILURE() << name << " pixel " << i << ": " << describe(expected[i]) << " vs "
                          << describe(results[i]);
        }
    }
    return differing;
}

FormulaSettings testSettings() {
    FormulaSettings s;
    s.maxIter = 60;
    s.p = {Complex{0.3, 0.1}, Complex{4.0, 0.0}, Complex{-0.7, 0.27}, Complex{2.0, -1.0}};
    s.fn = {0, 5, 9, 17};
    s.width = 37;
    s.height = 23;
    s.left = -2.0;
    s.right = 1.0;
    s.top = 1.3;
    s.bottom = -1.3;
    s.corners = {Complex{-2.0, -1.3}, Complex{-2.0, 1.3}, Complex{1.0, 1.3}, Complex{1.0, -1.3}};
    return s;
}

// Compares every body that compiles; returns how many compiled.
int compareBodies(const std::vector<std::string>& bodies, const FormulaSettings& settings,
                  Stops stops) {
    int compiled = 0;
    for (const std::string& body : bodies) {
        FormulaEntry entry;
        if (compileFormula(entry, "f", body, {.silent = true}, nullptr) != 0) {
            continue;
        }
        ++compiled;
        EXPECT_EQ(compareEvaluators(entry.code, settings, body, stops, 19, 11), 0);
    }
    return compiled;
}

TEST(FormulaBatch, StarterFormulasGiveTheSameResults) {
    const auto bodies = test::formulaBodies(fs::path(VORTIMAX_DATA_DIR) / "Formulas", true);
    ASSERT_FALSE(bodies.empty());
    FormulaSettings settings = testSettings();
    EXPECT_EQ(compareBodies(bodies, settings, {}), static_cast<int>(bodies.size()));
    settings.testFormula = false; // only the built-in tests stop, finite attractors too
    EXPECT_GT(compareBodies(bodies, settings, {4.0, 1e-6}), 0);
}

TEST(FormulaBatch, CorpusFormulasGiveTheSameResults) {
    const auto bodies = test::formulaBodies(fs::path(VORTIMAX_CORPUS_DIR) / "frm", true);
    if (bodies.empty()) {
        GTEST_SKIP() << "no corpus formulas";
    }
    FormulaSettings settings = testSettings();
    settings.maxIter = 30;
    EXPECT_GT(compareBodies(bodies, settings, {16.0, 1e-9}), 0);
}

// Formulas that reach the words of the language: per-pixel operands, the random generator
// seeded per pixel, iteration-dependent values, the functions fn1 ... fn4, comparisons and
// logic, several targets, and colour statements for both kinds of pixels.
TEST(FormulaBatch, EveryKindOfWordGivesTheSameResults) {
    const char* formulas[] = {
        "z = pixel: z = z^2 + pixel, |z| <= 4",
        "z = pixel, c = p1: z = z*z*z + c, |z| < 4 : real(z) * 40, iter * 3",
        "z = pixel + rand * 0.01: z = z^2 + pixel + rand * 0.001, |z| <= 4",
        "srand(posx * 7 + posy), z = pixel: z = z^2 + pixel * (1 + rand / 100), |z| <= 4 "
        ": lastsqr + rand, iter + posx / width - posy / height",
        "z = pixel: z = fn1(z) * pixel + fn2(z) / 10, abs(imag(z)) <= 50 : fn3(z), fn4(z)",
        "z = pixel: a = z, z = z - (z^3 - 1) / (3*z^2), |z - a| >= 0.000001 : arg(z), iter",
        "z = 0: z = z^2 + pixel, (iter < 20 && |z| <= 4) || (iter >= 20 && lastsqr < 4)",
        "z = pixel, b = 0: b = b + (|z| > 1), z = sqr(z) + p3, !(|z| > 4) : b, b * 2 + flip(z)",
        "z = pixel: z = sin(z) + cos(z) * p1 - tan(z) / 4 + exp(z) / 9, |z| <= bailout + 60",
        "z = pixel: z = conj(z)^2 + pixel, real(z) == real(z) && imag(z) != 42 && |z| <= 4",
        "z = pixel: z = z^p2 + pixel, |z| <= maxiter",
        "z = pixel: z = z^1.5 + pixel - corner1 / 10, |z| <= 4 : left - right, top + bottom",
        "z = pixel: z = sqrt(z) + asin(z) - acos(z) + atan(z) + ln(z) - log(z), |z| <= 40",
        "z = pixel: z = sinh(z) + cosh(z) - tanh(z) + cotan(z) - cotanh(z), |z| <= 40",
        "z = pixel: z = acot(z) + asinh(z) - acosh(z) + atanh(z) - acoth(z) + abs(z), |z| < 9",
        "z = pixel: u = v = z * i + e - pi, z = u^2 + pixel - v, |z| <= 4 : u, v",
        "z = pixel: z = -z^2 + pixel, z = z + true - false, iter <= 40 : iter, -iter",
        // The condition is lastsqr itself: it reads the value before this iteration's end.
        "z = 1: a, lastsqr",
        "z = pixel: z = z^2 + pixel, lastsqr",
    };
    for (const char* text : formulas) {
        FormulaEntry entry;
        ASSERT_EQ(compileFormula(entry, "f", text, {.silent = true}, nullptr), 0) << text;
        for (bool testFormula : {true, false}) {
            FormulaSettings settings = testSettings();
            settings.testFormula = testFormula;
            EXPECT_EQ(compareEvaluators(entry.code, settings, text, {4.0, 1e-9}), 0);
        }
    }
}

// If blocks whose conditions differ from pixel to pixel and from iteration to iteration
// (nested, with elseif chains, empty branches, random numbers and seeds drawn in one branch
// only), and the other forms of older formula files. Each must run in batch form.
TEST(FormulaBatch, IfBlocksAndOlderFormsGiveTheSameResults) {
    const char* formulas[] = {
        "z = pixel, a = 0: if(real(z) < 0)\n z = z^2 + pixel\n else\n z = z^3 + pixel\n "
        "a = a + 1\n endif\n |z| <= 4 : a, a + iter",
        "z = pixel: if(|z| < 0.5)\n if(imag(z) < 0)\n z = sqr(z) * 2 + pixel\n elseif(iter > 3)"
        "\n z = z * p1 + pixel\n else\n endif\n elseif(real(z) > 0.2)\n z = cosxx(z) + pixel"
        "\n elseif(imag(z) > 0)\n else\n z = sqr(z) + pixel\n endif\n |z| <= 4",
        "z = pixel: if(real(z) < imag(z))\n z = z^2 + pixel + rand / 50\n else\n "
        "srand(posx)\n endif\n z = z^2 + pixel + rand / 100, |z| <= 4 : rand, iter",
        "z = pixel, b = 1: if(posx > posy)\n b = b * 2\n endif\n z = z*z + pixel/b\n "
        "if(iter == 2)\n z = z * 0\n endif\n |z| <= 4 : b, real(z)",
        "pixel = flip(pixel), bailout = 9, z = 0: z = z^2 + pixel, |z| <= bailout",
        "z = pixel: (z = z^2 + pixel) * (real(z) < 0) + (w = z) , |w + z| <= 8 : w, z",
        "z = pixel: z = 2z^2 + 3(pixel - round(z)) - trunc(z) + floor(z) / ceil(z + 9),"
        " cabs(z) <= 4",
        "z = pixel: z = z*z + pixel",
        // z waiting on the stack keeps the value it had before the assignment.
        "z = pixel: z = z + (z = z*z) + pixel - z / 4, |z| <= 4",
    };
    for (const char* text : formulas) {
        FormulaEntry entry;
        ASSERT_EQ(compileFormula(entry, "f", text, {.silent = true}, nullptr), 0) << text;
        FormulaSettings settings = testSettings();
        EXPECT_TRUE(FormulaBatchIterator(entry.code, settings).batched()) << text;
        EXPECT_EQ(compareEvaluators(entry.code, settings, text, {4.0, 1e-9}), 0);
        settings.testFormula = false;
        EXPECT_EQ(compareEvaluators(entry.code, settings, text, {4.0, 1e-9}), 0);
    }
}

// No iterations at all, one iteration, and pixels that all run to the end.
TEST(FormulaBatch, IterationLimitsAtTheEdges) {
    FormulaEntry entry;
    ASSERT_EQ(compileFormula(entry, "f", "z = pixel: z = z^2 + pixel, |z| <= 4 : iter, z",
                             {.silent = true}, nullptr),
              0);
    for (std::int32_t maxIter : {0, 1, 2, 500}) {
        FormulaSettings settings = testSettings();
        settings.maxIter = maxIter;
        EXPECT_EQ(compareEvaluators(entry.code, settings, std::to_string(maxIter), {1e300, 0.0}),
                  0);
    }
}

// Without a driver's stop tests, formulas of the form z = z^2 + c with |z| <= r or
// |z| < r (or with the formula's test off) run several iterations at a time; the iterator's
// own infinity test stops pixels as the driver's would.
TEST(FormulaBatch, QuadraticLoopGivesTheSameResults) {
    const char* formulas[] = {
        "z = pixel: z = z^2 + pixel, |z| <= 4",
        "z = 0, c = pixel * p1: z = z^2 + c, |z| < 3 : lastsqr * 100 + iter, iter - real(z)",
        "z = p3: z = z^2 + pixel, |z| <= 1000",
        "z = pixel: z = z^2 + p3, |z| < 4",
        "z = pixel: z = z^2 + pixel + 1, |z| <= 4", // not the quadratic form
    };
    int quadratic = 0;
    for (const char* text : formulas) {
        FormulaEntry entry;
        ASSERT_EQ(compileFormula(entry, "f", text, {.silent = true}, nullptr), 0) << text;
        for (std::int32_t maxIter : {1, 7, 8, 9, 15, 16, 17, 63, 64, 65, 150}) {
            for (bool testFormula : {true, false}) {
                FormulaSettings settings = testSettings();
                settings.maxIter = maxIter;
                settings.testFormula = testFormula;
                const std::string name = std::string(text) + " " + std::to_string(maxIter);
                EXPECT_EQ(compareEvaluators(entry.code, settings, name, {4.0, 0.0}, 37, 23, true),
                          0);
                quadratic += FormulaBatchIterator(entry.code, settings, false, 4.0).quadratic();
            }
        }
    }
    EXPECT_EQ(quadratic, 4 * 11 * 2);
}

// Orbits landing exactly on the radius: the strict test stops there, the other goes on
// (c = -2 gives |z|^2 = 4 at the first iteration and ever after, c = 1 at the second).
TEST(FormulaBatch, QuadraticLoopStopsOnTheRadiusOnlyWhenStrict) {
    for (const char* text : {"z = 0: z = z^2 + p1, |z| < 4", "z = 0: z = z^2 + p1, |z| <= 4"}) {
        FormulaEntry entry;
        ASSERT_EQ(compileFormula(entry, "f", text, {.silent = true}, nullptr), 0) << text;
        for (Complex c : {Complex{-2.0, 0.0}, Complex{1.0, 0.0}}) {
            FormulaSettings settings = testSettings();
            settings.p[0] = c;
            EXPECT_TRUE(FormulaBatchIterator(entry.code, settings, false, 1e300).quadratic());
            EXPECT_EQ(compareEvaluators(entry.code, settings, text, {1e300, 0.0}, 9, 5, true), 0);
        }
    }
}

// A statement the one-pixel evaluator skips (more variables than slots) keeps the batch
// evaluator on the one-pixel path, with the same results.
TEST(FormulaBatch, StatementsOutsideTheBatchFormRunOneByOne) {
    FormulaEntry entry;
    ASSERT_EQ(compileFormula(entry, "f", "z = pixel: z = z^2 + pixel, |z| <= 4", {.silent = true},
                             nullptr),
              0);
    CompiledStatement skipped = entry.code.init.front();
    skipped.highestVariable = 1000;
    entry.code.init.insert(entry.code.init.begin(), skipped);
    const FormulaSettings settings = testSettings();
    EXPECT_FALSE(FormulaBatchIterator(entry.code, settings).batched());
    EXPECT_EQ(compareEvaluators(entry.code, settings, "skipped"), 0);
}

// The loop of z^2 + c with |z| <= 4 runs as one fused operation for the step and one for
// the test.
TEST(FormulaBatch, SquareAddAndModulusTestAreFused) {
    FormulaEntry entry;
    ASSERT_EQ(compileFormula(entry, "f", "z = pixel: z = z^2 + pixel, |z| <= 4", {.silent = true},
                             nullptr),
              0);
    const auto program = translateFormula(entry.code, testSettings());
    ASSERT_TRUE(program.has_value());
    ASSERT_EQ(program->iteration.ops.size(), 1u);
    EXPECT_EQ(program->iteration.ops[0].kind, LaneOpKind::SquareAdd);
    EXPECT_EQ(program->iteration.ops[0].out, kSlotZ);
    ASSERT_EQ(program->abort.ops.size(), 1u);
    EXPECT_EQ(program->abort.ops[0].kind, LaneOpKind::ModulusLessEqual);
}

} // namespace
} // namespace vortimax
