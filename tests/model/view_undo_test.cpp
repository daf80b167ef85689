#include "model/fractal_view.h"
#include "model/pass_scheme.h"
#include "model/view_undo.h"
#include "support/view_test_support.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace vortimax;

namespace {

std::atomic<int> pixelsCalculated{0};

void countingDriver(FractalView& view, int x0, int y0, int x1, int y1) {
    runPasses(view, PassRect{x0, y0, x1, y1}, 1, [](int, int) {
        ++pixelsCalculated;
        return 1.0f;
    });
}

class ViewUndoTest : public ::testing::Test {
protected:
    void SetUp() override {
        environment.drivers[kTypeMandel] = countingDriver;
        environment.drivers[kTypeMandel24] = countingDriver;
        environment.defaultWidth = 16;
        environment.defaultHeight = 8;
        record = createRecord(kTypeMandel, 0, RecordCreationContext{});
        ASSERT_EQ(openView(*record, false, environment), 0);
        ASSERT_TRUE(settled());
        pixelsCalculated = 0;
    }
    void TearDown() override { closeView(*record, false, environment); }

    bool settled() { return vortimax::testing::settled(*record); }
    void change(std::int32_t maxIter, std::string_view label) {
        pauseView(*record->view);
        const UndoState before = undoStateOf(*record);
        record->params().setInteger("MaxIter", maxIter);
        recordUndoAndRecalculate(*record, before, false, label);
    }

    ViewEnvironment environment;
    std::unique_ptr<FractalRecord> record;
};

TEST_F(ViewUndoTest, UndoRedoAndANewChangeDroppingTheRedoStep) {
    change(500, "Iterations");
    ASSERT_TRUE(settled());
    EXPECT_GT(pixelsCalculated.load(), 0);
    EXPECT_EQ(undoMenuState(record.get()).undoText, "Undo: Iterations");
    EXPECT_FALSE(undoMenuState(record.get()).canRedo);

    ASSERT_TRUE(undoStep(*record));
    ASSERT_TRUE(settled());
    EXPECT_EQ(record->params().integer("MaxIter"), 150);
    EXPECT_EQ(record->view->paramSnapshot, record->paramBlock);
    UndoMenuState menu = undoMenuState(record.get());
    EXPECT_EQ(menu.undoText, "Undo");
    EXPECT_EQ(menu.redoText, "Redo: Iterations");
    EXPECT_TRUE(menu.canRedo);

    ASSERT_TRUE(redoStep(*record));
    ASSERT_TRUE(settled());
    EXPECT_EQ(record->params().integer("MaxIter"), 500);

    ASSERT_TRUE(undoStep(*record));
    ASSERT_TRUE(settled());
    change(700, "Other");
    ASSERT_TRUE(settled());
    EXPECT_FALSE(redoStep(*record));
    EXPECT_EQ(record->params().integer("MaxIter"), 700);
}

TEST_F(ViewUndoTest, AnUnchangedValueMakesNoStepAndNoCalculation) {
    change(150, "Iterations");
    EXPECT_EQ(record->view->commandWord(), calc::kPaused); // no recalculation was sent
    EXPECT_EQ(pixelsCalculated.load(), 0);
    EXPECT_FALSE(undoMenuState(record.get()).canUndo);
    EXPECT_FALSE(undoStep(*record));
    EXPECT_EQ(undoMenuState(nullptr).undoText, "Undo");
}

TEST_F(ViewUndoTest, TypeConversionIsUndoneWithTheType) {
    pauseView(*record->view);
    const UndoState before = undoStateOf(*record);
    record->type = kTypeMandel24;
    setDefaults(*record, kTypeMandel24, 0);
    recordUndoAndRecalculate(*record, before, false, "Type conversion");
    ASSERT_TRUE(settled());
    ASSERT_TRUE(undoStep(*record));
    ASSERT_TRUE(settled());
    EXPECT_EQ(record->type, kTypeMandel);
    EXPECT_EQ(record->params().real("Bailout"), 4.0);
}

// The parts of one change make one step as long as nothing else happens to the history;
// undoing it gives back the state before the first part.
TEST_F(ViewUndoTest, AGrowingStepCoversItsPartsUntilAnotherStepComesBetween) {
    GrowingUndoStep step;
    const auto part = [&](std::int32_t maxIter, bool continues) {
        const UndoState before = undoStateOf(*record);
        record->params().setInteger("MaxIter", maxIter);
        return step.record(*record, before, continues, "Turn");
    };
    pauseView(*record->view);
    const UndoHistory& history = record->view->undoHistory();
    ASSERT_TRUE(part(200, true)); // the first part of all starts a step whatever it says
    ASSERT_TRUE(part(300, true));
    EXPECT_EQ(history.entryCount(), 1u);
    EXPECT_TRUE(step.grows(*record, true));
    EXPECT_FALSE(step.grows(*record, false));
    EXPECT_FALSE(part(150, true)); // back where it started: no step at all
    EXPECT_EQ(history.entryCount(), 0u);
    ASSERT_TRUE(part(400, true));

    ASSERT_TRUE(part(500, false)); // a new turn
    change(600, "Iterations");
    EXPECT_FALSE(step.grows(*record, true));
    pauseView(*record->view);
    ASSERT_TRUE(part(700, true));
    ASSERT_EQ(history.entryCount(), 4u);
    for (std::int32_t expected : {600, 500, 400, 150}) {
        ASSERT_TRUE(undoStep(*record));
        EXPECT_EQ(record->params().integer("MaxIter"), expected);
    }
    ASSERT_TRUE(settled());
}

} // namespace
