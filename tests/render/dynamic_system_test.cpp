#include "model/fractal_view.h"
#include "model/param_text.h"
#include "model/value_rules.h"
#include "render/drivers.h"
#include "render/dynamics/dynamic_system.h"
#include "render/dynamics/pen_canvas.h"
#include "render/raster/line_drawing.h"
#include "support/view_test_support.h"

#include <cmath>
#include <gtest/gtest.h>
#include <set>
#include <utility>

namespace vortimax {
namespace {

using Pixels = std::set<std::pair<int, int>>;

constexpr std::uint8_t kBackground = 252;
constexpr std::uint8_t kPen = 254;

class DynamicSystemTest : public ::testing::Test {
protected:
    DynamicSystemTest() { installDrivers(environment.drivers); }

    std::unique_ptr<FractalRecord> system(std::uint32_t subtype) {
        auto record = createRecord(kTypeDynamicSystem, subtype, RecordCreationContext{});
        record->width = 96;
        record->height = 72;
        return record;
    }

    static void set(FractalRecord& record, std::string_view key, std::string_view value) {
        ASSERT_TRUE(setByKey(record.params(), key, value)) << key;
    }

    // Runs the driver on a view of the record's size without a worker: the command word
    // stays idle, so the drawing runs to its end.
    FractalView& draw(FractalRecord& record, int depth = 8) {
        views.push_back(std::make_unique<FractalView>(record, environment));
        FractalView& view = *views.back();
        EXPECT_TRUE(allocateBuffers(
            BufferLayout{record.width, record.height, depth, false, false, false, 24},
            view.buffers()));
        view.colours.entries[kPen] = {160, 160, 160, 0};
        environment.drivers[kTypeDynamicSystem](view, 0, 0, record.width, record.height - 1);
        return view;
    }

    // The pixels of an 8-bit picture that are not background.
    static Pixels drawn(const FractalView& view) {
        const ImageBuffers& b = view.buffers();
        Pixels pixels;
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x) {
                const std::uint8_t pixel = b.pixels[static_cast<std::size_t>(y) * b.rowLength + x];
                EXPECT_TRUE(pixel == kBackground || pixel == kPen) << int(pixel);
                if (pixel != kBackground)
                    pixels.insert({x, y});
            }
        return pixels;
    }

    ViewEnvironment environment;
    std::vector<std::unique_ptr<FractalView>> views;
};

// Runs the orbit to its end, at most `most` steps. `sound` tells whether every point it
// reached was finite and every step covered between Delta/2 and 2 Delta of state space.
OrbitStep runOrbit(const DynamicSystemParams& params, long most, long& steps, bool& sound) {
    DynamicOrbit orbit(params);
    steps = 0;
    sound = true;
    Vec3 last = orbit.point();
    for (; steps < most; ++steps) {
        const OrbitStep step = orbit.step();
        if (step != OrbitStep::Moved)
            return step;
        const Vec3 p = orbit.point();
        const double dx = p.x - last.x, dy = p.y - last.y, dz = p.z - last.z;
        const double covered = std::sqrt(dx * dx + dy * dy + dz * dz);
        sound = sound && std::isfinite(covered) && covered >= params.delta / 2 * (1 - 1e-9) &&
                covered <= 2 * params.delta * (1 + 1e-9);
        last = p;
    }
    return OrbitStep::Moved;
}

// Every system ends on the default parameters: the Roessler system runs away on them and
// must end all the same instead of taking ever smaller steps of time for ever.
TEST_F(DynamicSystemTest, EverySystemEndsOnItsDefaultsWithFiniteSteps) {
    for (std::uint32_t subtype = 0; subtype < kFlowCount; ++subtype) {
        const DynamicSystemParams params = readDynamicSystemParams(*system(subtype));
        long steps = 0;
        bool sound = false;
        EXPECT_EQ(runOrbit(params, 10'000'000, steps, sound), OrbitStep::Ended)
            << "system " << subtype;
        EXPECT_TRUE(sound) << "system " << subtype;
        EXPECT_GT(steps, 1000) << "system " << subtype;
    }
}

// Every map draws a picture of its own on its defaults: points, spread over the image,
// not a line of the projection seen edge-on and not a spot outside the area.
TEST_F(DynamicSystemTest, EveryMapDrawsOnItsDefaults) {
    for (std::uint32_t subtype = kFlowCount; subtype < kDynamicSystemCount; ++subtype) {
        auto record = system(subtype);
        EXPECT_EQ(record->params().integer("Drawmode"), 1) << "map " << subtype;
        const Pixels pixels = drawn(draw(*record));
        std::set<int> columns, rows;
        for (const auto& [x, y] : pixels) {
            columns.insert(x);
            rows.insert(y);
        }
        EXPECT_GT(pixels.size(), 150u) << "map " << subtype;
        EXPECT_GT(columns.size(), 20u) << "map " << subtype;
        EXPECT_GT(rows.size(), 15u) << "map " << subtype;
    }
}

// Where the derivative is zero (a resting point) or not a number (the systems that
// divide by x^2 + y^2, on the z axis), the orbit ends at once.
TEST_F(DynamicSystemTest, RestingAndUndefinedPointsEndTheOrbit) {
    DynamicSystemParams params = readDynamicSystemParams(*system(0));
    params.start = {0.0, 0.0, 0.0};
    for (std::uint32_t subtype : {0u, 2u, 3u}) {
        params.system = subtype;
        DynamicOrbit orbit(params);
        EXPECT_EQ(orbit.step(), OrbitStep::Ended) << subtype;
        EXPECT_EQ(orbit.time(), 0.0);
    }
}

TEST_F(DynamicSystemTest, TimeZeroDrawsNothing) {
    for (int depth : {8, 24}) {
        auto record = system(0);
        set(*record, "Time", "0");
        FractalView& view = draw(*record, depth);
        EXPECT_FALSE(view.failure().failed);
        const std::uint8_t background = depth == 8 ? kBackground : 0;
        for (std::uint8_t byte : view.buffers().pixels)
            ASSERT_EQ(byte, background) << depth;
    }
}

// Delta 0 would never advance the time, and a Delta so small that the step cannot move
// it would never reach Time: both are reported instead of running for ever.
TEST_F(DynamicSystemTest, DeltaThatCannotAdvanceTheTimeIsReported) {
    for (std::string_view delta : {"0", "-0.5"}) {
        auto record = system(0);
        set(*record, "Delta", delta);
        const CalculationFailure failure = draw(*record).failure();
        EXPECT_TRUE(failure.failed);
        EXPECT_EQ(failure.reason, refusedValue(kTypeDynamicSystem, "Delta", 0.0));
    }
    EXPECT_TRUE(refusedValue(kTypeDynamicSystem, "Delta", std::nan("")));
    EXPECT_FALSE(refusedValue(kTypeDynamicSystem, "Delta", 1e-300));
    EXPECT_FALSE(refusedValue(kTypeLyapunov, "Delta", 0.0));
    auto tiny = system(0);
    set(*tiny, "Delta", "1e-300");
    const CalculationFailure failure = draw(*tiny).failure();
    EXPECT_TRUE(failure.failed);
    EXPECT_NE(failure.reason.find("Delta is too small"), std::string::npos) << failure.reason;
}

// Lines join the points: every point of the point picture lies on the line picture,
// which has more pixels, and the line picture is connected pixel to pixel.
TEST_F(DynamicSystemTest, LinesJoinThePointsThatPointsModePlots) {
    // Steps of a few pixels each, so that the lines have pixels of their own.
    auto lines = system(0);
    auto points = system(0);
    for (FractalRecord* record : {lines.get(), points.get()})
        set(*record, "Delta", "2");
    set(*points, "Drawmode", "1");
    const Pixels linePixels = drawn(draw(*lines));
    const Pixels pointPixels = drawn(draw(*points));
    ASSERT_GT(pointPixels.size(), 100u);
    EXPECT_GT(linePixels.size(), pointPixels.size());
    for (const auto& pixel : pointPixels)
        EXPECT_TRUE(linePixels.contains(pixel)) << pixel.first << "," << pixel.second;
    // Flood the line picture from one pixel: the Lorenz attractor lies within the image,
    // so one stroke reaches every pixel.
    Pixels reached{*linePixels.begin()};
    std::vector<std::pair<int, int>> open{*linePixels.begin()};
    while (!open.empty()) {
        const auto [x, y] = open.back();
        open.pop_back();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (linePixels.contains({x + dx, y + dy}) &&
                    reached.insert({x + dx, y + dy}).second)
                    open.push_back({x + dx, y + dy});
    }
    EXPECT_EQ(reached.size(), linePixels.size());
}

// Points far outside the image (an orbit passing a long way off) cost a clipped line,
// not a walk over every pixel between them, and the part inside keeps its direction.
TEST(LineDrawing, LinesFromFarOutsideAreClippedToTheImage) {
    ImageBuffers buffers;
    ASSERT_TRUE(allocateBuffers(BufferLayout{40, 30, 8, false, false, false, 24}, buffers));
    PenCanvas canvas(buffers, {kPen, 0, 0});
    canvas.line({-1e15, 5.5}, {1e15, 5.5});
    canvas.line({-1.7e308, -1.7e308}, {1.7e308, 1.7e308}); // too long to compute with
    canvas.line({20.0, -1e9}, {20.0, -2e9});               // wholly outside
    canvas.dot({std::nan(""), 3.0});
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            EXPECT_EQ(buffers.pixelRow(y)[x], y == 5 ? kPen : kBackground) << x << "," << y;
    double ax = -10.0, ay = -10.0, bx = 30.0, by = 30.0;
    ASSERT_TRUE(clipSegment(ax, ay, bx, by, ClipBox{0.0, 0.0, 20.0, 10.0}));
    EXPECT_EQ(std::pair(ax, ay), std::pair(0.0, 0.0));
    EXPECT_EQ(std::pair(bx, by), std::pair(10.0, 10.0));
}

// A redraw (a new palette, say) of a finished dynamic system leaves its drawn picture as
// it is, for there are no values to colour it from; a new display depth draws it anew.
TEST_F(DynamicSystemTest, RedrawKeepsTheDrawnPictureAndANewDepthDrawsItAgain) {
    environment.hooks.applyPalette = [](FractalView& view) {
        view.colours.entries[kPen] = {160, 160, 160, 0};
    };
    auto record = system(0);
    record->displayDepth = 8;
    ASSERT_EQ(openView(*record, false, environment), 0);
    ASSERT_TRUE(testing::settled(*record));
    FractalView& view = *record->view;
    const Pixels before = drawn(view);
    ASSERT_GT(before.size(), 100u);
    view.buffers().pixels[0] = 7; // a mark a new drawing or colouring would wipe
    redrawView(view);
    ASSERT_TRUE(testing::settled(*record));
    EXPECT_EQ(view.buffers().pixels[0], 7);
    view.buffers().pixels[0] = kBackground;
    EXPECT_EQ(drawn(view), before);

    record->displayDepth = 24;
    ASSERT_EQ(relayoutView(*record, environment), 0);
    ASSERT_TRUE(testing::settled(*record));
    int pen = 0;
    for (std::size_t i = 0; i < view.buffers().pixels.size(); i += 3)
        pen += view.buffers().pixels[i] == 160 ? 1 : 0;
    EXPECT_GT(pen, 100);
    closeView(*record, false, environment);
}

// A pause stops a drawing that would take very long; the next calculation draws anew.
TEST_F(DynamicSystemTest, PauseStopsTheDrawing) {
    auto record = system(0);
    set(*record, "Time", "1000000");
    set(*record, "Delta", "0.001");
    ASSERT_EQ(openView(*record, false, environment), 0);
    FractalView& view = *record->view;
    pauseView(view);
    EXPECT_FALSE(view.finished());
    EXPECT_LT(view.progress(), 1.0);
    EXPECT_FALSE(view.failure().failed);
    set(*record, "Time", "10");
    recalculateView(view);
    ASSERT_TRUE(testing::settled(*record));
    EXPECT_FALSE(drawn(view).empty());
    closeView(*record, false, environment);
}

} // namespace
} // namespace vortimax
