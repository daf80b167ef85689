#include "anim_test_support.h"
#include "animation/anim_file.h"
#include "animation/anim_file_commands.h"
#include "animation/key_layers.h"
#include "animation/key_list.h"
#include "app/scripted_frontend.h"
#include "model/folder.h"
#include "model/workspace.h"
#include "palette/palette_list.h"
#include "render/compound/compound_params.h"

#include <gtest/gtest.h>

namespace vortimax {
namespace {

using test::big;
using test::mandelKey;

// A project folder holding two Mandel layers and a compound of them.
struct Project {
    Folder folder{"Project", FolderKind::Project, {}};
    FractalRecord* compound = nullptr;

    explicit Project(const std::string& width, double gap = 10,
                     std::uint32_t secondLayerType = kTypeMandel) {
        folder.add(mandelKey(big("-0.5"), big("0"), big(width), 1, "Back"));
        auto front = createRecord(secondLayerType, 0, RecordCreationContext{});
        front->name = "Front";
        folder.add(std::move(front));
        auto mix = createRecord(kTypeCompound, 0, RecordCreationContext{});
        mix->name = "Mix";
        mix->numFrames = gap;
        mix->params().setText("Layer0", "Back");
        mix->params().setText("Layer1", "Front");
        compound = &folder.add(std::move(mix));
    }
};

struct Animation {
    Folder folder{"Animation", FolderKind::Animation, {}};
    AnimData data;
    ScriptedFrontend frontend;

    FractalRecord* add(const FractalRecord& fractal) {
        return addKey(folder, data, fractal, animationKeys(folder).size(), frontend, {});
    }
};

std::vector<std::string> layerNames(const FractalRecord& key) {
    std::vector<std::string> names;
    for (const CompoundLayer& layer : readCompoundParams(key).layers)
        names.push_back(layer.name);
    return names;
}

TEST(KeyLayers, ACompoundKeyTakesCopiesOfItsLayersWithNamesOfTheirOwn) {
    Project first("3"), second("0.5");
    Animation animation;
    FractalRecord* a = animation.add(*first.compound);
    FractalRecord* b = animation.add(*second.compound);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(animation.frontend.messageBoxes().empty());
    // Key, its two layers, key, its two layers; the layers are no keys.
    ASSERT_EQ(animation.folder.fractals().size(), 6u);
    ASSERT_EQ(animationKeys(animation.folder).size(), 2u);
    const auto layersA = keyLayers(*a), layersB = keyLayers(*b);
    ASSERT_EQ(layersA.size(), 2u);
    ASSERT_EQ(layersB.size(), 2u);
    EXPECT_EQ(layerNames(*a), (std::vector<std::string>{layersA[0]->name, layersA[1]->name}));
    EXPECT_EQ(layerNames(*b), (std::vector<std::string>{layersB[0]->name, layersB[1]->name}));
    EXPECT_NE(layersA[0]->name, layersB[0]->name);
    EXPECT_DOUBLE_EQ(test::frameWidth(*layersB[0]), 0.5);
    // The originals keep their names.
    EXPECT_EQ(layerNames(*first.compound), (std::vector<std::string>{"Back", "Front"}));
    // Layer k of every key forms a key list of its own, at the keys' gaps: the ends show
    // the keys' layers, and nothing lies beyond the last key.
    LayerFrames frames(constKeys(animationKeys(animation.folder)),
                       layersOfKeys(constKeys(animationKeys(animation.folder))), animation.data,
                       {});
    ASSERT_EQ(frames.layerCount(), 2u);
    auto start = frames.createLayers(1, {});
    auto end = frames.createLayers(11, {});
    ASSERT_EQ(start.size(), 2u);
    EXPECT_EQ(start[0]->name, "Layer 1");
    EXPECT_EQ(start[1]->name, "Layer 2");
    EXPECT_DOUBLE_EQ(test::frameWidth(*start[0]), 3.0);
    EXPECT_DOUBLE_EQ(test::frameWidth(*end[0]), 0.5);
    EXPECT_TRUE(frames.createLayers(12, {}).empty());
}

TEST(KeyLayers, AKeyWhoseLayersDoNotMatchTheReferenceIsRefused) {
    Project first("3");
    Animation animation;
    ASSERT_NE(animation.add(*first.compound), nullptr);

    Project fewer("1");
    fewer.compound->params().setText("Layer1", "");
    animation.frontend.queueAnswer(MessageAnswer::Ok);
    EXPECT_EQ(animation.add(*fewer.compound), nullptr);

    Project otherType("1", 10, kTypeJulia);
    animation.frontend.queueAnswer(MessageAnswer::Ok);
    EXPECT_EQ(animation.add(*otherType.compound), nullptr);

    const auto boxes = animation.frontend.messageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, kWrongTypeText);
    EXPECT_EQ(boxes[1].text, kWrongTypeText);
    EXPECT_EQ(animation.folder.fractals().size(), 3u); // nothing half-added

    // A layer name that finds nothing makes the compound no key at all.
    Project broken("1");
    broken.compound->params().setText("Layer1", "Nowhere");
    animation.frontend.queueAnswer(MessageAnswer::Ok);
    EXPECT_EQ(animation.add(*broken.compound), nullptr);
    EXPECT_EQ(animation.frontend.messageBoxes().back().text, kCompoundKeyText);
}

struct Reader {
    ScriptedFrontend frontend;
    PaletteList palettes;
    LoadedAnimation read(std::string_view text) {
        return readAnimationText(text, palettes, frontend);
    }
};

TEST(KeyLayers, ACompoundAnimationFileReadsBackWithItsLayers) {
    Project first("3"), second("0.5");
    Animation animation;
    animation.add(*first.compound);
    animation.add(*second.compound);
    const std::string text =
        animationFileText(animation.data, constKeys(animationKeys(animation.folder)));
    std::size_t markers = 0;
    for (std::size_t at = text.find("AnimLayerOf="); at != std::string::npos;
         at = text.find("AnimLayerOf=", at + 1))
        ++markers;
    EXPECT_EQ(markers, 4u);

    Reader reader;
    LoadedAnimation loaded = reader.read(text);
    EXPECT_TRUE(loaded.problems.empty()) << loaded.problems.front();
    ASSERT_EQ(loaded.keys.size(), 2u);
    ASSERT_EQ(loaded.layers.size(), 2u);
    for (std::size_t j = 0; j < 2; ++j) {
        ASSERT_EQ(loaded.layers[j].size(), 2u);
        EXPECT_EQ(loaded.layers[j][0]->entryKind, kEntryKeyFrame);
        EXPECT_EQ(layerNames(*loaded.keys[j]),
                  (std::vector<std::string>{loaded.layers[j][0]->name, loaded.layers[j][1]->name}));
    }
    EXPECT_DOUBLE_EQ(test::frameWidth(*loaded.layers[1][0]), 0.5);

    // Installed as a folder, the file writes the same text again.
    Workspace workspace(reader.frontend);
    Folder& folder = installAnimation(workspace, std::move(loaded), "/tmp/anim.txt");
    EXPECT_EQ(folder.fractals().size(), 6u);
    EXPECT_EQ(animationFileText(animation.data, constKeys(animationKeys(folder))), text);
}

TEST(KeyLayers, LayerEntriesThatFitNoKeyAreReportedAndNothingIsHalfRead) {
    const std::string settings = "AnimDataSpecification { }\n";
    const std::string mix = "M { type=compound numframes=3 layer0=Back layer1=Front }\n";
    const std::string layer = "Back { AnimLayerOf=M type=mandel }\n";

    struct Case {
        std::string text;
        std::size_t keys;
        std::string problem;
    };
    const Case cases[] = {
        {settings + layer + mix + layer + layer, 1, "does not follow that key"},
        {settings + mix + "Back { AnimLayerOf=Elsewhere type=mandel }\n" + layer + layer, 1,
         "does not follow that key"},
        {settings + mix + layer + layer + layer, 1, "names fewer layers"},
        {settings + mix + layer, 0, "names 2 layers but 1 layer entries"},
        {settings + mix + layer + "C { AnimLayerOf=M type=compound }\n", 0, "is a compound"},
    };
    for (const Case& c : cases) {
        Reader reader;
        LoadedAnimation loaded = reader.read(c.text);
        ASSERT_FALSE(loaded.problems.empty()) << c.text;
        EXPECT_NE(loaded.problems.front().find(c.problem), std::string::npos)
            << loaded.problems.front();
        ASSERT_EQ(loaded.keys.size(), c.keys) << c.text;
        ASSERT_EQ(loaded.layers.size(), c.keys);
        for (const auto& layers : loaded.layers)
            EXPECT_EQ(layers.size(), 2u);
    }
}

} // namespace
} // namespace vortimax
