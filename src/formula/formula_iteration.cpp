#include "formula/formula_iteration.h"

#include <algorithm>

namespace vortimax {

FormulaIterator::FormulaIterator(const FormulaCode& code, const FormulaSettings& settings)
    : code_(code), testFormula_(settings.testFormula) {
    EvalContext& c = context_;
    c.p = settings.p;
    c.maxIter = settings.maxIter;
    c.bailout = settings.bailout;
    c.bailin = settings.bailin;
    c.fn = settings.fn;
    c.width = settings.width;
    c.height = settings.height;
    c.left = settings.left;
    c.right = settings.right;
    c.top = settings.top;
    c.bottom = settings.bottom;
    c.corners = settings.corners;
    c.resetVariables(code_.variableCount);
}

FormulaPixelResult FormulaIterator::iteratePixel(const FormulaPixel& pixel) {
    return iteratePixel(pixel, [](Complex, std::int32_t) { return false; });
}

void FormulaIterator::startPixel(const FormulaPixel& pixel) {
    EvalContext& c = context_;
    // Every pixel starts from the same state, so that its value depends on the pixel
    // alone and not on which pixels the same thread happened to compute before it: the
    // image is then the same for any number of threads, any batch and any interruption.
    c.z = {0.0, 0.0};
    c.accumulator = {0.0, 0.0};
    std::fill(c.variables.begin(), c.variables.end(), Complex{0.0, 0.0});
    previousZ_ = {0.0, 0.0};
    c.pixel = pixel.point;
    c.posX = pixel.posX;
    c.posY = pixel.posY;
    c.randomSeed = kPixelRandomSeed;
    c.iter = 0;
    c.lastSqr = 0.0;
    evaluateSection(c, code_.init);
}

bool FormulaIterator::iterate(std::int32_t k) {
    EvalContext& c = context_;
    c.iter = k;
    previousZ_ = c.z;
    evaluateSection(c, code_.iteration);
    bool goOn = true;
    if (testFormula_) {
        evaluate(c, *code_.abort);
        goOn = c.accumulator.re != 0.0;
    }
    c.lastSqr = c.z.re * c.z.re + c.z.im * c.z.im;
    return goOn;
}

FormulaPixelResult FormulaIterator::finish(std::int32_t iterations, bool inside) {
    FormulaPixelResult result;
    result.iterations = iterations;
    result.inside = inside;
    result.z = context_.z;
    const CompiledStatement& colour = inside ? code_.insideColour : code_.outsideColour;
    result.builtInColouring = colour.usesBuiltInColouring();
    if (!result.builtInColouring) {
        evaluate(context_, colour);
        result.value = context_.accumulator.re;
    }
    return result;
}

} // namespace vortimax
