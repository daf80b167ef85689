#include "app/scripted_frontend.h"
#include "model/pass_scheme.h"
#include "model/view_undo.h"
#include "render/area/area.h"
#include "render/area/area_commands.h"
#include "support/view_test_support.h"

#include <atomic>
#include <gtest/gtest.h>
#include <tuple>

using namespace vortimax;

namespace {

std::atomic<int> pixelsCalculated{0};

void countingDriver(FractalView& view, int x0, int y0, int x1, int y1) {
    runPasses(view, PassRect{x0, y0, x1, y1}, passCount(3, view.lastJob(), view.passLimit()),
              [](int x, int y) {
                  ++pixelsCalculated;
                  return 1.0f + static_cast<float>(x + 100 * y);
              });
}

// A 64 x 48 Mandel view whose driver counts the pixels it calculates.
class AreaCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        environment.frontend = &frontend;
        environment.drivers[kTypeMandel] = countingDriver;
        environment.defaultWidth = 64;
        environment.defaultHeight = 48;
        ASSERT_EQ(openView(*record, false, environment), 0);
        ASSERT_TRUE(settled());
        pixelsCalculated = 0;
    }
    void TearDown() override { closeView(*record, false, environment); }
    bool settled() { return vortimax::testing::settled(*record); }
    std::string corner(std::string_view key) { return record->params().bigFixed(key).toText(); }

    ScriptedFrontend frontend;
    ViewEnvironment environment;
    std::unique_ptr<FractalRecord> record = createRecord(kTypeMandel, 0, RecordCreationContext{});
};

TEST_F(AreaCommandsTest, ZoomNeedsABoxThenReportsAndRecalculates) {
    EXPECT_FALSE(zoomFractal(*record, true, environment));
    ASSERT_TRUE(settled());
    EXPECT_EQ(pixelsCalculated.load(), 0);
    FractalView& view = *record->view;
    std::tie(view.selectionLeft, view.selectionTop, view.selectionRight, view.selectionBottom) =
        std::tuple(16, 12, 48, 36);
    const std::string before = corner("TopLeftR");
    ASSERT_TRUE(zoomFractal(*record, true, environment));
    ASSERT_TRUE(settled());
    EXPECT_NE(corner("TopLeftR"), before);
    EXPECT_EQ(view.selectionLeft, kNoSelection);
    EXPECT_EQ(frontend.messages().back(), "Zooming in: Mandeltyp 1");
    EXPECT_EQ(pixelsCalculated.load(), 65 * 48);
}

TEST_F(AreaCommandsTest, MoveKeepsTheVisiblePartAndCalculatesOnlyTheStrip) {
    const float kept = record->view->buffers().value(10, 20);
    ASSERT_TRUE(moveFractal(*record, 8, 0, environment));
    ASSERT_TRUE(settled());
    EXPECT_EQ(frontend.messages().back(), "Moving fractal");
    // The uncovered columns on the left plus the spare column of every row.
    EXPECT_EQ(pixelsCalculated.load(), (8 + 1) * 48);
    EXPECT_EQ(record->view->buffers().value(18, 20), kept);
    EXPECT_FALSE(moveFractal(*record, 0, 0, environment));
}

TEST_F(AreaCommandsTest, ProportionalRecordsItsUndoStep) {
    ASSERT_TRUE(proportionalFractal(*record));
    ASSERT_TRUE(settled());
    EXPECT_EQ(undoMenuState(record.get()).undoText, "Undo: Proportional");
    // 64 x 48 keeps the width 2.8 and makes the height 2.1 below the top edge 1.35.
    EXPECT_EQ(corner("BottomRightI"), "-0.75");
}

} // namespace
