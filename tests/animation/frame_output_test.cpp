#include "../app/temp_dir.h"
#include "anim_test_support.h"
#include "animation/frame_names.h"
#include "animation/palette_interpolation.h"
#include "animation/png_frame_sink.h"
#include "app/scripted_frontend.h"
#include "imagefile/png_loader.h"
#include "palette/palette_list.h"

#include <gtest/gtest.h>

namespace vortimax {
namespace {

TEST(FrameNames, FramesAreNumberedWithoutLeadingZerosInTheChosenDirectory) {
    const OutputName windows = splitOutputName("C:\\out\\Zoom");
    EXPECT_EQ(windows.name, "Zoom");
    EXPECT_EQ(pngFramePath(windows.directory, windows.name, 7),
              std::filesystem::path("C:/out/Zoom7.png"));
    const OutputName plain = splitOutputName("/tmp/frames/Zoom");
    EXPECT_EQ(pngFramePath(plain.directory, plain.name, 12).string(), "/tmp/frames/Zoom12.png");
    EXPECT_EQ(splitOutputName("Zoom").directory, std::filesystem::path());
}

TEST(FrameNames, ConvertedFramesWidenTheirNumbersWithTheLastFrame) {
    EXPECT_EQ(convertedFrameName("Zoom", 7, 11), "Zoom- 7[11]");
    EXPECT_EQ(convertedFrameName("Zoom", 7, 100), "Zoom-  7[100]");
    EXPECT_EQ(convertedFrameName("Zoom", 7, 1000), "Zoom-   7[1000]");
}

TEST(PngFrameSink, WritesTheNumberedFrameWithItsParametersAndReportsAFailedOne) {
    test::TempDir dir;
    ScriptedFrontend frontend;
    ImageBuffers buffers;
    ASSERT_TRUE(allocateBuffers({5, 3, 8}, buffers));
    for (std::size_t i = 0; i < buffers.pixels.size(); ++i)
        buffers.pixels[i] = static_cast<std::uint8_t>(i);
    ColourTable colours;
    auto record = test::mandelKey(test::big("0"), test::big("0"), test::big("2"), 10.0);
    const FrameImage image{*record, buffers, colours, false, "Frame { type=mandel }"};
    PngFrameSink sink(dir.path(), "Zoom", frontend);
    ASSERT_TRUE(sink.open(AnimData{}));
    EXPECT_EQ(sink.write(image, 7), FrameWriteResult::Written);
    DecodedPng decoded;
    ASSERT_EQ(loadPng(dir / "Zoom7.png", decoded), PngLoadResult::Loaded);
    EXPECT_EQ(decoded.width, 5);
    ASSERT_EQ(decoded.parameterTexts.size(), 1u);
    EXPECT_EQ(decoded.parameterTexts[0], "Frame { type=mandel }");

    PngFrameSink broken(dir / "missing" / "deeper", "Zoom", frontend);
    EXPECT_EQ(broken.write(image, 8), FrameWriteResult::Skipped);
    ASSERT_EQ(frontend.messageBoxes().size(), 1u);
    EXPECT_EQ(frontend.messageBoxes()[0].caption, kAnimationSystemCaption);
    EXPECT_EQ(frontend.messageBoxes()[0].text,
              pngFrameFailureText(1, dir / "missing" / "deeper" / "Zoom8.png"));
    // The animation goes on: the next frame is written where it can be.
    EXPECT_EQ(sink.write(image, 9), FrameWriteResult::Written);
}

TEST(PaletteInterpolation, OffsetsGoForwardAcrossTheWrap) {
    std::vector<std::unique_ptr<FractalRecord>> keys;
    keys.push_back(test::mandelKey(test::big("0"), test::big("0"), test::big("2"), 4.0));
    keys.push_back(test::mandelKey(test::big("0"), test::big("0"), test::big("2"), 4.0));
    PaletteList palettes;
    keys[0]->palName = palettes.defaultPalette().name();
    keys[0]->palOffset = 250;
    keys[1]->palNameAnim = palettes.defaultPalette().name();
    keys[1]->palOffsetAnim = 2;
    AnimData data;
    data.interpolation = 0;
    std::vector<int> offsets;
    for (int f = 1; f <= 5; ++f)
        offsets.push_back(
            interpolatePalette(test::pointers(keys), data, f, palettes, false).offset);
    EXPECT_EQ(offsets, (std::vector<int>{250, 251, 0, 1, 2}));
    EXPECT_EQ(unwrappedOffsets({2, 250, 5}), (std::vector<double>{2, -2, 5}));
}

TEST(PaletteInterpolation, ColoursBlendBetweenPaletteKeysAndAnAppliedOffsetRotates) {
    RgbTriples black{}, white{};
    for (auto& entry : white)
        entry = {200, 100, 50};
    PaletteList palettes;
    auto dark = std::make_unique<Palette>(black);
    dark->setName("Dark");
    auto light = std::make_unique<Palette>(white);
    light->setName("Light");
    palettes.insertUnique(std::move(dark));
    palettes.insertUnique(std::move(light));
    std::vector<std::unique_ptr<FractalRecord>> keys;
    for (int i = 0; i < 3; ++i)
        keys.push_back(test::mandelKey(test::big("0"), test::big("0"), test::big("2"), 10.0));
    keys[0]->palName = "Dark";
    keys[2]->palNameAnim = "Light"; // the middle key names no animation palette
    AnimData data;
    data.interpolation = 0;
    // Palette keys at positions 0 and 20: frame 11 lies half-way.
    const FramePalette half = interpolatePalette(test::pointers(keys), data, 11, palettes, false);
    EXPECT_EQ(half.palette.colour(17), (Rgb{100, 50, 25}));

    RgbTriples ramp{};
    for (std::size_t i = 0; i < kPaletteEntries; ++i)
        ramp[i] = {static_cast<std::uint8_t>(i), 0, 0};
    auto ramped = std::make_unique<Palette>(ramp);
    ramped->setName("Ramp");
    palettes.insertUnique(std::move(ramped));
    keys[0]->palName = "Ramp";
    keys[0]->palOffset = 10;
    keys[2]->palNameAnim.clear();
    const FramePalette rotated = interpolatePalette(test::pointers(keys), data, 1, palettes, true);
    EXPECT_EQ(rotated.offset, 0);
    EXPECT_EQ(rotated.palette.colour(15).red, 5);
    EXPECT_EQ(rotated.palette.colour(5).red, 247);
}

} // namespace
} // namespace vortimax
