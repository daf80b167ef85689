#include "relief_fixture.h"
#include "render/colour/colour_row.h"
#include "render/filters/image_filter.h"

#include <gtest/gtest.h>
#include <vector>

namespace vortimax {
namespace {

// A true-colour picture of its own, every channel of pixel (x, y) from `level`.
struct Picture {
    int width, height, rowLength;
    std::vector<std::uint8_t> bytes;
    template <typename F>
    Picture(int w, int h, F level) : width(w), height(h), rowLength(w + 3), bytes() {
        bytes.assign(static_cast<std::size_t>(rowLength) * h * 3, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c)
                    at(x, y)[c] = static_cast<std::uint8_t>(level(x, y) + c);
    }
    std::uint8_t* at(int x, int y) {
        return bytes.data() + (static_cast<std::size_t>(y) * rowLength + x) * 3;
    }
    BgrImage image() { return {bytes.data(), width, height, rowLength}; }
    int blue(int x, int y) { return at(x, y)[0]; }
};

void filter(Picture& p, int number) {
    convolve(p.image(), *convolutionKernel(number), {});
}

// Kernels whose weights sum to their divisor keep a uniform picture, borders included;
// the edge kernels (sum 0) turn it black.
TEST(ImageFilter, UniformPictures) {
    for (int number = kFilterEdges; number <= kFilterEnhance; ++number) {
        Picture p(5, 4, [](int, int) { return 90; });
        filter(p, number);
        const bool keeps = number == kFilterSmooth || number == kFilterEnhance;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x)
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(p.at(x, y)[c], keeps ? 90 + c : 0) << number << ' ' << x << ',' << y;
    }
    EXPECT_FALSE(convolutionKernel(kFilterOriginal));
    EXPECT_FALSE(convolutionKernel(kFilterAntiAlias));
}

TEST(ImageFilter, EdgeDetectionOfOneBrightPixel) {
    Picture p(5, 5, [](int x, int y) { return x == 2 && y == 2 ? 120 : 0; });
    filter(p, kFilterEdges);
    EXPECT_EQ(p.blue(2, 2), 160); // 8/6 of 120
    EXPECT_EQ(p.blue(1, 2), 0);   // held at 0, not wrapped
    EXPECT_EQ(p.blue(0, 0), 0);
    Picture bright(3, 3, [](int x, int y) { return x == 1 && y == 1 ? 250 : 0; });
    filter(bright, kFilterEdges);
    EXPECT_EQ(bright.blue(1, 1), 255);
}

// A dark lower half under a bright upper half: the horizontal kernel lights the first
// bright row only, the vertical one sees no edge.
TEST(ImageFilter, DirectionalKernelsFollowTheirAxis) {
    auto halves = [](int, int y) { return y >= 3 ? 100 : 0; };
    Picture horizontal(4, 6, halves);
    filter(horizontal, kFilterEdgesHorizontal);
    for (int y = 0; y < 6; ++y)
        EXPECT_EQ(horizontal.blue(1, y), y == 3 ? 255 : 0) << y;
    Picture vertical(4, 6, halves);
    filter(vertical, kFilterEdgesVertical);
    for (int y = 0; y < 6; ++y)
        EXPECT_EQ(vertical.blue(2, y), 0) << y;
    // Turned a quarter: the vertical kernel lights the first bright column.
    Picture columns(6, 4, [](int x, int) { return x >= 2 ? 100 : 0; });
    filter(columns, kFilterEdgesVertical);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(columns.blue(x, 1), x == 2 ? 255 : 0) << x;
}

TEST(ImageFilter, AStopEndsAfterTheRow) {
    Picture p(3, 3, [](int, int) { return 50; });
    int rows = 0;
    convolve(p.image(), *convolutionKernel(kFilterEdges), [&](int) { return ++rows < 1; });
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(p.blue(1, 0), 0);
    EXPECT_EQ(p.blue(1, 1), 50);
}

TEST(AntiAlias, SizeSamplesAndWeights) {
    EXPECT_EQ(antiAliasSize(320, 256).width, 160);
    EXPECT_EQ(antiAliasSize(320, 256).height, 128);
    EXPECT_EQ(antiAliasSize(100, 7).width, 52);
    EXPECT_EQ(antiAliasSize(100, 7).height, 3);

    Picture uniform(8, 8, [](int, int) { return 70; });
    Picture child(4, 4, [](int, int) { return 9; });
    antiAliasInto(uniform.image(), child.image(), nullptr, nullptr, {});
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(child.blue(x, y), 70) << x << ',' << y;
        EXPECT_EQ(child.blue(3, y), 9); // its sample would touch the last column
    }

    // A bright pixel at sample point (3, 3) gives 40 % to child (1, 1), 10 % beside.
    Picture spot(8, 8, [](int x, int y) { return x == 3 && y == 3 ? 200 : 0; });
    std::vector<float> values(9 * 8, 0.0f), childValues(5 * 4, 0.0f);
    values[3 * 9 + 3] = 17.5f;
    antiAliasInto(spot.image(), child.image(), values.data(), childValues.data(), {});
    EXPECT_EQ(child.blue(1, 1), 80);
    EXPECT_EQ(child.blue(2, 1), 0);
    EXPECT_EQ(childValues[1 * 5 + 1], 17.5f);
    // Between two samples a pixel gives each 10 %, diagonally 5 %.
    Picture beside(8, 8, [](int x, int y) { return x == 4 && y == 3 ? 200 : 0; });
    antiAliasInto(beside.image(), child.image(), nullptr, nullptr, {});
    EXPECT_EQ(child.blue(1, 1), 20);
    EXPECT_EQ(child.blue(2, 1), 20);
    Picture diagonal(8, 8, [](int x, int y) { return x == 4 && y == 4 ? 200 : 0; });
    antiAliasInto(diagonal.image(), child.image(), nullptr, nullptr, {});
    EXPECT_EQ(child.blue(1, 1), 10);
    EXPECT_EQ(child.blue(2, 2), 10);
}

// "Original" after a filter gives back the colours of the values, without an orbit.
TEST(ImageFilter, OriginalRestoresTheColoursFromTheValues) {
    test::ReliefView v(12, 9, false);
    v.setValues([](int x, int y) { return 1.0 + x * 3 + y * 7; });
    for (int y = 0; y < 9; ++y)
        colourRow(*v.view, 0, y, 12, 1);
    const std::vector<std::uint8_t> original = v.buffers().pixels;
    const std::vector<float> values = v.buffers().values;
    v.record->imageFilter = kFilterEdges;
    applyImageFilter(*v.view);
    EXPECT_NE(v.buffers().pixels, original);
    EXPECT_EQ(v.view->appliedFilter, kFilterEdges);
    v.record->imageFilter = kFilterSmooth; // from the original, not the edges
    applyImageFilter(*v.view);
    const std::vector<std::uint8_t> smoothed = v.buffers().pixels;
    v.record->imageFilter = kFilterOriginal;
    applyImageFilter(*v.view);
    EXPECT_EQ(v.buffers().pixels, original);
    EXPECT_EQ(v.buffers().values, values);
    v.record->imageFilter = kFilterSmooth;
    applyImageFilter(*v.view);
    EXPECT_EQ(v.buffers().pixels, smoothed);
}

} // namespace
} // namespace vortimax
