// Formula files: the library reader, the preprocessor and compiler behind it, and a few
// pixels of every formula that compiles, through the one-pixel iterator and the batch
// iterator (which must agree).

#include "formula/formula_batch.h"
#include "formula/formula_entry.h"
#include "formula/formula_iteration.h"
#include "formula/function_table.h"
#include "formula/library_list.h"
#include "formula/library_load.h"
#include "fuzz_input.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdlib>

namespace vortimax {
namespace {

// Small enough that a formula that never stops still takes little time.
constexpr std::int32_t kMaxIter = 48;
constexpr int kWidth = 4;
constexpr int kHeight = 3;
// Formulas evaluated per input; the rest are only compiled.
constexpr std::size_t kEvaluatedFormulas = 4;

bool sameBits(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) ||
           std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool sameResult(const FormulaPixelResult& a, const FormulaPixelResult& b) {
    return a.iterations == b.iterations && a.inside == b.inside &&
           a.builtInColouring == b.builtInColouring && sameBits(a.value, b.value) &&
           sameBits(a.z.re, b.z.re) && sameBits(a.z.im, b.z.im);
}

FormulaSettings settingsFor(std::size_t which) {
    FormulaSettings settings;
    settings.maxIter = kMaxIter;
    settings.width = kWidth;
    settings.height = kHeight;
    settings.left = -2.0;
    settings.right = 1.0;
    settings.top = 1.5;
    settings.bottom = -1.5;
    settings.p = {Complex{0.3, -0.5}, Complex{-1.0, 2.0}, Complex{0.0, 0.0}, Complex{1e300, -3.0}};
    for (std::size_t i = 0; i < settings.fn.size(); ++i)
        settings.fn[i] = static_cast<int>((which * 7 + i * 11) % kFunctionCount);
    settings.corners = {Complex{-2.0, 1.5}, Complex{-2.0, -1.5}, Complex{1.0, -1.5},
                        Complex{1.0, 1.5}};
    return settings;
}

std::array<FormulaPixel, kWidth * kHeight> pixels() {
    std::array<FormulaPixel, kWidth * kHeight> all{};
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            all[static_cast<std::size_t>(y * kWidth + x)] = {
                Complex{-2.0 + 3.0 * x / (kWidth - 1), 1.5 - 3.0 * y / (kHeight - 1)}, x, y};
    // Points the functions treat specially.
    all[0].point = Complex{0.0, 0.0};
    all[1].point = Complex{-0.0, -1.0};
    return all;
}

void evaluate(const FormulaCode& code, std::size_t which) {
    const FormulaSettings settings = settingsFor(which);
    const auto points = pixels();
    FormulaIterator single(code, settings);
    std::array<FormulaPixelResult, points.size()> expected{};
    for (std::size_t i = 0; i < points.size(); ++i)
        expected[i] = single.iteratePixel(points[i]);
    FormulaBatchIterator batch(code, settings);
    std::array<FormulaPixelResult, points.size()> results{};
    batch.iterateBatch(points, results);
    for (std::size_t i = 0; i < points.size(); ++i)
        if (!sameResult(expected[i], results[i]))
            std::abort();
}

} // namespace
} // namespace vortimax

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vortimax;
    const std::string_view text = fuzz::asText(data, size);
    FormulaLibrary library;
    loadLibraryText(library, text);
    std::size_t which = 0;
    for (const FormulaEntry& entry : library.all()) {
        if (which == kEvaluatedFormulas)
            break;
        if (entry.code.isComplete())
            evaluate(entry.code, which++);
    }
    // The whole input as the source of one formula, as typed into the formula editor.
    FormulaEntry typed;
    FormulaCompileOptions options;
    options.silent = true;
    if (compileFormula(typed, "typed", text, options, nullptr) == 0 && typed.code.isComplete())
        evaluate(typed.code, which);
    return 0;
}
