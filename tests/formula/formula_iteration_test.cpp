// Tests of the per-pixel iteration of formula fractals.

#include "formula/formula_entry.h"
#include "formula/formula_iteration.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vortimax {
namespace {

FormulaCode compileCode(const std::string& source) {
    FormulaEntry entry;
    EXPECT_EQ(compileFormula(entry, "test", source, {}, nullptr), 0) << source;
    return entry.code;
}

FormulaSettings settingsWith(std::int32_t maxIter) {
    FormulaSettings settings;
    settings.maxIter = maxIter;
    return settings;
}

// The escape test of the formulas below: |z| is the squared modulus x^2 + y^2 (bars compile
// to code 255), and iteration goes on while it is <= 4. z starts at c (the init statement
// z = pixel); the reference counts the iteration that makes x^2 + y^2 exceed 4, and is
// maxIter + 1 for a point that stays inside.
std::int32_t referenceIterations(Complex c, std::int32_t maxIter) {
    double x = c.re;
    double y = c.im;
    for (std::int32_t k = 0; k < maxIter; ++k) {
        const double newX = x * x - y * y + c.re;
        const double newY = x * y + y * x + c.im;
        x = newX;
        y = newY;
        if (!(x * x + y * y <= 4.0)) {
            return k + 1;
        }
    }
    return maxIter + 1;
}

TEST(FormulaIteration, MandelbrotMatchesAPlainLoop) {
    const std::int32_t maxIter = 200;
    FormulaIterator iterator(compileCode("z = pixel: z = z^2 + pixel, |z| <= 4"),
                             settingsWith(maxIter));
    ASSERT_TRUE(iterator.ready());
    const Complex points[] = {{0.0, 0.0},  {-1.0, 0.0},     {0.3, 0.5},   {-0.75, 0.1},
                              {2.0, 2.0},  {-2.0, 0.0},     {0.25, 0.0},  {-0.7454, 0.1130},
                              {0.26, 0.0}, {-1.77, 0.0056}, {0.4, -0.35}, {1e-3, 1.0}};
    std::int32_t insideCount = 0;
    for (const Complex point : points) {
        const FormulaPixelResult result = iterator.iteratePixel({point, 0, 0});
        const std::int32_t expected = referenceIterations(point, maxIter);
        EXPECT_EQ(result.iterations, std::min(expected, maxIter)) << point.re << " " << point.im;
        EXPECT_EQ(result.inside, expected > maxIter) << point.re << " " << point.im;
        EXPECT_TRUE(result.builtInColouring);
        insideCount += result.inside ? 1 : 0;
    }
    EXPECT_GT(insideCount, 0);
    EXPECT_LT(insideCount, static_cast<std::int32_t>(std::size(points)));
}

TEST(FormulaIteration, BuiltInStopTestsWithoutTheAbortCondition) {
    const std::int32_t maxIter = 100;
    FormulaSettings settings = settingsWith(maxIter);
    settings.testFormula = false;
    FormulaIterator iterator(compileCode("z=pixel:\nz=z*z+pixel\n0"), settings);
    std::vector<std::int32_t> seen;
    const auto escaped = [&](Complex z, std::int32_t k) {
        seen.push_back(k);
        return !(z.re * z.re + z.im * z.im <= 4.0);
    };
    for (const Complex point : {Complex{0.3, 0.5}, Complex{-0.1, 0.2}, Complex{1.0, 1.0}}) {
        seen.clear();
        const FormulaPixelResult result = iterator.iteratePixel({point, 0, 0}, escaped);
        EXPECT_EQ(result.iterations, std::min(referenceIterations(point, maxIter), maxIter));
        ASSERT_EQ(seen.size(), static_cast<std::size_t>(result.iterations));
        EXPECT_EQ(seen.back(), result.iterations - 1);
    }
    // With the abort condition on, "0" stops the first iteration before the built-in tests.
    FormulaIterator stopped(compileCode("z=pixel:\nz=z*z+pixel\n0"), settingsWith(maxIter));
    seen.clear();
    EXPECT_EQ(stopped.iteratePixel({{0.1, 0.1}, 0, 0}, escaped).iterations, 1);
    EXPECT_TRUE(seen.empty());
}

TEST(FormulaIteration, ColourSection) {
    // z counts 1, 2, 3, ...; the abort condition z < 3 stops at the third iteration.
    const FormulaCode code = compileCode("z=0:\nz=z+1\nz<3:\nmaxiter*10+iter\nz+100");
    FormulaIterator outside(code, settingsWith(10));
    const FormulaPixelResult escaped = outside.iteratePixel({});
    EXPECT_FALSE(escaped.inside);
    EXPECT_EQ(escaped.iterations, 3);
    EXPECT_FALSE(escaped.builtInColouring);
    EXPECT_EQ(escaped.value, 103.0);
    FormulaIterator inside(code, settingsWith(2));
    const FormulaPixelResult captured = inside.iteratePixel({});
    EXPECT_TRUE(captured.inside);
    EXPECT_EQ(captured.iterations, 2);
    EXPECT_EQ(captured.value, 21.0);
    EXPECT_EQ(captured.z, (Complex{2.0, 0.0}));
}

TEST(FormulaIteration, VariablesCarryOverBetweenPixels) {
    // n is only set in the iteration section: it starts at 0 and keeps counting.
    FormulaIterator iterator(compileCode("z=pixel:\nn=n+1\niter<2:\nn\nn"), settingsWith(10));
    EXPECT_EQ(iterator.iteratePixel({}).value, 3.0);
    EXPECT_EQ(iterator.iteratePixel({}).value, 6.0);
    FormulaIterator fresh(compileCode("z=pixel,n=0:\nn=n+1\niter<2:\nn\nn"), settingsWith(10));
    EXPECT_EQ(fresh.iteratePixel({}).value, 3.0);
    EXPECT_EQ(fresh.iteratePixel({}).value, 3.0);
}

TEST(FormulaIteration, RandomSequenceRestartsForEveryPixel) {
    const std::string body = ":\nz=z\n0:\nz\nz";
    FormulaIterator plain(compileCode("z=rand" + body), settingsWith(5));
    const double first = plain.iteratePixel({{0.5, 0.5}, 1, 2}).value;
    EXPECT_EQ(plain.iteratePixel({{-1.0, 0.0}, 3, 4}).value, first);
    EXPECT_GE(first, -1.0);
    EXPECT_LE(first, 1.0);

    FormulaIterator seeded(compileCode("srand(5),z=rand" + body), settingsWith(5));
    const double seededFirst = seeded.iteratePixel({}).value;
    EXPECT_NE(seededFirst, first);
    EXPECT_EQ(seeded.iteratePixel({}).value, seededFirst);

    FormulaIterator perColumn(compileCode("srand(posx),z=rand" + body), settingsWith(5));
    EXPECT_NE(perColumn.iteratePixel({{0, 0}, 1, 0}).value,
              perColumn.iteratePixel({{0, 0}, 2, 0}).value);
    EXPECT_EQ(perColumn.iteratePixel({{0, 0}, 5, 0}).value, seededFirst);
}

TEST(FormulaIteration, LastSqrIsTheModulusAfterThePreviousIteration) {
    // w reads lastsqr before z moves on: at the fourth iteration (k = 3) it holds |pixel + 3|^2.
    // v reads it in the init section, where it is 0 for every pixel.
    FormulaIterator iterator(compileCode("z=pixel,v=lastsqr:\nw=lastsqr\nz=z+1\niter<3:\n0\nv+w"),
                             settingsWith(50));
    for (const Complex point : {Complex{1.0, 1.0}, Complex{-2.0, 0.5}}) {
        const FormulaPixelResult result = iterator.iteratePixel({point, 0, 0});
        EXPECT_EQ(result.iterations, 4);
        const double x = point.re + 3.0;
        EXPECT_EQ(result.value, x * x + point.im * point.im);
    }
}

TEST(FormulaIteration, PixelAndCalculationValues) {
    FormulaSettings settings = settingsWith(7);
    settings.p[1] = {0.5, -0.5};
    settings.width = 320;
    FormulaIterator iterator(compileCode("z=0:\nz=z\n0:\n0\npixel+p2+posx*width+posy*i"), settings);
    const FormulaPixelResult result = iterator.iteratePixel({{1.0, 2.0}, 3, 4});
    EXPECT_EQ(result.value, 1.0 + 0.5 + 3 * 320);
}

TEST(FormulaIteration, IncompleteCodeIsNotRun) {
    FormulaIterator iterator(FormulaCode{}, settingsWith(10));
    EXPECT_FALSE(iterator.ready());
    const FormulaPixelResult result = iterator.iteratePixel({});
    EXPECT_EQ(result.iterations, 0);
    EXPECT_TRUE(result.builtInColouring);
}

} // namespace
} // namespace vortimax
