#include "render/compound/merge_types.h"

#include <gtest/gtest.h>
#include <vector>

namespace vortimax {
namespace {

LayerSample colourLayer(Rgb colour, double factor = 100.0) {
    LayerSample s;
    s.covers = true;
    s.colour = colour;
    s.factor = factor;
    return s;
}

LayerSample valueLayer(double value, double factor = 100.0) {
    LayerSample s;
    s.covers = true;
    s.value = value;
    s.factor = factor;
    return s;
}

// A merge of the given samples, with the formulas compiled from `texts` when given.
struct Merger {
    MergeFormulas formulas;
    EvalContext context;

    explicit Merger(std::array<std::string, kMergeChannels> texts = {}) {
        EXPECT_FALSE(compileMergeFormulas(texts, {true, true, true}, formulas));
    }
    Rgb colour(int type, const std::vector<LayerSample>& layers) {
        return mergeType(type)->rgb(MergeInput{layers, &formulas, &context});
    }
    double value(int type, const std::vector<LayerSample>& layers) {
        return mergeType(type)->buffer(MergeInput{layers, &formulas, &context});
    }
};

constexpr int kTransparency = 0, kRgbMinimum = 1, kRgbMaximum = 2, kRgbAverage = 3;
constexpr int kRgbDarken = 4, kRgbLighten = 5, kBufferAdd = 6, kBufferMult = 7;
constexpr int kBufferDifference = 8, kBufferAvg = 9, kBufferMin = 10, kBufferMax = 11;

TEST(MergeTypes, TableHasTheFourteenLabelsInOrderAndNothingBeyond) {
    const char* labels[] = {"Transparency",      "RGB-Minimum",  "RGB-Maximum", "RGB-Average",
                            "RGB-Darken",        "RGB-Lighten",  "Buffer Add",  "Buffer Mult",
                            "Buffer Difference", "Buffer Avg",   "Buffer Min",  "Buffer Max",
                            "Buffer (formula)",  "RGB (formula)"};
    for (int i = 0; i < kMergeTypeCount; ++i) {
        ASSERT_NE(mergeType(i), nullptr);
        EXPECT_EQ(mergeType(i)->label, labels[i]);
        EXPECT_EQ(mergeType(i)->mergesColours(), i < 6 || i == 13) << i;
    }
    EXPECT_EQ(mergeType(-1), nullptr);
    EXPECT_EQ(mergeType(14), nullptr);
}

TEST(MergeTypes, TransparencyFactorDecidesHowMuchOfLayerOneShows) {
    Merger m;
    const Rgb base{200, 100, 0}, top{10, 20, 30};
    EXPECT_EQ(m.colour(kTransparency, {colourLayer(base), colourLayer(top, 100)}), top);
    EXPECT_EQ(m.colour(kTransparency, {colourLayer(base), colourLayer(top, 0)}), base);
    EXPECT_EQ(m.colour(kTransparency, {colourLayer(base), colourLayer(top, 50)}),
              (Rgb{105, 60, 15}));
    // Black in a further layer is see-through; layer 0 missing starts from black.
    EXPECT_EQ(m.colour(kTransparency, {colourLayer(base), colourLayer(Rgb{}, 100)}), base);
    LayerSample absent = colourLayer(base);
    absent.covers = false;
    EXPECT_EQ(m.colour(kTransparency, {absent, colourLayer(top, 50)}), (Rgb{5, 10, 15}));
}

TEST(MergeTypes, ChannelMergesWeightTruncateAndStartWhereWritten) {
    Merger m;
    const std::vector<LayerSample> two = {colourLayer({100, 50, 201}, 50),
                                          colourLayer({30, 200, 0})};
    EXPECT_EQ(m.colour(kRgbMinimum, two), (Rgb{30, 25, 0}));
    EXPECT_EQ(m.colour(kRgbMaximum, two), (Rgb{50, 200, 100}));
    EXPECT_EQ(m.colour(kRgbAverage, two), (Rgb{40, 112, 50}));
    EXPECT_EQ(m.colour(kRgbMinimum, {}), (Rgb{255, 255, 255}));
    EXPECT_EQ(m.colour(kRgbAverage, {}), (Rgb{}));
}

TEST(MergeTypes, DarkenKeepsTheHueAndTakesTheBlendedBrightness) {
    Merger m;
    const Rgb base{200, 100, 0};
    const Rgb dim{0, 100, 40}; // brightness 100, another hue
    EXPECT_EQ(m.colour(kRgbDarken, {colourLayer(base), colourLayer(dim, 50)}), (Rgb{150, 75, 0}));
    EXPECT_EQ(m.colour(kRgbDarken, {colourLayer(base), colourLayer(dim, 0)}), base);
    // A brighter layer leaves it alone.
    EXPECT_EQ(m.colour(kRgbDarken, {colourLayer(base), colourLayer({250, 0, 0}, 100)}), base);
}

TEST(MergeTypes, LightenTurnsBlackWhiteAndBrightensOtherColoursInTheirHue) {
    Merger m;
    const LayerSample black = colourLayer(Rgb{});
    EXPECT_EQ(m.colour(kRgbLighten, {black, colourLayer({0, 0, 9}, 10)}), (Rgb{255, 255, 255}));
    EXPECT_EQ(m.colour(kRgbLighten, {black, colourLayer(Rgb{}, 100)}), Rgb{});
    LayerSample uncovered = colourLayer({0, 0, 9});
    uncovered.covers = false;
    EXPECT_EQ(m.colour(kRgbLighten, {black, uncovered}), Rgb{});
    EXPECT_EQ(m.colour(kRgbLighten, {colourLayer({100, 50, 0}), colourLayer({0, 200, 0}, 50)}),
              (Rgb{150, 75, 0}));
}

TEST(MergeTypes, BufferMergesOfNoLayerOrOneLayer) {
    Merger m;
    for (int type : {kBufferAdd, kBufferDifference, kBufferAvg, kBufferMin, kBufferMax})
        EXPECT_EQ(m.value(type, {}), 0.0) << mergeType(type)->label;
    EXPECT_EQ(m.value(kBufferMult, {}), 1.0);
    LayerSample uncovered = valueLayer(7.0);
    uncovered.covers = false;
    EXPECT_EQ(m.value(kBufferDifference, {uncovered}), 0.0);
    EXPECT_EQ(m.value(kBufferDifference, {valueLayer(7.0)}), 0.0);
    EXPECT_EQ(m.value(kBufferMin, {valueLayer(7.0, 50)}), 3.5);
}

TEST(MergeTypes, BufferMergesOfSeveralWeightedLayers) {
    Merger m;
    const std::vector<LayerSample> three = {valueLayer(10.0), valueLayer(4.0, 50),
                                            valueLayer(-3.0, 200)};
    EXPECT_EQ(m.value(kBufferAdd, three), 6.0);
    EXPECT_EQ(m.value(kBufferMult, three), -120.0);
    EXPECT_EQ(m.value(kBufferDifference, three), 16.0);
    EXPECT_EQ(m.value(kBufferAvg, three), 2.0);
    EXPECT_EQ(m.value(kBufferMin, three), -6.0);
    EXPECT_EQ(m.value(kBufferMax, three), 10.0);
}

TEST(MergeTypes, BufferFormulaSeesWeightedValuesAndZeroForMissingLayers) {
    Merger m({"l0*10+l1", "", ""});
    LayerSample uncovered = valueLayer(5.0);
    uncovered.covers = false;
    EXPECT_EQ(m.value(kBufferFormulaMerge, {valueLayer(3.0, 50), valueLayer(2.0)}), 17.0);
    EXPECT_EQ(m.value(kBufferFormulaMerge, {uncovered, valueLayer(2.0)}), 2.0);
}

TEST(MergeTypes, RgbFormulaComputesEachChannelFromThatChannelAndClamps) {
    Merger m({"l0+l1", "l0-l1", "l1*100"});
    const std::vector<LayerSample> two = {colourLayer({100, 200, 3}), colourLayer({200, 50, 2})};
    EXPECT_EQ(m.colour(kRgbFormulaMerge, two), (Rgb{255, 150, 200}));
    EXPECT_EQ(m.colour(kRgbFormulaMerge, {colourLayer({0, 10, 3}), colourLayer({0, 50, 0})}),
              (Rgb{0, 0, 0}));
}

TEST(MergeFormulas, OnlyTheWantedFormulasAreCompiledAndFailuresSayWhich) {
    MergeFormulas formulas;
    const std::array<std::string, kMergeChannels> texts = {"l0", "l0 + l1", "((l1"};
    EXPECT_FALSE(compileMergeFormulas(texts, {true, false, false}, formulas));
    EXPECT_TRUE(formulas.channel[0]);
    EXPECT_FALSE(formulas.channel[1]);
    const auto problem = compileMergeFormulas(texts, {true, true, true}, formulas);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->channel, 1u);
    EXPECT_NE(mergeFormulaProblemText(*problem, texts[1]).find("FormulaG \"l0 + l1\""),
              std::string::npos);
}

} // namespace
} // namespace vortimax
