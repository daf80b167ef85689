#include "../support/view_test_support.h"
#include "app/scripted_frontend.h"
#include "model/folder.h"
#include "model/fractal_view.h"
#include "render/colour/colouring_hooks.h"
#include "render/drivers.h"
#include "render/image_stages.h"

#include <gtest/gtest.h>

namespace vortimax {
namespace {

// A folder of small fractals on their own workers, with the relief stage installed: the
// reliefs read another fractal's view as their overlay.
class ReliefOverlay : public ::testing::Test {
protected:
    ReliefOverlay() {
        environment.frontend = &frontend;
        installDrivers(environment.drivers);
        installColouring(environment.hooks);
        installImageStages(environment.hooks);
    }
    ~ReliefOverlay() override {
        for (FractalRecord& record : folder.fractals().all())
            closeView(record, false, environment);
    }

    FractalRecord& add(std::string name, int width, int height) {
        auto record = createRecord(kTypeMandel, 0, RecordCreationContext{24, 24, {}});
        record->name = std::move(name);
        record->width = width;
        record->height = height;
        return folder.add(std::move(record));
    }

    FractalRecord& relief(std::string name, std::string_view overlayName) {
        FractalRecord& r = add(std::move(name), 64, 48);
        r.dims = 1;
        const BlockRef settings = r.settings3D();
        settings.setInteger("Overlay", 1);
        settings.setText("OvlName", overlayName);
        return r;
    }

    ScriptedFrontend frontend;
    ViewEnvironment environment;
    Folder folder{"Project", FolderKind::Project, "project.par"};
};

// The overlay's view is closed, opened again and resized while the relief renders from
// it: each time the relief is paused before the overlay's buffers go or change, and a
// relief naming another fractal is left alone. A relief rendering without its overlay
// picks it up again at its next calculation. The sanitizer builds check that the relief
// never reads freed or changing buffers; at the end it renders from the overlay again.
TEST_F(ReliefOverlay, ClosingOrResizingTheOverlayPausesTheReliefFirst) {
    // The folder is complete before any worker looks names up in it.
    FractalRecord& bumps = add("Bumps", 48, 32);
    FractalRecord& main = relief("Main", "Bumps");
    FractalRecord& elsewhere = relief("Elsewhere", "Nothing");
    for (FractalRecord* record : {&bumps, &main, &elsewhere})
        ASSERT_EQ(openView(*record, false, environment), 0);
    ASSERT_TRUE(testing::settled(elsewhere));
    for (int round = 0; round < 24; ++round) {
        recalculateView(*main.view);
        if (round % 2 == 0) {
            closeView(bumps, false, environment);
            EXPECT_EQ(main.view->commandWord(), calc::kPaused) << round;
            recalculateView(*main.view); // renders without the overlay meanwhile
            EXPECT_EQ(main.overlayView, nullptr);
            ASSERT_EQ(openView(bumps, false, environment), 0);
        } else {
            EXPECT_EQ(main.overlayView, bumps.view) << round;
            resizeView(bumps, 40 + round, 30 + round, false, environment);
            EXPECT_EQ(main.view->commandWord(), calc::kPaused) << round;
        }
        EXPECT_EQ(elsewhere.view->commandWord(), calc::kIdle) << round;
    }
    ASSERT_TRUE(testing::settled(bumps));
    recalculateView(*main.view);
    ASSERT_TRUE(testing::settled(main));
    // The image counts as finished before its relief is made.
    EXPECT_TRUE(testing::waitFor([&] { return main.view->done3D(); }));
}

// Fractals are added, renamed and deleted while the relief renders, its overlay among
// them: the relief's worker never looks into the folder. Each calculation links the
// relief to whatever then carries the overlay's name.
TEST_F(ReliefOverlay, TheFolderChangesWhileTheReliefRenders) {
    FractalRecord& bumps = add("Bumps", 48, 32);
    FractalRecord& main = relief("Main", "Bumps");
    for (FractalRecord* record : {&bumps, &main})
        ASSERT_EQ(openView(*record, false, environment), 0);
    ASSERT_TRUE(testing::settled(bumps));
    for (int round = 0; round < 16; ++round) {
        recalculateView(*main.view);
        EXPECT_EQ(main.overlayView, round % 2 == 0 ? bumps.view : nullptr) << round;
        FractalRecord& extra = add("Extra", 8, 8);
        folder.renameFractal(bumps, round % 2 == 0 ? "Renamed" : "Bumps");
        folder.take(extra);
    }
    recalculateView(*main.view);
    EXPECT_EQ(main.overlayView, bumps.view);
    ASSERT_TRUE(testing::settled(main));
    // The image counts as finished before its relief is made.
    EXPECT_TRUE(testing::waitFor([&] { return main.view->done3D(); }));
}

} // namespace
} // namespace vortimax
