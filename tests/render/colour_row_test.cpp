#include "model/fractal_view.h"
#include "model/pass_scheme.h"
#include "model/type_registry.h"
#include "render/colour/colour_row.h"
#include "render/colour/colouring_hooks.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace vortimax {
namespace {

constexpr int kBackground = 252; // what a fresh 8-bit image holds

int grey(int level) {
    return level << 16 | level << 8 | level;
}

// A view without a worker. HSV entry i is the grey 4i (modulo 256), so that interpolated
// colours are easy to name.
struct ViewFixture {
    ViewEnvironment environment;
    std::unique_ptr<FractalRecord> record;
    std::unique_ptr<FractalView> view;

    ViewFixture(int width, int height, int depth, std::uint32_t type = kTypeMandel,
                bool screen8Bit = false)
        : record(createRecord(type, 0, RecordCreationContext{})) {
        record->displayDepth = depth;
        record->trueColourOn8Bit = screen8Bit ? 1 : 0;
        view = std::make_unique<FractalView>(*record, environment);
        EXPECT_TRUE(
            allocateBuffers({width, height, depth, screen8Bit, type == kTypeTieraMandel, false, 24},
                            view->buffers()));
        for (int i = 0; i < 256; ++i)
            view->colours.hsv[i] = {0, 0, static_cast<std::int16_t>((4 * i) & 255)};
    }
    ImageBuffers& buffers() { return view->buffers(); }
    int background() { return record->displayDepth == 8 ? kBackground : 0; }
    // A palette index, or a true colour as the number 0xBBGGRR.
    int pixel(int x, int y) {
        const std::uint8_t* p = buffers().pixelRow(y) + buffers().bytesPerPixel * x;
        return buffers().bytesPerPixel == 1 ? p[0] : p[0] << 16 | p[1] << 8 | p[2];
    }
};

// Halfway between entries 1 and 2, 251 and 0; a quarter from 2 to 3; reserved 252, 253 and
// (held) 255 as they are; hue 350 to 10 through 0 (red), not through the cyan of 180.
TEST(ColourRowTest, IndicesAndInterpolatedTrueColours) {
    const float values[] = {253.5f, 251.5f, 2.25f, -1.0f, -2.5f, 5.5f, -7.0f};
    const int indices[] = {1, 251, 2, 252, 253, 5, 255};
    const int colours[] = {grey(6), grey(150), grey(9), grey(240), grey(244), 0x0000ff, grey(252)};
    for (int depth : {8, 24}) {
        ViewFixture f(7, 3, depth);
        f.view->colours.hsv[251] = {0, 0, 100};
        f.view->colours.hsv[0] = {0, 0, 200};
        f.view->colours.hsv[5] = {350, 255, 255};
        f.view->colours.hsv[6] = {10, 255, 255};
        std::copy(std::begin(values), std::end(values), &f.buffers().value(0, 1));
        colourRow(*f.view, 0, 1, 8, 1);
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(f.pixel(x, 1), depth == 8 ? indices[x] : colours[x]) << depth << ": " << x;
        EXPECT_EQ(f.pixel(0, 0), f.background());
        EXPECT_EQ(f.pixel(0, 2), f.background());
    }
}

// Values at columns 0, 8, 16 of a 20 x 12 image paint 8 x 8 blocks from row 8: the last
// block is cut at column 20 and every block at row 12. The bitmap's padding stays as it was.
TEST(ColourRowTest, BlocksAreClippedAtTheRightAndTop) {
    for (int depth : {8, 24}) {
        ViewFixture f(20, 12, depth);
        for (int x = 0; x <= 20; ++x)
            f.buffers().value(x, 8) = static_cast<float>(x + 2); // 2, 10, 18 at the blocks
        colourRow(*f.view, 0, 8, 21, 8);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < f.buffers().rowLength; ++x) {
                const int index = 2 + 8 * (x / 8);
                const int painted = depth == 8 ? index : grey(4 * index);
                EXPECT_EQ(f.pixel(x, y), y >= 8 && x < 20 ? painted : f.background())
                    << depth << ": " << x << "," << y;
            }
    }
}

TEST(ColourRowTest, OffsetColumnsAndCallsThatDoNotFit) {
    ViewFixture f(16, 4, 8);
    std::fill(f.buffers().values.begin(), f.buffers().values.end(), 7.0f);
    f.buffers().value(6, 0) = 9.0f;
    colourRow(*f.view, 2, 0, 9, 4); // values at 2, 6, 10; blocks cover 2 ... 13
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(f.pixel(x, 3), x < 2 || x >= 14 ? kBackground : (x >= 6 && x < 10 ? 9 : 7));

    const std::vector<std::uint8_t> before = f.buffers().pixels;
    const int misfits[][4] = {{0, -1, 8, 1}, {0, 4, 8, 1}, {-1, 0, 8, 1},
                              {16, 0, 8, 1}, {0, 0, 0, 1}, {0, 0, -5, 1}};
    for (const auto& [x0, row, count, block] : misfits)
        colourRow(*f.view, x0, row, count, block);
    f.record->displayDepth = 24; // the buffers still hold an 8-bit image
    colourRow(*f.view, 0, 0, 8, 1);
    EXPECT_EQ(f.buffers().pixels, before);
    f.record->displayDepth = 8;
    colourRow(*f.view, 15, 0, 1 << 30, 1 << 30); // huge counts and blocks are clipped
    EXPECT_EQ(f.pixel(15, 3), 7);
    EXPECT_EQ(f.pixel(14, 3), kBackground);
    colourRow(*f.view, 0, 1, 1, 0); // block size 0 counts as 1
    EXPECT_EQ(f.pixel(0, 1), 7);
    EXPECT_EQ(f.pixel(1, 1), kBackground);
    FractalView unallocated(*f.record, f.environment);
    colourRow(unallocated, 0, 0, 8, 1);
}

// Without per-channel colouring the sum of the three Tierazon channel values is mapped.
TEST(ColourRowTest, TierazonChannelsAreSummed) {
    ViewFixture f(4, 2, 8, kTypeTieraMandel);
    f.buffers().value(0, 0) = 1.0f;
    std::fill(f.buffers().tierazon1.begin(), f.buffers().tierazon1.end(), 2.0f);
    std::fill(f.buffers().tierazon2.begin(), f.buffers().tierazon2.end(), 3.5f);
    colourRow(*f.view, 0, 0, 1, 1);
    EXPECT_EQ(f.pixel(0, 0), 6);
}

// With Colormode 1 a true-colour image takes red from the first buffer's palette position,
// green from the second's and blue from the third's; an inside pixel keeps the first
// value's (reserved) colour. 8-bit images and Colormode 0 map the sum.
TEST(ColourRowTest, TierazonChannelsColourTheirOwnChannel) {
    for (int depth : {8, 24})
        for (int colourMode : {0, 1}) {
            ViewFixture f(2, 1, depth, kTypeTieraMandel);
            f.record->params().setInteger("Colormode", colourMode);
            f.record->params().setInteger("Colorseparation", 1);
            f.view->colours.hsv[2] = {0, 0, 0x12};
            f.view->colours.hsv[3] = {0, 0, 0x34};
            f.view->colours.hsv[5] = {0, 0, 0x56};
            f.view->colours.hsv[10] = {0, 0, 0x78};
            f.view->colours.hsv[252] = {0, 0, 0x9a};
            f.buffers().value(0, 0) = 2.0f;
            f.buffers().value(1, 0) = -1.0f;
            f.buffers().tierazon1[0] = 3.0f;
            f.buffers().tierazon2[0] = 5.0f;
            f.buffers().tierazon1[1] = 3.0f;
            f.buffers().tierazon2[1] = 5.0f;
            colourRow(*f.view, 0, 0, 2, 1);
            const bool split = depth == 24 && colourMode == 1;
            const int expected = depth == 8 ? 10 : split ? 0x563412 : grey(0x78);
            EXPECT_EQ(f.pixel(0, 0), expected) << depth << " " << colourMode;
            if (split) {
                EXPECT_EQ(f.pixel(1, 0), grey(0x9a));
            }
        }
}

// Colorseparation names the channel each buffer colours: "BRG" puts the first buffer's
// position into blue, the second's into red and the third's into green; numbers beyond
// the list keep "RGB".
TEST(ColourRowTest, TierazonChannelOrder) {
    const std::pair<int, int> cases[] = {
        {5, 0x125634}, {6, 0x123456}, {3, 0x561234}, {1, 0x563412}, {22, 0x563412}};
    for (const auto& [separation, expected] : cases) {
        ViewFixture f(1, 1, 24, kTypeTieraMandel);
        f.record->params().setInteger("Colormode", 1);
        f.record->params().setInteger("Colorseparation", separation);
        f.view->colours.hsv[2] = {0, 0, 0x12};
        f.view->colours.hsv[3] = {0, 0, 0x34};
        f.view->colours.hsv[5] = {0, 0, 0x56};
        f.buffers().value(0, 0) = 2.0f;
        f.buffers().tierazon1[0] = 3.0f;
        f.buffers().tierazon2[0] = 5.0f;
        colourRow(*f.view, 0, 0, 1, 1);
        EXPECT_EQ(f.pixel(0, 0), expected) << separation;
    }
}

// With Colorsource 0 each channel byte is PalStart + PalStep times the buffer's palette
// position, wrapped to 0 ... 255 (positions 2, 3, 5 give red 10 + 4, green 300 - 256,
// blue -1 + 2.5); an inside pixel still takes the reserved palette colour.
TEST(ColourRowTest, TierazonGeneratedRamps) {
    ViewFixture f(2, 1, 24, kTypeTieraMandel);
    const std::pair<const char*, double> settings[] = {
        {"PalStartRed", 10.0}, {"PalStepRed", 2.0},    {"PalStartGreen", 300.0},
        {"PalStepGreen", 0.0}, {"PalStartBlue", -1.0}, {"PalStepBlue", 0.5}};
    for (const auto& [key, value] : settings)
        f.record->params().setReal(key, value);
    f.record->params().setInteger("Colormode", 1);
    f.record->params().setInteger("Colorseparation", 1);
    f.record->params().setInteger("Colorsource", 0);
    f.view->colours.hsv[252] = {0, 0, 0x9a};
    f.buffers().value(0, 0) = 2.0f;
    f.buffers().value(1, 0) = -1.0f;
    f.buffers().tierazon1[0] = 3.0f;
    f.buffers().tierazon2[0] = 5.0f;
    colourRow(*f.view, 0, 0, 2, 1);
    EXPECT_EQ(f.pixel(0, 0), 0x012c0e);
    EXPECT_EQ(f.pixel(1, 0), grey(0x9a));
}

// An inside pixel of a Tierazon type (the black rule's -1, empty channels) takes the
// reserved colour exactly as the plain Mandel image does, at both depths.
TEST(ColourRowTest, TierazonInsideIsDrawnAsInThePlainImage) {
    for (int depth : {8, 24}) {
        ViewFixture plain(2, 1, depth, kTypeMandel);
        ViewFixture tiera(2, 1, depth, kTypeTieraMandel);
        for (ViewFixture* f : {&plain, &tiera}) {
            f->view->colours.hsv[252] = {0, 0, 0};
            f->view->colours.hsv[1] = {0, 0, 77};
            f->buffers().value(0, 0) = -1.0f;
            f->buffers().value(1, 0) = 1.0f;
            colourRow(*f->view, 0, 0, 2, 1);
        }
        EXPECT_EQ(tiera.pixel(0, 0), plain.pixel(0, 0)) << depth;
        EXPECT_EQ(tiera.pixel(0, 0), depth == 8 ? 252 : 0) << depth;
        EXPECT_EQ(tiera.pixel(1, 0), plain.pixel(1, 0)) << depth;
    }
}

// With every entry the cube colour (51, 102, 153), recolouring paints it and the screen
// copy, dithered row by row and again at the end, holds its palette index.
TEST(ColourRowTest, InstalledHooksRecolourAndDitherTheImage) {
    ViewFixture f(12, 6, 24, kTypeMandel, true);
    installColouring(f.environment.hooks);
    f.view->colours.hsv.fill({210, 170, 153});
    std::fill(f.buffers().values.begin(), f.buffers().values.end(), 3.0f);
    ASSERT_TRUE(recolourImage(*f.view));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 12; ++x) {
            ASSERT_EQ(f.pixel(x, y), 153 << 16 | 102 << 8 | 51) << x << "," << y;
            ASSERT_EQ(f.buffers().screen[y * f.buffers().rowLength + x], 36 + 12 + 3);
        }
}

} // namespace
} // namespace vortimax
