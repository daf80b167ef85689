#include "model/fractal_view.h"
#include "model/type_registry.h"
#include "render/dither.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace vortimax {
namespace {

constexpr int kWidth = 16;

TEST(DitherTest, FixedPalette) {
    struct Entry {
        std::size_t index;
        DitherColour colour;
    };
    const Entry entries[] = {
        {0, {0, 0, 0}},         {1, {0, 0, 51}},        {6, {0, 51, 0}},     {36, {51, 0, 0}},
        {101, {102, 204, 255}}, {215, {255, 255, 255}}, {216, {25, 25, 25}}, {220, {229, 229, 229}},
        {221, {0, 25, 0}},      {225, {0, 229, 0}},     {226, {25, 0, 0}},   {230, {229, 0, 0}},
        {231, {0, 0, 25}},      {235, {0, 0, 229}},     {236, {0, 0, 0}},    {255, {0, 0, 0}},
    };
    for (const Entry& e : entries)
        EXPECT_EQ(ditherPalette()[e.index], e.colour) << "entry " << e.index;
}

TEST(DitherTest, NearestColours) {
    const auto& p = ditherPalette();
    for (int i = 0; i < 216; ++i)
        EXPECT_EQ(nearestColour(p[i].red, p[i].green, p[i].blue), i) << "cube entry " << i;
    EXPECT_EQ(nearestColour(127, 127, 127), 218);
    EXPECT_EQ(nearestColour(0, 178, 0), 224);
    EXPECT_EQ(nearestColour(229, 0, 0), 230);
    EXPECT_EQ(nearestColour(0, 0, 25), 231);
    EXPECT_EQ(nearestColour(200, 10, 90), 36 * 4 + 0 + 2); // (204, 0, 102)
    for (int index : nearestColourTable())
        EXPECT_LT(index, 236); // the trailing blacks repeat entry 0
}

TEST(DitherTest, MiddleRowStartsTheUpwardFlow) {
    EXPECT_EQ(flowForRow(0, 8), DitherFlow::Downward);
    EXPECT_EQ(flowForRow(3, 8), DitherFlow::Downward);
    EXPECT_EQ(flowForRow(4, 8), DitherFlow::Upward);
    EXPECT_EQ(flowForRow(2, 5), DitherFlow::Upward);
    EXPECT_EQ(flowForRow(1, 5), DitherFlow::Downward);
}

// A row of one grey far from every palette colour, so that errors change the choices.
std::vector<std::uint8_t> greyRow(std::uint8_t level) {
    return std::vector<std::uint8_t>(3 * kWidth, level);
}

struct RowRun {
    int row;
    DitherFlow flow;
};

// Dithers the pixels as each of the rows in turn; returns the indices of the last.
std::vector<std::uint8_t> ditherInTurn(std::initializer_list<RowRun> runs,
                                       const std::vector<std::uint8_t>& pixels = greyRow(38)) {
    std::vector<std::uint8_t> storage;
    Ditherer ditherer(storage, kWidth);
    std::vector<std::uint8_t> indices(kWidth);
    for (const RowRun& run : runs)
        ditherer.ditherRow(pixels.data(), indices.data(), run.row, run.flow);
    return indices;
}

TEST(DitherTest, ErrorsFlowAwayFromTheMiddle) {
    using enum DitherFlow;
    const auto fresh = ditherInTurn({{4, Downward}});
    ASSERT_EQ(fresh, ditherInTurn({{4, Upward}}));

    const auto carriedDown = ditherInTurn({{5, Downward}, {4, Downward}});
    EXPECT_NE(carriedDown, fresh);
    EXPECT_EQ(ditherInTurn({{3, Downward}, {4, Downward}}), fresh); // against the flow
    EXPECT_EQ(ditherInTurn({{6, Downward}, {4, Downward}}), fresh); // not a neighbour

    const auto carriedUp = ditherInTurn({{3, Upward}, {4, Upward}});
    EXPECT_EQ(carriedUp, carriedDown);
    EXPECT_EQ(ditherInTurn({{5, Upward}, {4, Upward}}), fresh);

    // The two sets keep their errors apart.
    EXPECT_EQ(ditherInTurn({{5, Downward}, {9, Upward}, {10, Upward}, {4, Downward}}), carriedDown);
    EXPECT_EQ(ditherInTurn({{3, Upward}, {2, Downward}, {4, Upward}}), carriedUp);
}

struct ScreenFixture {
    ViewEnvironment environment;
    std::unique_ptr<FractalRecord> record;
    std::unique_ptr<FractalView> view;

    ScreenFixture(int width, int height) {
        record = createRecord(kTypeMandel, 0, RecordCreationContext{});
        record->displayDepth = 24;
        record->trueColourOn8Bit = 1;
        view = std::make_unique<FractalView>(*record, environment);
        EXPECT_TRUE(allocateBuffers(BufferLayout{width, height, 24, true, false, false, 8},
                                    view->buffers()));
    }
    ImageBuffers& b() { return view->buffers(); }
    void fill(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
        for (int y = 0; y < b().height; ++y)
            for (int x = 0; x < b().width; ++x) {
                std::uint8_t* p = b().pixelRow(y) + 3 * x;
                p[0] = blue, p[1] = green, p[2] = red;
            }
    }
    std::vector<std::uint8_t> screenRow(int y) {
        const auto* first = b().screen.data() + static_cast<std::size_t>(y) * b().rowLength;
        return {first, first + b().width};
    }
};

TEST(DitherTest, PaletteColoursPassUnchanged) {
    ScreenFixture f(kWidth, 8);
    f.fill(153, 102, 51);
    ditherImage(*f.view);
    for (int y = 0; y < 8; ++y)
        EXPECT_EQ(f.screenRow(y), std::vector<std::uint8_t>(kWidth, 36 + 12 + 3)) << "row " << y;
}

// The sweep starts fresh at the top row and carries errors down; on average the chosen
// colours match the image.
TEST(DitherTest, SweepPreservesTheMeanColour) {
    ScreenFixture f(kWidth, 64);
    f.fill(38, 90, 140);
    ditherImage(*f.view);
    std::vector<std::uint8_t> row;
    for (int x = 0; x < kWidth; ++x)
        row.insert(row.end(), {38, 90, 140});
    EXPECT_EQ(f.screenRow(63), ditherInTurn({{63, DitherFlow::Downward}}, row));
    EXPECT_NE(f.screenRow(62), f.screenRow(63));
    double sum[3] = {0, 0, 0};
    for (int y = 0; y < 64; ++y)
        for (std::uint8_t index : f.screenRow(y)) {
            const DitherColour& c = ditherPalette()[index];
            sum[0] += c.red, sum[1] += c.green, sum[2] += c.blue;
        }
    const double pixels = 64.0 * kWidth;
    EXPECT_NEAR(sum[0] / pixels, 140.0, 1.5);
    EXPECT_NEAR(sum[1] / pixels, 90.0, 1.5);
    EXPECT_NEAR(sum[2] / pixels, 38.0, 1.5);
}

TEST(DitherTest, ViewsWithoutAScreenCopyAreLeftAlone) {
    ViewEnvironment environment;
    auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
    FractalView view(*record, environment);
    ASSERT_TRUE(allocateBuffers(BufferLayout{8, 4, 24, false, false, false, 24}, view.buffers()));
    ditherImage(view);
    ditherRow(view, 0, DitherFlow::Upward);
    ditherRows(view, -3, 100);
    EXPECT_TRUE(view.buffers().screen.empty());
    EXPECT_TRUE(view.buffers().ditherRows.empty());
}

} // namespace
} // namespace vortimax
