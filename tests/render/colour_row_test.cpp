#include "model/fractal_view.h"
#include "model/pass_scheme.h"
#include "model/type_registry.h"
#include "render/colour_row.h"
#include "render/colouring_hooks.h"
#include "render/dither.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace vortimax {
namespace {

constexpr std::uint8_t kBackground = 252; // what a fresh 8-bit image holds

// A view without a worker over a record of the given depth. The palette's HSV entries
// are greys of value 4i (modulo 256) so that interpolated colours are easy to name; the
// 8-bit entries do not matter to the colouring itself.
struct ViewFixture {
    ViewEnvironment environment;
    std::unique_ptr<FractalRecord> record;
    std::unique_ptr<FractalView> view;

    ViewFixture(int width, int height, int depth, std::uint32_t type = kTypeMandel,
                bool screen8Bit = false) {
        record = createRecord(type, 0, RecordCreationContext{});
        record->width = width;
        record->height = height;
        record->displayDepth = depth;
        record->trueColourOn8Bit = screen8Bit ? 1 : 0;
        view = std::make_unique<FractalView>(*record, environment);
        BufferLayout layout{
            width, height, depth, screen8Bit, type == kTypeTieraJulia || type == kTypeTieraMandel,
            false, 24};
        EXPECT_TRUE(allocateBuffers(layout, view->buffers()));
        for (int i = 0; i < 256; ++i)
            view->colours.hsv[i] = {0, 0, static_cast<std::int16_t>((4 * i) & 255)};
    }
    ImageBuffers& buffers() { return view->buffers(); }
    void fillRow(int row, float value) {
        for (int x = 0; x <= buffers().width; ++x)
            buffers().value(x, row) = value;
    }
    std::uint8_t index(int x, int y) { return buffers().pixelRow(y)[x]; }
    // Blue, green and red of a true-colour pixel, as one number 0xBBGGRR.
    int colour(int x, int y) {
        const std::uint8_t* p = buffers().pixelRow(y) + 3 * x;
        return p[0] << 16 | p[1] << 8 | p[2];
    }
};

int grey(int level) {
    return level << 16 | level << 8 | level;
}

TEST(ColourRowTest, EightBitIndices) {
    ViewFixture f(8, 4, 8);
    const float values[] = {253.5f, 251.5f, 1.0f, 0.0f, -1.0f, -2.0f, -7.0f, 5.99f};
    std::copy(std::begin(values), std::end(values), &f.buffers().value(0, 1));
    colourRow(*f.view, 0, 1, 9, 1);
    const std::uint8_t expected[] = {1, 251, 1, 0, 252, 253, 255, 5};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(f.index(x, 1), expected[x]) << "column " << x;
    EXPECT_EQ(f.index(0, 0), kBackground);
    EXPECT_EQ(f.index(0, 2), kBackground);

    f.record->params().setInteger("Inside", 1); // "Magnitude": no reserved colour
    colourRow(*f.view, 0, 1, 9, 1);
    EXPECT_EQ(f.index(4, 1), 1);
    EXPECT_EQ(f.index(6, 1), 7);
}

TEST(ColourRowTest, TrueColourInterpolatesNeighbouringEntries) {
    ViewFixture f(6, 2, 24);
    f.view->colours.hsv[251] = {0, 0, 100};
    f.view->colours.hsv[0] = {0, 0, 200};
    const float values[] = {253.5f, 251.5f, 2.25f, -1.0f, -2.5f, 3.0f};
    std::copy(std::begin(values), std::end(values), &f.buffers().value(0, 0));
    colourRow(*f.view, 0, 0, 6, 1);
    EXPECT_EQ(f.colour(0, 0), grey(6));   // halfway between entries 1 (4) and 2 (8)
    EXPECT_EQ(f.colour(1, 0), grey(150)); // halfway between 251 (100) and 0 (200)
    EXPECT_EQ(f.colour(2, 0), grey(9));   // a quarter from 8 to 12
    EXPECT_EQ(f.colour(3, 0), grey(240)); // the reserved entry 252 as it is
    EXPECT_EQ(f.colour(4, 0), grey(244)); // 253.5: entry 253, not blended with 254
    EXPECT_EQ(f.colour(5, 0), grey(12));
    EXPECT_EQ(f.colour(0, 1), 0); // the row above is untouched
}

TEST(ColourRowTest, HueTakesTheShortWayRound) {
    ViewFixture f(2, 1, 24);
    f.view->colours.hsv[5] = {350, 255, 255};
    f.view->colours.hsv[6] = {10, 255, 255};
    f.buffers().value(0, 0) = 5.5f;
    colourRow(*f.view, 0, 0, 1, 1);
    EXPECT_EQ(f.colour(0, 0), 0x0000ff); // hue 0: red, not the cyan of hue 180
}

TEST(ColourRowTest, SmoothingInTrueColour) {
    ViewFixture f(2, 1, 24);
    f.record->params().setReal("ColorSmoothing", 0.5);
    f.buffers().value(0, 0) = 10.9f; // 10.5: halfway between 40 and 44
    colourRow(*f.view, 0, 0, 2, 1);
    EXPECT_EQ(f.colour(0, 0), grey(42));
}

// Values at columns 0, 8, 16 of a 20 x 12 image paint 8 x 8 blocks from row 8: the last
// block is cut at column 20 and every block at row 12. The spare value column (20) and
// the bitmap's padding stay untouched.
template <typename Pixel, typename Expect>
void checkBlocks(ViewFixture& f, Pixel pixel, Expect expected, decltype(pixel(0, 0)) untouched) {
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < f.buffers().rowLength; ++x) {
            const bool painted = y >= 8 && x < 20;
            EXPECT_EQ(pixel(x, y), painted ? expected(x / 8) : untouched)
                << "pixel " << x << "," << y;
        }
}

TEST(ColourRowTest, BlocksAreClippedAtTheRightAndTop) {
    for (int depth : {8, 24}) {
        ViewFixture f(20, 12, depth);
        for (int x = 0; x <= 20; ++x)
            f.buffers().value(x, 8) = static_cast<float>(x + 2); // 2, 10, 18 at the blocks
        colourRow(*f.view, 0, 8, 21, 8);
        if (depth == 8)
            checkBlocks(
                f, [&](int x, int y) { return static_cast<int>(f.index(x, y)); },
                [](int block) { return 2 + 8 * block; }, static_cast<int>(kBackground));
        else
            checkBlocks(
                f, [&](int x, int y) { return f.colour(x, y); },
                [](int block) { return grey(4 * (2 + 8 * block)); }, 0);
    }
}

TEST(ColourRowTest, PartOfARowWithOffsetColumns) {
    ViewFixture f(16, 4, 8);
    f.fillRow(0, 7.0f);
    f.buffers().value(6, 0) = 9.0f;
    colourRow(*f.view, 2, 0, 9, 4); // values at 2, 6, 10; blocks cover 2 ... 13
    for (int x = 0; x < 16; ++x) {
        const int expected = x < 2 || x >= 14 ? kBackground : (x >= 6 && x < 10 ? 9 : 7);
        EXPECT_EQ(f.index(x, 0), expected) << "column " << x;
        EXPECT_EQ(f.index(x, 3), expected) << "column " << x;
    }
}

TEST(ColourRowTest, CallsThatDoNotFitPaintNothing) {
    ViewFixture f(8, 4, 8);
    for (int y = 0; y < 4; ++y)
        f.fillRow(y, 3.0f);
    const std::vector<std::uint8_t> before = f.buffers().pixels;
    colourRow(*f.view, 0, -1, 8, 1);
    colourRow(*f.view, 0, 4, 8, 1);
    colourRow(*f.view, -1, 0, 8, 1);
    colourRow(*f.view, 8, 0, 8, 1);
    colourRow(*f.view, 0, 0, 0, 1);
    colourRow(*f.view, 0, 0, -5, 1);
    f.record->displayDepth = 24; // the buffers still hold an 8-bit image
    colourRow(*f.view, 0, 0, 8, 1);
    EXPECT_EQ(f.buffers().pixels, before);

    f.record->displayDepth = 8;
    colourRow(*f.view, 5, 0, 1 << 30, 1 << 30); // huge counts and blocks are clipped
    EXPECT_EQ(f.index(4, 0), kBackground);
    EXPECT_EQ(f.index(7, 3), 3);
    colourRow(*f.view, 0, 1, 1, 0); // block size 0 counts as 1
    EXPECT_EQ(f.index(0, 1), 3);
    EXPECT_EQ(f.index(1, 1), kBackground);

    FractalView unallocated(*f.record, f.environment);
    colourRow(unallocated, 0, 0, 8, 1);
}

// The Tierazon types keep three channel values; without per-channel colouring their sum
// is mapped.
TEST(ColourRowTest, TierazonChannelsAreSummed) {
    ViewFixture f(4, 2, 8, kTypeTieraMandel);
    f.fillRow(0, 1.0f);
    std::fill(f.buffers().tierazon1.begin(), f.buffers().tierazon1.end(), 2.0f);
    std::fill(f.buffers().tierazon2.begin(), f.buffers().tierazon2.end(), 3.5f);
    colourRow(*f.view, 0, 0, 4, 1);
    EXPECT_EQ(f.index(0, 0), 6);
}

TEST(ColourRowTest, InstalledHooksRecolourAndDitherTheImage) {
    ViewFixture f(12, 6, 24, kTypeMandel, true);
    installColouring(f.environment.hooks);
    ASSERT_TRUE(f.environment.hooks.colourRow && f.environment.hooks.reduceToPalette);
    for (int i = 0; i < 256; ++i) // every entry the cube colour (51, 102, 153)
        f.view->colours.hsv[i] = {210, 170, 153};
    for (int y = 0; y < 6; ++y)
        f.fillRow(y, static_cast<float>(y + 1));
    ASSERT_TRUE(recolourImage(*f.view));
    const int cube = 36 * 1 + 6 * 2 + 3; // (51, 102, 153)
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 12; ++x) {
            ASSERT_EQ(f.colour(x, y), 153 << 16 | 102 << 8 | 51) << x << "," << y;
            ASSERT_EQ(f.buffers().screen[y * f.buffers().rowLength + x], cube) << x << "," << y;
        }
}

} // namespace
} // namespace vortimax
