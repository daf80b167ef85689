#include "model/fractal_view.h"
#include "model/param_text.h"
#include "render/geometry/geometry_drivers.h"
#include "render/geometry/lsystem_driver.h"
#include "support/view_test_support.h"

#include <gtest/gtest.h>
#include <map>

namespace vortimax {
namespace {

// The default area -5 ... 5 both ways at 101 x 100 pixels: a pixel is 0.1 wide and high,
// and the origin is pixel (50, 50).
constexpr int kWidth = 101, kHeight = 100;

class LSystemDriverTest : public ::testing::Test {
protected:
    LSystemDriverTest() {
        installGeometryDrivers(
            environment.drivers, environment.hooks, [](std::string_view) { return std::nullopt; },
            [this](std::string_view name) -> std::optional<LSystemEntry> {
                auto it = library.find(std::string(name));
                return it == library.end() ? std::nullopt : std::optional(it->second);
            });
        record = createRecord(kTypeLSystem, 0, RecordCreationContext{});
        record->width = kWidth;
        record->height = kHeight;
        define("Koch1", 6, "F", {{'F', "F+F--F+F"}});
    }

    void define(const std::string& name, double angle, std::string axiom,
                std::vector<LSystemRule> rules) {
        LSystemEntry& entry = library[name];
        entry.name = name;
        entry.angle = angle;
        entry.axiom = std::move(axiom);
        entry.rules = std::move(rules);
    }
    void set(std::string_view key, std::string_view value) {
        ASSERT_TRUE(setByKey(record->params(), key, value)) << key;
    }

    // Draws the record into a view of its own, without a worker; returns the pixels of
    // the 8-bit image (rows from the bottom, kWidth each).
    std::vector<int> draw(CalculationFailure* failure = nullptr) {
        FractalView view(*record, environment);
        EXPECT_TRUE(allocateBuffers(BufferLayout{kWidth, kHeight, 8}, view.buffers()));
        environment.drivers[kTypeLSystem](view, 0, 0, kWidth, kHeight - 1);
        if (failure != nullptr)
            *failure = view.failure();
        std::vector<int> pixels;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                pixels.push_back(view.buffers().pixelRow(y)[x]);
        return pixels;
    }
    static std::vector<int> line(int x0, int y0, int x1, int y1, int index) {
        std::vector<int> pixels(kWidth * kHeight, 252);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                pixels[static_cast<std::size_t>(y * kWidth + x)] = index;
        return pixels;
    }

    std::map<std::string, LSystemEntry> library;
    ViewEnvironment environment;
    std::unique_ptr<FractalRecord> record;
};

// One step at depth n is 1 / 2^n long: "F" drawn whole at depth 0 and "FF", "FFFF", ...
// at deeper levels cover the same ten pixels to the right of the origin.
TEST_F(LSystemDriverTest, TheStepHalvesWithEveryLevel) {
    define("Doubling", 4, "C7F", {{'F', "FF"}});
    set("Formula", "Doubling");
    for (const char* depth : {"0", "1", "4"}) {
        set("MaxIter", depth);
        EXPECT_EQ(draw(), line(50, 50, 60, 50, 7)) << depth;
    }
}

// The angle divides the full turn: with 4, "+" turns a quarter, counter-clockwise.
TEST_F(LSystemDriverTest, TheAngleDividesTheFullTurn) {
    define("Corner", 4, "G+C3F", {});
    set("Formula", "Corner");
    set("MaxIter", "0");
    EXPECT_EQ(draw(), line(60, 50, 60, 60, 3));
    define("Corner", 0, "G+C3F", {}); // no division by zero: no turn at all
    EXPECT_EQ(draw(), line(60, 50, 70, 50, 3));
}

// Lines far outside the image are cut to the part inside it, and the image edge is
// reached exactly.
TEST_F(LSystemDriverTest, LinesAreCutAtTheImage) {
    define("Long", 4, "@-1000000G@-2F", {}); // ends 10^7 pixels away
    set("Formula", "Long");
    set("MaxIter", "0");
    EXPECT_EQ(draw(), line(0, 50, 100, 50, 0));
}

TEST_F(LSystemDriverTest, RefusesMissingDefinitionsAndEndlessExpansions) {
    CalculationFailure failure;
    set("MaxIter", "40");
    draw(&failure);
    EXPECT_TRUE(failure.failed);
    EXPECT_EQ(failure.reason, expansionTooLongText("Koch1", 40));
    define("Chain", 4, "X", {{'X', "X"}});
    set("Formula", "Chain");
    set("MaxIter", "2000000000");
    draw(&failure);
    EXPECT_EQ(failure.reason, expansionTooDeepText("Chain", 2000000000));
    set("Formula", "Nope");
    EXPECT_EQ(draw(&failure), line(0, 0, -1, -1, 0)); // cleared, nothing drawn
    EXPECT_EQ(failure.reason, "L-system definition \"Nope\" isn't available.");
}

// 44 million characters at depth 12: pausing and closing are answered at once.
TEST_F(LSystemDriverTest, ALongExpansionStaysResponsive) {
    set("MaxIter", "12");
    ASSERT_EQ(openView(*record, true, environment), 0);
    FractalView& view = *record->view;
    recalculateView(view);
    ASSERT_TRUE(testing::waitFor([&] { return view.progress() > 0.0; }));
    pauseView(view);
    EXPECT_EQ(view.commandWord(), calc::kPaused);
    EXPECT_FALSE(view.finished());
    EXPECT_LT(view.progress(), 1.0);
    resumeView(view);
    EXPECT_TRUE(closeView(*record, false, environment));
}

} // namespace
} // namespace vortimax
