#include "app/scripted_frontend.h"
#include "model/fractal_view.h"
#include "model/param_text.h"
#include "render/geometry/geometry_drivers.h"
#include "support/view_test_support.h"

#include <gtest/gtest.h>
#include <map>

namespace vortimax {
namespace {

// The fern of four maps and a plane that it fills: 0.5 x + 0.5 y both ways never leaves
// the square.
constexpr std::string_view kFern = " 0     0     0     0.16  0  0     0.01\n"
                                   " 0.85  0.04 -0.04  0.85  0  1.6   0.85\n"
                                   " 0.2  -0.26  0.23  0.22  0  1.6   0.07\n"
                                   "-0.15  0.28  0.26  0.24  0  0.44  0.07\n";

class IfsDriverTest : public ::testing::Test {
protected:
    IfsDriverTest() {
        library["Fern"].transforms = parseIfsBody(kFern);
        environment.frontend = &frontend;
        installGeometryDrivers(
            environment.drivers, environment.hooks,
            [this](std::string_view name) -> std::optional<IfsEntry> {
                auto it = library.find(std::string(name));
                return it == library.end() ? std::nullopt : std::optional(it->second);
            },
            [](std::string_view) { return std::nullopt; });
        record = createRecord(kTypeIfs, 0, RecordCreationContext{});
        record->width = 80;
        record->height = 96;
    }

    void set(std::string_view key, std::string_view value) {
        ASSERT_TRUE(setByKey(record->params(), key, value)) << key;
    }

    // Draws the record into a view of its own without a worker.
    ImageBuffers draw(CalculationFailure* failure = nullptr) {
        FractalView view(*record, environment);
        EXPECT_TRUE(
            allocateBuffers(BufferLayout{record->width, record->height, 8}, view.buffers()));
        std::fill(view.buffers().pixels.begin(), view.buffers().pixels.end(), 3);
        environment.drivers[kTypeIfs](view, 0, 0, record->width, record->height - 1);
        if (failure != nullptr)
            *failure = view.failure();
        return view.buffers();
    }

    static int countOf(const ImageBuffers& image, int index) {
        return static_cast<int>(std::count(image.pixels.begin(), image.pixels.end(), index));
    }

    std::map<std::string, IfsEntry> library;
    ScriptedFrontend frontend;
    ViewEnvironment environment;
    std::unique_ptr<FractalRecord> record;
};

// The default IFS fractal draws the fern within its area -5 ... 5 by -1 ... 11: plenty
// of points, none in the bottom rows below the stem or beyond the leaves' reach.
TEST_F(IfsDriverTest, DrawsTheFernIntoItsArea) {
    const ImageBuffers image = draw();
    const int background = countOf(image, 252);
    EXPECT_GT(image.pixels.size() - background, 1000u);
    for (int y = 0; y < 7; ++y) // y < 0 is below the stem's foot
        for (int x = 0; x < record->width; ++x)
            EXPECT_EQ(image.pixels[static_cast<std::size_t>(y) * image.rowLength + x], 252);
    // Density colouring: the most visited pixels are visited many times.
    EXPECT_GT(*std::max_element(image.values.begin(), image.values.end()), 5.0f);
}

TEST_F(IfsDriverTest, AltersItsPictureWithAlphaBetaAndTheArea) {
    const ImageBuffers plain = draw();
    set("Alpha", "30");
    const ImageBuffers turned = draw();
    EXPECT_NE(turned.pixels, plain.pixels);
    set("Alpha", "0");
    EXPECT_EQ(draw().pixels, plain.pixels);
    set("Angle", "90");
    EXPECT_NE(draw().pixels, plain.pixels);
}

TEST_F(IfsDriverTest, GreyColouringUsesTheGreyEntryOnly) {
    set("Colormode", "0");
    const ImageBuffers image = draw();
    EXPECT_EQ(countOf(image, 252) + countOf(image, 254), static_cast<int>(image.pixels.size()));
    EXPECT_GT(countOf(image, 254), 1000);
    EXPECT_EQ(*std::max_element(image.values.begin(), image.values.end()), 0.0f);
}

// A missing definition clears the image and says why; opening such a fractal is refused.
TEST_F(IfsDriverTest, AMissingDefinitionDrawsNothing) {
    set("Formula", "Nope");
    CalculationFailure failure;
    const ImageBuffers image = draw(&failure);
    EXPECT_TRUE(failure.failed);
    EXPECT_EQ(failure.reason, "IFS definition \"Nope\" isn't available.");
    EXPECT_EQ(countOf(image, 252), static_cast<int>(image.pixels.size()));
    EXPECT_EQ(openView(*record, true, environment), 1);
    ASSERT_EQ(frontend.messageBoxes().size(), 1u);
    EXPECT_NE(frontend.messageBoxes()[0].text.find("uses formula \"Nope\""), std::string::npos);
}

// With the most points MaxIter allows, the drawing still pauses, resumes and closes at a
// word: the command word is read between short slices.
TEST_F(IfsDriverTest, AHugePointCountStaysResponsive) {
    set("MaxIter", "2147483647");
    ASSERT_EQ(openView(*record, true, environment), 0);
    FractalView& view = *record->view;
    recalculateView(view);
    ASSERT_TRUE(testing::waitFor([&] { return view.progress() > 0.0; }));
    pauseView(view);
    EXPECT_EQ(view.commandWord(), calc::kPaused);
    EXPECT_FALSE(view.finished());
    resumeView(view);
    ASSERT_TRUE(testing::waitFor([&] { return view.progress() > 0.0; }));
    EXPECT_TRUE(closeView(*record, false, environment));
}

// A redraw (a palette change) draws the figure anew: there are no values to recolour from.
TEST_F(IfsDriverTest, ARedrawDrawsAnew) {
    ASSERT_EQ(openView(*record, true, environment), 0);
    FractalView& view = *record->view;
    recalculateView(view);
    ASSERT_TRUE(testing::settled(*record));
    const std::vector<std::uint8_t> drawn = view.buffers().pixels;
    pauseView(view);
    std::fill(view.buffers().pixels.begin(), view.buffers().pixels.end(), 3);
    view.buffers().value(0, 0) = 1.0f; // as if the density had reached the corner
    redrawView(view);
    ASSERT_TRUE(testing::settled(*record));
    EXPECT_EQ(view.buffers().pixels, drawn);
    closeView(*record, false, environment);
}

} // namespace
} // namespace vortimax
