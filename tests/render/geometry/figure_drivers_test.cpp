#include "app/scripted_frontend.h"
#include "model/fractal_view.h"
#include "model/param_text.h"
#include "render/geometry/geometry_drivers.h"
#include "support/view_test_support.h"

#include <gtest/gtest.h>
#include <map>

namespace vortimax {
namespace {

// The default areas at 101 x 100 pixels. L-systems (-5 ... 5 both ways): a pixel is 0.1
// wide and high and the origin is pixel (50, 50).
constexpr int kWidth = 101, kHeight = 100;

// Looks names up in a map of definitions.
template <class Entry> auto lookup(const std::map<std::string, Entry>& library) {
    return [&library](std::string_view name) -> std::optional<Entry> {
        const auto it = library.find(std::string(name));
        return it == library.end() ? std::nullopt : std::optional(it->second);
    };
}

class FigureDriverTest : public ::testing::Test {
protected:
    FigureDriverTest() {
        ifs["Fern"].transforms = parseIfsBody(" 0     0     0     0.16  0  0     0.01\n"
                                              " 0.85  0.04 -0.04  0.85  0  1.6   0.85\n"
                                              " 0.2  -0.26  0.23  0.22  0  1.6   0.07\n"
                                              "-0.15  0.28  0.26  0.24  0  0.44  0.07\n");
        define("Koch1", 6, "F", {{'F', "F+F--F+F"}});
        environment.frontend = &frontend;
        installGeometryDrivers(environment.drivers, environment.hooks, lookup(ifs),
                               lookup(lsystems));
    }
    void define(const std::string& name, double angle, std::string axiom,
                std::vector<LSystemRule> rules) {
        lsystems[name] = LSystemEntry{name, std::move(axiom), angle, std::move(rules)};
    }
    // A fractal of the type with these parameters.
    FractalRecord& make(std::uint32_t type, std::vector<std::pair<const char*, const char*>> set) {
        record = createRecord(type, 0, RecordCreationContext{});
        record->width = kWidth;
        record->height = kHeight;
        for (const auto& [key, value] : set)
            EXPECT_TRUE(setByKey(record->params(), key, value)) << key;
        return *record;
    }
    // Draws the fractal into a view of its own, without a worker; the pixels of the 8-bit
    // image, rows from the bottom.
    std::vector<int> draw(CalculationFailure* failure = nullptr) {
        FractalView view(*record, environment);
        EXPECT_TRUE(allocateBuffers(BufferLayout{kWidth, kHeight, 8}, view.buffers()));
        environment.drivers[record->type](view, 0, 0, kWidth, kHeight - 1);
        if (failure != nullptr)
            *failure = view.failure();
        std::vector<int> pixels;
        for (int y = 0; y < kHeight; ++y)
            pixels.insert(pixels.end(), view.buffers().pixelRow(y),
                          view.buffers().pixelRow(y) + kWidth);
        return pixels;
    }
    // A blank image with the rectangle x0 ... x1 by y0 ... y1 in colour `index`.
    static std::vector<int> box(int x0, int y0, int x1, int y1, int index) {
        std::vector<int> pixels(kWidth * kHeight, 252);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                pixels[static_cast<std::size_t>(y * kWidth + x)] = index;
        return pixels;
    }
    // Opens the fractal, lets it start, pauses it (which must be answered although the
    // work is far from done) and closes it.
    void expectPauseAndClose() {
        ASSERT_EQ(openView(*record, true, environment), 0);
        FractalView& view = *record->view;
        recalculateView(view);
        ASSERT_TRUE(testing::waitFor([&] { return view.progress() > 0.0; }));
        pauseView(view);
        EXPECT_EQ(view.commandWord(), calc::kPaused);
        EXPECT_FALSE(view.finished());
        resumeView(view);
        EXPECT_TRUE(closeView(*record, false, environment));
    }

    std::map<std::string, IfsEntry> ifs;
    std::map<std::string, LSystemEntry> lsystems;
    ScriptedFrontend frontend;
    ViewEnvironment environment;
    std::unique_ptr<FractalRecord> record;
};

// A missing definition clears the image and says why; opening such an IFS is refused.
TEST_F(FigureDriverTest, MissingDefinitionsDrawNothing) {
    CalculationFailure failure;
    make(kTypeLSystem, {{"Formula", "Nope"}});
    EXPECT_EQ(draw(&failure), box(0, 0, -1, -1, 0));
    EXPECT_EQ(failure.reason, "L-system definition \"Nope\" isn't available.");
    make(kTypeIfs, {{"Formula", "Nope"}});
    EXPECT_EQ(draw(&failure), box(0, 0, -1, -1, 0));
    EXPECT_EQ(failure.reason, "IFS definition \"Nope\" isn't available.");
    EXPECT_EQ(openView(*record, true, environment), 1);
    ASSERT_EQ(frontend.messageBoxes().size(), 1u);
    EXPECT_NE(frontend.messageBoxes()[0].text.find("uses formula \"Nope\""), std::string::npos);
}

// The most points MaxIter allows, or 44 million characters of Koch1 at depth 12: the
// command word is still read between short slices.
TEST_F(FigureDriverTest, HugeFiguresStayResponsive) {
    make(kTypeIfs, {{"MaxIter", "2147483647"}});
    expectPauseAndClose();
    make(kTypeLSystem, {{"MaxIter", "12"}});
    expectPauseAndClose();
}

// A redraw (a palette change) draws the figure anew: there are no values to recolour from.
TEST_F(FigureDriverTest, ARedrawDrawsAnew) {
    make(kTypeIfs, {});
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

// One step at depth n is 1 / 2^n long: "F" at depth 0 and "FF", "FFFF", ... deeper cover
// the same pixels right of the origin, in colour trunc(c). The angle divides the full turn
// (4: "+" turns a quarter, counter-clockwise; 0: no turn). Far lines are cut to the image.
TEST_F(FigureDriverTest, DrawsWithTheStepAndTurnOfItsDepthAndAngle) {
    define("Doubling", 4, "C7.9F", {{'F', "FF"}});
    for (const char* depth : {"4", "1", "0"}) { // the record stays at depth 0
        make(kTypeLSystem, {{"Formula", "Doubling"}, {"MaxIter", depth}});
        EXPECT_EQ(draw(), box(50, 50, 60, 50, 7)) << depth;
    }
    define("Doubling", 4, "G+C3F", {});
    EXPECT_EQ(draw(), box(60, 50, 60, 60, 3));
    define("Doubling", 0, "G+C3F", {});
    EXPECT_EQ(draw(), box(60, 50, 70, 50, 3));
    define("Doubling", 4, "@-1000000G@-2F", {}); // ends 10^7 pixels away
    EXPECT_EQ(draw(), box(0, 50, 100, 50, 0));
}

} // namespace
} // namespace vortimax
