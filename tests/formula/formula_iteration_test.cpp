// Tests of the per-pixel iteration of formula fractals.

#include "formula/formula_entry.h"
#include "formula/formula_iteration.h"

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

// The built-in stop tests see z after every step the formula's own test lets go on. (The whole
// Mandelbrot image, and these tests in place of the formula's, are compared with the Mandel
// kernel in the render tests.)
TEST(FormulaIteration, BuiltInStopTestsFollowTheFormulasTest) {
    const FormulaCode code = compileCode("z=0:\nz=z+1\nz<3");
    std::vector<std::int32_t> seen;
    const auto stopAtFive = [&](Complex z, std::int32_t k) {
        seen.push_back(k);
        return z.re >= 5.0;
    };
    FormulaSettings settings = settingsWith(100);
    settings.testFormula = false; // z < 3 no longer stops: the built-in test does, at z = 5
    FormulaIterator builtIn(code, settings);
    EXPECT_EQ(builtIn.iteratePixel({}, stopAtFive).iterations, 5);
    EXPECT_EQ(seen, (std::vector<std::int32_t>{0, 1, 2, 3, 4}));
    seen.clear();
    FormulaIterator own(code, settingsWith(100)); // z < 3 stops the third step first
    const FormulaPixelResult result = own.iteratePixel({}, stopAtFive);
    EXPECT_EQ(result.iterations, 3);
    EXPECT_TRUE(result.builtInColouring); // there is no colour section
    EXPECT_EQ(seen, (std::vector<std::int32_t>{0, 1}));
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

TEST(FormulaIteration, EveryPixelStartsFromZeroVariablesAndZ) {
    // n is only set in the iteration section: it starts at 0 for every pixel, so the
    // second pixel does not go on counting where the first stopped.
    FormulaIterator iterator(compileCode("z=pixel:\nn=n+1\niter<2:\nn\nn"), settingsWith(10));
    EXPECT_EQ(iterator.iteratePixel({}).value, 3.0);
    EXPECT_EQ(iterator.iteratePixel({}).value, 3.0);
    // z is 0 when the init section reads it.
    FormulaIterator readsZ(compileCode("z=z+1:\nz=z\n0:\nz\nz"), settingsWith(10));
    EXPECT_EQ(readsZ.iteratePixel({}).value, 1.0);
    EXPECT_EQ(readsZ.iteratePixel({}).value, 1.0);
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
