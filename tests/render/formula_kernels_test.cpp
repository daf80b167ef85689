// The Formula type's batch kernel against its one-pixel kernel: whole images of several
// formulas under every built-in stop test and inside rule, computed in batches of varying
// size with gaps between their columns, match bit for bit.

#include "formula/formula_entry.h"
#include "model/param_text.h"
#include "model/type_registry.h"
#include "render/escape/formula_kernels.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace vortimax {
namespace {

constexpr int kWidth = 48;
constexpr int kHeight = 36;

using Settings = std::vector<std::pair<std::string, std::string>>;

// The number of pixels whose values differ between the two kernels; `inside` counts the
// inside pixels of the reference image.
int differingPixels(const FormulaCode& code, const Settings& settings, int& inside) {
    auto record = createRecord(kTypeFormula, 0, RecordCreationContext{});
    record->width = kWidth;
    record->height = kHeight;
    for (const auto& [key, value] : settings) {
        EXPECT_TRUE(setByKey(record->params(), key, value)) << key;
    }
    const PixelMapping mapping = pixelMapping(*record, RasterSize{kWidth, kHeight});
    FormulaPixelKernel one(code, *record);
    FormulaBatchKernel batch(code, *record, mapping);
    int differing = 0;
    int size = 1;
    inside = 0;
    for (int y = 0; y < kHeight; ++y) {
        // Every third column of odd rows, as a later pass leaves them.
        const int stride = y % 2 == 0 ? 1 : 3;
        PixelBatch pixels;
        pixels.row = y;
        for (int x = 0; x < kWidth; x += stride) {
            pixels.columns[static_cast<std::size_t>(pixels.count++)] = x;
            if (pixels.count == size || x + stride >= kWidth) {
                batch(pixels);
                for (int i = 0; i < pixels.count; ++i) {
                    const int column = pixels.columns[static_cast<std::size_t>(i)];
                    const float expected = one(mapping.pointFor(column, y), column, y);
                    const float value = pixels.values[static_cast<std::size_t>(i)];
                    differing += std::memcmp(&expected, &value, sizeof(float)) != 0 ? 1 : 0;
                    inside += expected < 0.0f ? 1 : 0;
                }
                pixels.count = 0;
                size = size % kPixelBatchSize + 1;
            }
        }
    }
    return differing;
}

TEST(FormulaKernels, BatchKernelMatchesOnePixelKernel) {
    const char* formulas[] = {
        "z = pixel: z = z^2 + pixel, |z| <= 4",
        "z = pixel: z = z - (z^3 - 1) / (3*z^2), |z^3 - 1| >= 0.000001",
        "z = pixel: z = z^2 + pixel, |z| <= 4 : real(z) * 40, iter * 3 + lastsqr",
        "z = pixel: z = fn1(z) * pixel + rand / 50, abs(imag(z)) <= 50",
    };
    const Settings area = {{"TopLeftR", "-2.1"},     {"TopLeftI", "1.2"}, {"BottomRightR", "0.9"},
                           {"BottomRightI", "-1.2"}, {"MaxIter", "80"},   {"Bailout", "4"},
                           {"Bailin", "1e-6"}};
    const Settings variants[] = {
        {},
        {{"Inside", "2"}},
        {{"Inside", "5"}, {"TestForFinite", "1"}},
        {{"TestForFormula", "0"}, {"TestForInfinify", "1"}},
        {{"TestForFormula", "0"}, {"TestForInfinify", "1"}, {"TestForCyclus", "1"}},
        {{"TestForFormula", "0"}, {"TestForFinite", "1"}, {"Inside", "3"}},
        {{"Inversion", "1"}, {"fn1", "8"}},
    };
    int insideSeen = 0;
    for (const char* text : formulas) {
        FormulaEntry entry;
        ASSERT_EQ(compileFormula(entry, "f", text, {.silent = true}, nullptr), 0) << text;
        for (const Settings& variant : variants) {
            Settings settings = area;
            settings.insert(settings.end(), variant.begin(), variant.end());
            int inside = 0;
            EXPECT_EQ(differingPixels(entry.code, settings, inside), 0)
                << text << " with " << (variant.empty() ? "defaults" : variant.front().first);
            insideSeen += inside;
        }
    }
    EXPECT_GT(insideSeen, 1000); // both kinds of pixels were compared
}

} // namespace
} // namespace vortimax
