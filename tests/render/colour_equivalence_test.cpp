// The optimised colouring against the plain one-value-at-a-time colouring of
// colour_reference.cpp: every pixel of 8-bit, true-colour and dithered images must agree.

#include "colour_reference.h"
#include "model/pass_scheme.h"
#include "render/colour/colour_row.h"
#include "render/colour/colouring_hooks.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <random>

namespace vortimax {
namespace {

struct Settings {
    int depth = 8;
    int mode = 0;
    double smoothing = 0.0;
    int inside = 0; // 0: "Black", reserved colours for Mandel
    bool screen8Bit = false;
    std::uint32_t type = kTypeMandel;
};

// Values that exercise every branch of the mapping: runs of iteration counts, fractions,
// inside values down to the held reserved colour, zeros of both signs, non-finite and huge
// numbers.
float randomValue(std::mt19937& random) {
    constexpr float kSpecial[] = {0.0f,
                                  -0.0f,
                                  -1.0f,
                                  -2.5f,
                                  -7.0f,
                                  251.5f,
                                  1e30f,
                                  -1e30f,
                                  std::numeric_limits<float>::infinity(),
                                  std::numeric_limits<float>::quiet_NaN()};
    const int kind = static_cast<int>(random() % 8);
    if (kind == 0)
        return kSpecial[random() % std::size(kSpecial)];
    if (kind < 4)
        return static_cast<float>(random() % 600);
    return std::ldexp(static_cast<float>(random() % 100000) - 20000.0f,
                      -static_cast<int>(random() % 12));
}

// Two identical views, one for each colouring.
struct Pair {
    ViewEnvironment environment;
    std::unique_ptr<FractalRecord> record;
    std::unique_ptr<FractalView> fast, plain;
    reference::Colourer colourer;

    Pair(const Settings& s, int width, int height, unsigned seed)
        : record(createRecord(s.type, 0, RecordCreationContext{})) {
        record->displayDepth = s.depth;
        record->trueColourOn8Bit = s.screen8Bit ? 1 : 0;
        record->params().setInteger("ColormodeType", s.mode);
        record->params().setReal("ColormodeSpeed", 1.7);
        record->params().setReal("ColormodeAccel", 5.0);
        record->params().setReal("ColorSmoothing", s.smoothing);
        if (s.type == kTypeMandel)
            record->params().setInteger("Inside", s.inside);
        installColouring(environment.hooks);
        std::mt19937 random(seed);
        for (auto* view : {&fast, &plain}) {
            *view = std::make_unique<FractalView>(*record, environment);
            const BufferLayout layout{
                width, height, s.depth, s.screen8Bit, s.type == kTypeTieraMandel, false, 24};
            EXPECT_TRUE(allocateBuffers(layout, (*view)->buffers()));
        }
        fillPalette(random);
        for (auto* values : valueBuffers())
            for (std::size_t i = 0; i < values->size(); ++i) // with runs of equal values
                (*values)[i] = i > 0 && random() % 3 == 0 ? (*values)[i - 1] : randomValue(random);
        copyToPlain();
    }

    // Mostly smooth HSV entries, with some out of their ranges.
    void fillPalette(std::mt19937& random) {
        for (auto& entry : fast->colours.hsv) {
            entry = {static_cast<std::int16_t>(random() % 360),
                     static_cast<std::int16_t>(random() % 257),
                     static_cast<std::int16_t>(random() % 256)};
            if (random() % 16 == 0)
                entry = {static_cast<std::int16_t>(static_cast<int>(random() % 900) - 300),
                         static_cast<std::int16_t>(static_cast<int>(random() % 600) - 100),
                         static_cast<std::int16_t>(static_cast<int>(random() % 600) - 100)};
        }
    }
    std::vector<std::vector<float>*> valueBuffers() {
        ImageBuffers& b = fast->buffers();
        return {&b.values, &b.tierazon1, &b.tierazon2};
    }
    void copyToPlain() {
        plain->colours = fast->colours;
        plain->buffers().values = fast->buffers().values;
        plain->buffers().tierazon1 = fast->buffers().tierazon1;
        plain->buffers().tierazon2 = fast->buffers().tierazon2;
    }
    void colourRow(int x0, int row, int count, int block) {
        vortimax::colourRow(*fast, x0, row, count, block);
        colourer.colourRow(*plain, x0, row, count, block);
    }
    void expectSame(const char* what) {
        ASSERT_EQ(fast->buffers().pixels, plain->buffers().pixels) << what;
        ASSERT_EQ(fast->buffers().screen, plain->buffers().screen) << what;
    }
};

// The passes of a calculation: blocks of 8, 4, 2 and 1 in the middle-out row order.
void colourPasses(Pair& pair, int width, int height) {
    for (int step : {8, 4, 2, 1})
        for (int row : passRowOrder(PassRect{0, 0, width, height - 1}, step))
            pair.colourRow(0, row, width + 1, step);
}

TEST(ColourEquivalenceTest, RowsAndBlocksMatchThePlainColouring) {
    constexpr int kWidth = 61, kHeight = 23;
    unsigned seed = 1;
    for (int depth : {8, 24})
        for (int mode = 0; mode <= 5; ++mode)
            for (double smoothing : {0.0, 0.3})
                for (int inside : {0, 1}) {
                    Pair pair({depth, mode, smoothing, inside}, kWidth, kHeight, ++seed);
                    colourPasses(pair, kWidth, kHeight);
                    pair.colourRow(5, 3, 17, 3); // an offset run of clipped blocks
                    pair.colourRow(40, 20, 100, 7);
                    SCOPED_TRACE(testing::Message()
                                 << "depth " << depth << ", mode " << mode << ", smoothing "
                                 << smoothing << ", inside " << inside);
                    pair.expectSame("passes");
                }
}

TEST(ColourEquivalenceTest, RecolouringMatchesThePlainColouring) {
    constexpr int kWidth = 97, kHeight = 40;
    const Settings cases[] = {{8, 0},
                              {8, 1},
                              {24, 0},
                              {24, 2, 0.5},
                              {24, 3, 0.0, 1},
                              {8, 0, 0.0, 0, false, kTypeTieraMandel},
                              {24, 1, 0.0, 0, false, kTypeTieraMandel}};
    unsigned seed = 100;
    for (const Settings& s : cases) {
        Pair pair(s, kWidth, kHeight, ++seed);
        ASSERT_TRUE(recolourImage(*pair.fast));
        pair.colourer.recolour(*pair.plain);
        SCOPED_TRACE(testing::Message() << "depth " << s.depth << ", mode " << s.mode);
        pair.expectSame("recolour");
    }
}

// A true-colour image on an 8-bit screen: rows are dithered as the passes paint them, the
// image again after the passes, and again when it is recoloured.
TEST(ColourEquivalenceTest, DitheredScreenMatchesThePlainColouring) {
    constexpr int kWidth = 83, kHeight = 31;
    for (int mode : {0, 2}) {
        Pair pair({24, mode, 0.0, 0, true}, kWidth, kHeight, 7u + mode);
        colourPasses(pair, kWidth, kHeight);
        pair.expectSame("passes");
        ASSERT_TRUE(recolourImage(*pair.fast));
        pair.colourer.recolour(*pair.plain);
        pair.expectSame("recolour");
        pair.colourRow(0, kHeight / 2 + 1, kWidth, 1); // a row that follows the last one
        pair.colourRow(0, kHeight / 2 + 2, kWidth, 1);
        pair.expectSame("rows after the recolour");
    }
}

} // namespace
} // namespace vortimax
