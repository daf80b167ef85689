#include "app_fixture.h"
#include "model/folder.h"
#include "model/param_text.h"
#include "render/compound/compound_driver.h"

namespace vortimax::test {
namespace {

// Two open layers and a compound in the program's current folder; the layers are
// finished one after the other and the main timer passes their news to the compound.
class CompoundUpdatesTest : public AppFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(start().ok);
        folder = app->workspace().currentFolder();
        ASSERT_NE(folder, nullptr);
        first = &layer("First", kTypeMandel);
        second = &layer("Second", kTypeJulia);
        auto record = createRecord(kTypeCompound, 0, app->creationContext());
        record->name = "Mix";
        mix = &app->workspace().addFractal(*folder, std::move(record), false);
        ASSERT_TRUE(setByKey(mix->params(), "Layer0", "First"));
        ASSERT_TRUE(setByKey(mix->params(), "Layer1", "Second"));
        ASSERT_TRUE(setByKey(mix->params(), "MergeType", "2")); // RGB-Maximum
    }

    FractalRecord& layer(std::string name, std::uint32_t type) {
        auto record = createRecord(type, 0, app->creationContext());
        record->name = std::move(name);
        record->displayDepth = 24;
        FractalRecord& added = app->workspace().addFractal(*folder, std::move(record), false);
        openPaused(added);
        return added;
    }

    // Opens the layer without calculating it, with its palette.
    void openPaused(FractalRecord& record) {
        EXPECT_EQ(openView(record, true, app->views()), 0);
        app->views().hooks.applyPalette(*record.view);
    }

    // Runs the main timer until the compound has run again and shows `status`.
    void expectCompoundRun(std::string_view status) {
        app->frontend().setStatus("-", -1);
        EXPECT_TRUE(testing::waitFor([&] {
            app->onTimer(kMainTimer);
            return app->status().text() == status;
        })) << status;
        EXPECT_TRUE(testing::settled(*mix));
    }

    void finish(FractalRecord& layer) {
        recalculateView(*layer.view);
        ASSERT_TRUE(testing::settled(layer));
    }

    std::vector<std::uint8_t> mergedImage(FractalRecord& a, FractalRecord& b) {
        EXPECT_EQ(openView(*mix, false, app->views()), 0);
        EXPECT_TRUE(testing::settled(*mix));
        EXPECT_EQ(app->status().text(), kLayersPendingStatus);
        finish(a);
        expectCompoundRun(kLayersPendingStatus);
        finish(b);
        expectCompoundRun(kCompoundDoneStatus);
        std::vector<std::uint8_t> pixels = mix->view->buffers().pixels;
        closeView(*mix, false, app->views());
        return pixels;
    }

    Folder* folder = nullptr;
    FractalRecord* first = nullptr;
    FractalRecord* second = nullptr;
    FractalRecord* mix = nullptr;
};

TEST_F(CompoundUpdatesTest, LayersFinishingInEitherOrderGiveTheMergedImage) {
    const std::vector<std::uint8_t> oneWay = mergedImage(*first, *second);
    // The layers' own pixels, channel by channel the larger one.
    const std::vector<std::uint8_t>& a = first->view->buffers().pixels;
    const std::vector<std::uint8_t>& b = second->view->buffers().pixels;
    ASSERT_EQ(a.size(), oneWay.size());
    std::vector<std::uint8_t> expected(a.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        expected[i] = std::max(a[i], b[i]);
    EXPECT_EQ(oneWay, expected);
    EXPECT_NE(oneWay, a);
    EXPECT_NE(oneWay, b);

    for (FractalRecord* layer : {first, second}) {
        closeView(*layer, false, app->views());
        openPaused(*layer);
    }
    EXPECT_EQ(mergedImage(*second, *first), oneWay);
}

// A layer's new palette pauses the compound before the colour table changes; the redraw
// that shows it leaves the compound paused until the layer has finished, and the main
// timer then merges it again.
TEST_F(CompoundUpdatesTest, ALayerRecolouredPausesTheCompoundUntilItFinishes) {
    const std::vector<std::uint8_t> merged = mergedImage(*first, *second);
    ASSERT_EQ(openView(*mix, false, app->views()), 0);
    ASSERT_TRUE(testing::settled(*mix));
    app->views().hooks.applyPalette(*first->view);
    EXPECT_EQ(mix->view->commandWord(), calc::kPaused);
    redrawView(*first->view);
    EXPECT_EQ(mix->view->commandWord(), calc::kPaused);
    ASSERT_TRUE(testing::settled(*first));
    expectCompoundRun(kCompoundDoneStatus);
    EXPECT_EQ(mix->view->buffers().pixels, merged);
}

TEST_F(CompoundUpdatesTest, RenamingOrDeletingALayerBreaksTheLinkVisibly) {
    mergedImage(*first, *second);
    ASSERT_EQ(openView(*mix, false, app->views()), 0);
    ASSERT_TRUE(testing::settled(*mix));
    EXPECT_EQ(mix->layers[1], second);

    ASSERT_TRUE(app->workspace().renameFractal(*second, "Renamed"));
    EXPECT_EQ(mix->layers[1], nullptr);
    ASSERT_TRUE(testing::waitFor([&] { return mix->view->failure().failed; }));
    EXPECT_NE(mix->view->failure().reason.find("layer 1 \"Second\""), std::string::npos);

    ASSERT_TRUE(app->workspace().renameFractal(*second, "second"));
    EXPECT_EQ(mix->layers[1], second);
    ASSERT_TRUE(testing::settled(*mix));
    EXPECT_FALSE(mix->view->failure().failed);

    ASSERT_EQ(app->workspace().deleteFractal(*first, false), DeleteResult::Deleted);
    EXPECT_EQ(mix->layers[0], nullptr);
    ASSERT_TRUE(testing::waitFor([&] { return mix->view->failure().failed; }));
    EXPECT_NE(mix->view->failure().reason.find("layer 0 \"First\""), std::string::npos);
}

} // namespace
} // namespace vortimax::test
