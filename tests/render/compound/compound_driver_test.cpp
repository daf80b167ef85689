#include "../../support/view_test_support.h"
#include "app/scripted_frontend.h"
#include "model/folder.h"
#include "model/fractal_view.h"
#include "model/param_text.h"
#include "render/colour/colouring_hooks.h"
#include "render/compound/compound_driver.h"
#include "render/compound/compound_layers.h"
#include "render/compound/merge_types.h"
#include "render/drivers.h"

#include <gtest/gtest.h>

namespace vortimax {
namespace {

// A folder of small fractals: layers opened and calculated on their own workers (their
// images then replaced by known patterns), and a compound calculated by calling its
// driver directly.
class CompoundDriver : public ::testing::Test {
protected:
    CompoundDriver() {
        environment.frontend = &frontend;
        installDrivers(environment.drivers);
        installColouring(environment.hooks);
        environment.defaultWidth = 24;
        environment.defaultHeight = 8;
    }
    ~CompoundDriver() override {
        for (FractalRecord& record : folder.fractals().all())
            closeView(record, false, environment);
    }

    FractalRecord& add(std::string name, std::uint32_t type) {
        auto record = createRecord(type, 0, RecordCreationContext{24, 24, {}});
        record->name = std::move(name);
        return folder.add(std::move(record));
    }

    // A 24-bit layer of the given size whose pixel (x, y) is `colour(x, y)` and whose
    // values are x + 100 y + 1.
    template <typename Colour>
    FractalRecord& finishedLayer(std::string name, int width, int height, Colour colour) {
        FractalRecord& r = add(std::move(name), kTypeMandel);
        r.width = width;
        r.height = height;
        EXPECT_EQ(openView(r, false, environment), 0);
        EXPECT_TRUE(testing::settled(r));
        ImageBuffers& b = r.view->buffers();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const Rgb c = colour(x, y);
                std::uint8_t* p = b.pixelRow(y) + x * 3;
                p[0] = static_cast<std::uint8_t>(c.blue);
                p[1] = static_cast<std::uint8_t>(c.green);
                p[2] = static_cast<std::uint8_t>(c.red);
                b.value(x, y) = static_cast<float>(x + 100 * y + 1);
            }
        return r;
    }

    FractalRecord& compound(std::initializer_list<std::pair<std::string, std::string>> keys) {
        FractalRecord& c = add("Compound", kTypeCompound);
        for (const auto& [key, value] : keys)
            EXPECT_TRUE(setByKey(c.params(), key, value)) << key;
        c.layers = resolvedLayers(c);
        c.width = 24;
        c.height = 8;
        view = std::make_unique<FractalView>(c, environment);
        EXPECT_TRUE(allocateBuffers({24, 8, 24, false, false, false, 24}, view->buffers()));
        return c;
    }

    void calculate() { calculateCompound(*view, 0, 0, 24, 7); }

    Rgb pixel(const FractalView& v, int x, int y) const {
        const std::uint8_t* p = v.buffers().pixels.data() +
                                (static_cast<std::size_t>(y) * v.buffers().rowLength + x) * 3;
        return {p[2], p[1], p[0]};
    }

    ScriptedFrontend frontend;
    ViewEnvironment environment;
    Folder folder{"Project", FolderKind::Project, "project.par"};
    std::unique_ptr<FractalView> view;
};

TEST_F(CompoundDriver, OffsetsPlaceLayersAndTransparencyShowsTheUpperOne) {
    finishedLayer("Base", 24, 8, [](int x, int y) { return Rgb{x, y, 7}; });
    finishedLayer("Top", 4, 2, [](int x, int y) { return Rgb{200 + x, 100 + y, 1}; });
    compound({{"Layer0", "base"}, {"Layer1", "TOP"}, {"Left1", "10"}, {"Bottom1", "3"}});
    calculate();
    EXPECT_FALSE(view->failure().failed);
    EXPECT_EQ(pixel(*view, 10, 3), (Rgb{200, 100, 1}));
    EXPECT_EQ(pixel(*view, 13, 4), (Rgb{203, 101, 1}));
    EXPECT_EQ(pixel(*view, 9, 3), (Rgb{9, 3, 7}));
    EXPECT_EQ(pixel(*view, 14, 3), (Rgb{14, 3, 7}));
    EXPECT_EQ(pixel(*view, 10, 5), (Rgb{10, 5, 7}));
    EXPECT_EQ(frontend.statusTexts().back(), kCompoundDoneStatus);
}

TEST_F(CompoundDriver, PixelsNoLayerCoversGiveZeroInEveryExtremeMerge) {
    finishedLayer("Small", 4, 2, [](int, int) { return Rgb{}; });
    for (const char* merge : {"8", "10", "11"}) {
        compound({{"Layer0", "Small"}, {"Left0", "2"}, {"MergeType", merge}});
        calculate();
        const ImageBuffers& b = view->buffers();
        const bool difference = std::string(merge) == "8";
        EXPECT_EQ(b.value(2, 0), difference ? 0.0f : 1.0f) << merge;
        EXPECT_EQ(b.value(5, 1), difference ? 0.0f : 104.0f) << merge;
        for (int x : {0, 1, 6, 24})
            EXPECT_EQ(b.value(x, 0), 0.0f) << merge << " column " << x;
        EXPECT_EQ(b.value(3, 5), 0.0f) << merge;
        folder.take(*folder.fractals().find("Compound"));
    }
}

TEST_F(CompoundDriver, BufferMergeReadsTheChosenTierazonBufferAndColoursRowsMiddleOutward) {
    FractalRecord& tiera = add("Tiera", kTypeTieraMandel);
    tiera.width = 24;
    tiera.height = 8;
    ASSERT_EQ(openView(tiera, false, environment), 0);
    ASSERT_TRUE(testing::settled(tiera));
    std::fill(tiera.view->buffers().tierazon2.begin(), tiera.view->buffers().tierazon2.end(), 3.0f);
    compound({{"Layer0", "Tiera"}, {"Buffer0", "2"}, {"Factor0", "50"}, {"MergeType", "6"}});
    std::vector<int> rows;
    environment.hooks.colourRow = [&rows](FractalView&, int, int row, int, int) {
        rows.push_back(row);
    };
    calculate();
    EXPECT_EQ(view->buffers().value(5, 5), 1.5f);
    EXPECT_EQ(rows, (std::vector<int>{3, 4, 2, 5, 1, 6, 0, 7}));
}

TEST_F(CompoundDriver, WaitsForUnfinishedLayersAndFailsOnBrokenLinks) {
    FractalRecord& paused = add("Paused", kTypeMandel);
    ASSERT_EQ(openView(paused, true, environment), 0);
    FractalRecord& c = compound({{"Layer0", "Paused"}, {"MergeType", "6"}});
    calculate();
    EXPECT_FALSE(view->failure().failed);
    EXPECT_EQ(frontend.statusTexts().back(), kLayersPendingStatus);
    EXPECT_EQ(view->buffers().value(0, 0), 0.0f);

    EXPECT_TRUE(setByKey(c.params(), "Layer1", "Gone"));
    c.layers = resolvedLayers(c);
    calculate();
    ASSERT_TRUE(view->failure().failed);
    EXPECT_NE(view->failure().reason.find("layer 1 \"Gone\""), std::string::npos);
}

TEST_F(CompoundDriver, ColourMergesRefuseAPaletteImageAndUnknownMergeTypesFail) {
    finishedLayer("Base", 24, 8, [](int, int) { return Rgb{1, 2, 3}; });
    compound({{"Layer0", "Base"}, {"MergeType", "14"}});
    calculate();
    EXPECT_NE(view->failure().reason.find("MergeType 14 is no merge type"), std::string::npos);
    ASSERT_TRUE(allocateBuffers({24, 8, 8, false, false, false, 24}, view->buffers()));
    EXPECT_TRUE(setByKey(folder.fractals().find("Compound")->params(), "MergeType", "1"));
    calculate();
    EXPECT_NE(view->failure().reason.find("\"RGB-Minimum\" needs a true-colour image"),
              std::string::npos);
}

TEST_F(CompoundDriver, LinksRefuseTheCompoundItselfAndLoops) {
    FractalRecord& a = add("A", kTypeCompound);
    FractalRecord& b = add("B", kTypeCompound);
    ASSERT_TRUE(setByKey(a.params(), "Layer0", "B"));
    ASSERT_TRUE(setByKey(b.params(), "Layer0", "A"));
    ASSERT_TRUE(setByKey(b.params(), "Layer1", "b"));
    a.layers = resolvedLayers(a);
    b.layers = resolvedLayers(b);
    EXPECT_EQ(a.layers[0], &b);
    EXPECT_EQ(b.layers[0], nullptr);
    EXPECT_EQ(b.layers[1], nullptr);
    EXPECT_TRUE(usesLayer(a, b));
    EXPECT_FALSE(usesLayer(b, a));
}

// The compound merges on its own worker while its layer is calculated again, recoloured,
// resumed, filtered and continued, and is restarted while the layer's worker runs: each
// time the compound is paused before the layer is written, or waits for it. The thread
// sanitizer build checks that no merge reads what the layer writes; at the end the
// compound holds the layer's values.
TEST_F(CompoundDriver, MergesNeverOverlapWritesToTheLayer) {
    FractalRecord& layer = add("Layer", kTypeMandel);
    layer.width = 64;
    layer.height = 48;
    layer.displayDepth = 8; // the compound reads its colour table too
    ASSERT_EQ(openView(layer, false, environment), 0);
    FractalRecord& c = add("Compound", kTypeCompound);
    for (const auto& [key, value] :
         {std::pair{"Layer0", "Layer"}, {"Factor0", "100"}, {"MergeType", "6"}})
        ASSERT_TRUE(setByKey(c.params(), key, value)) << key;
    c.layers = resolvedLayers(c);
    c.width = 64;
    c.height = 48;
    ASSERT_EQ(openView(c, false, environment), 0);
    FractalView& layerView = *layer.view;
    FractalView& compoundView = *c.view;
    void (*const writes[])(FractalView&) = {recalculateView, redrawView, resumeView, filterView,
                                            continueView};
    for (int round = 0; round < 40; ++round) {
        ASSERT_TRUE(testing::settled(layer));
        recalculateView(compoundView);
        writes[round % std::size(writes)](layerView);
        recalculateView(compoundView);
    }
    ASSERT_TRUE(testing::settled(layer));
    recalculateView(compoundView);
    ASSERT_TRUE(testing::settled(c));
    const ImageBuffers& a = layerView.buffers();
    const ImageBuffers& b = compoundView.buffers();
    EXPECT_NE(a.value(0, 0), 0.0f);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(b.value(x, y), a.value(x, y)) << x << ", " << y;
}

} // namespace
} // namespace vortimax
