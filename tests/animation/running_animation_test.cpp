#include "../app/temp_dir.h"
#include "../video/video_decoding.h"
#include "anim_test_support.h"
#include "animation/convert_animation.h"
#include "animation/key_list.h"
#include "animation/running_animation.h"
#include "animation/video_frame_sink.h"
#include "app/scripted_frontend.h"
#include "imagefile/png_loader.h"
#include "model/folder.h"
#include "model/fractal_view.h"
#include "model/view_environment.h"
#include "model/workspace.h"
#include "palette/palette_application.h"
#include "palette/palette_list.h"
#include "render/colour/colouring_hooks.h"
#include "render/drivers.h"
#include "render/image_stages.h"

#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace vortimax {
namespace {

using test::big;

// A workspace with an animation of two Mandel keys, `gap` frames apart.
struct AnimationWorld {
    test::TempDir dir;
    ScriptedFrontend frontend;
    PaletteList palettes;
    Workspace workspace{frontend};
    ViewEnvironment environment;
    Folder* animation = nullptr;
    AnimData data;

    explicit AnimationWorld(double gap) {
        environment.frontend = &frontend;
        installDrivers(environment.drivers);
        installColouring(environment.hooks);
        installImageStages(environment.hooks);
        installPaletteApplication(environment.hooks, palettes);
        animation = &workspace.createFolder(dir.path(), "Zoom", FolderKind::Animation);
        data.width = 24;
        data.height = 16;
        data.saveMode = 0;
        auto first = test::mandelKey(big("-0.5"), big("0"), big("3"), gap, "First");
        auto second = test::mandelKey(big("-0.74"), big("0.13"), big("0.03"), gap, "Second");
        second->params().setInteger("MaxIter", 300);
        for (auto* key : {first.get(), second.get()})
            EXPECT_TRUE(addKey(*animation, data, *key, 9, frontend, {}));
        data.width = 24;
        data.height = 16;
    }
    std::vector<const FractalRecord*> keys() const { return constKeys(animationKeys(*animation)); }
};

// Drives the main timer's frame step until the animation ends (bounded).
void runToTheEnd(RunningAnimation& running) {
    using namespace std::chrono_literals;
    for (int tick = 0; running.isRunning() && tick < 20000; ++tick) {
        running.saveFinishedFrame();
        std::this_thread::sleep_for(1ms);
    }
}

TEST(RunningAnimation, WritesEveryFrameAndRemovesItsFrameFractalAtTheEnd) {
    AnimationWorld setup(3.0);
    RunningAnimation running(setup.workspace, setup.palettes, setup.environment, setup.frontend);
    setup.frontend.queuePath(setup.dir / "out" / "Movie");
    std::filesystem::create_directories(setup.dir / "out");
    ASSERT_TRUE(running.start(*setup.animation, setup.data));
    EXPECT_TRUE(running.isRunning());
    Folder* frames = setup.workspace.folders().find(kFrameFolderName);
    ASSERT_NE(frames, nullptr);
    ASSERT_EQ(frames->fractals().size(), 1u);
    FractalRecord& frame = frames->fractals()[0];
    EXPECT_EQ(frame.name, kRunningFrameName);
    EXPECT_TRUE(running.owns(frame));
    EXPECT_EQ(running.frameTitle(50), "Movie 1/4 (50%)");
    // One animation at a time.
    EXPECT_FALSE(running.start(*setup.animation, setup.data));
    EXPECT_EQ(setup.frontend.messageBoxes().back().text, kAlreadyRunningText);

    runToTheEnd(running);
    ASSERT_FALSE(running.isRunning());
    EXPECT_FALSE(running.frameTitle(0));
    EXPECT_EQ(frames->fractals().size(), 0u);
    for (int f = 1; f <= 4; ++f) {
        DecodedPng image;
        ASSERT_EQ(loadPng(setup.dir / "out" / ("Movie" + std::to_string(f) + ".png"), image),
                  PngLoadResult::Loaded)
            << f;
        EXPECT_EQ(image.width, 24);
    }
    EXPECT_FALSE(std::filesystem::exists(setup.dir / "out" / "Movie5.png"));
}

TEST(RunningAnimation, RefusesTooFewKeysAShortGapAndACancelledRequester) {
    AnimationWorld setup(3.0);
    RunningAnimation running(setup.workspace, setup.palettes, setup.environment, setup.frontend);
    Folder& lonely =
        setup.workspace.createFolder(setup.dir.path(), "Lonely", FolderKind::Animation);
    EXPECT_FALSE(running.start(lonely, setup.data));
    EXPECT_EQ(setup.frontend.messageBoxes().back().text, kTooFewKeysText);
    animationKeys(*setup.animation)[1]->numFrames = 0.5;
    EXPECT_FALSE(running.start(*setup.animation, setup.data));
    EXPECT_EQ(setup.frontend.messageBoxes().back().text, kShortGapText);
    animationKeys(*setup.animation)[1]->numFrames = 3;
    setup.frontend.queuePath(std::nullopt);
    EXPECT_FALSE(running.start(*setup.animation, setup.data));
    EXPECT_FALSE(running.isRunning());
    AnimData video = setup.data;
    video.saveMode = 1;
    EXPECT_FALSE(running.start(*setup.animation, video));
    EXPECT_EQ(setup.frontend.messageBoxes().back().text, kNoVideoText);
}

TEST(RunningAnimation, WritesEveryFrameIntoTheVideoOfItsSaveMode) {
    AnimationWorld setup(3.0);
    RunningAnimation running(setup.workspace, setup.palettes, setup.environment, setup.frontend);
    VideoSettings chosen{VideoContainer::Avi, VideoCodec::Ffv1};
    running.setVideoSinkFactory(videoSinkFactory([&chosen] { return chosen; }, setup.frontend));
    setup.data.saveMode = kSaveModeAvi;
    setup.data.framesPerSecond = 6;
    setup.frontend.queuePath(setup.dir / "Movie");
    ASSERT_TRUE(running.start(*setup.animation, setup.data));
    runToTheEnd(running);
    ASSERT_FALSE(running.isRunning());
    const test::DecodedVideo video = test::decodeVideo(setup.dir / "Movie.AVI");
    ASSERT_EQ(video.error, "");
    EXPECT_EQ(video.codec, "ffv1");
    EXPECT_EQ(video.frameRateNum, 6);
    ASSERT_EQ(video.frames.size(), 4u);
    EXPECT_EQ(video.frames[0].width, 24);
    EXPECT_NE(video.frames[0].rgb, video.frames[3].rgb); // the zoom moved
    EXPECT_TRUE(setup.frontend.messageBoxes().empty());

    // An MP4 cannot hold FFV1: it gets its own default codec.
    EXPECT_EQ(videoSettingsForSaveMode(kSaveModeMp4, chosen).codec,
              defaultVideoCodec(VideoContainer::Mp4));
    EXPECT_EQ(videoSettingsForSaveMode(kSaveModeAvi, chosen).codec, VideoCodec::Ffv1);
}

TEST(RunningAnimation, AnAbortLeavesTheFrameFractalToItsCaller) {
    AnimationWorld setup(50.0);
    RunningAnimation running(setup.workspace, setup.palettes, setup.environment, setup.frontend);
    setup.frontend.queuePath(setup.dir / "Movie");
    ASSERT_TRUE(running.start(*setup.animation, setup.data));
    FractalRecord& frame = setup.workspace.folders().find(kFrameFolderName)->fractals()[0];
    running.abort();
    EXPECT_FALSE(running.isRunning());
    EXPECT_FALSE(running.owns(frame));
    running.saveFinishedFrame(); // nothing left to do
    closeView(frame, false, setup.environment);
    EXPECT_EQ(setup.workspace.deleteFractal(frame, false), DeleteResult::Deleted);
}

TEST(ConvertAnimation, MakesOneNamedFractalPerFrameWithItsPalette) {
    AnimationWorld setup(10.0);
    setup.data.name = "Zoom";
    setup.data.endFrame = 5;
    Folder* folder = convertAnimation(setup.workspace, setup.dir.path(), setup.keys(), setup.data,
                                      setup.palettes, setup.frontend, {});
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->name(), "Zoom.par");
    ASSERT_EQ(folder->fractals().size(), 5u);
    const FractalRecord& third = *folder->fractals().find("Zoom- 3[ 5]");
    EXPECT_EQ(third.width, 24);
    const int from = setup.keys()[0]->params().integer("MaxIter");
    EXPECT_EQ(third.params().integer("MaxIter"), from + (300 - from) * 2 / 10);
    // Every frame shows the default palette's colours: one palette serves them all.
    EXPECT_EQ(third.palName, setup.palettes.defaultPalette().name());
}

// A world whose keys are compounds of a Mandel layer and a smaller Mandel layer on top.
struct CompoundWorld : AnimationWorld {
    Folder* project = nullptr;

    CompoundWorld() : AnimationWorld(2.0) {
        for (FractalRecord* key : animationKeys(*animation))
            deleteKey(workspace, *key, false, frontend);
        project = &workspace.createFolder(dir.path(), "Project", FolderKind::Project);
        addCompound("A", "3", 2);
        addCompound("B", "0.5", 8);
        data.width = 24;
        data.height = 16;
    }
    void addCompound(const std::string& name, const std::string& width, int left) {
        auto back = test::mandelKey(big("-0.5"), big("0"), big(width), 1, "Back" + name);
        auto front = test::mandelKey(big("-0.5"), big("0"), big("3"), 1, "Front" + name);
        front->width = 8;
        front->height = 6;
        auto mix = createRecord(kTypeCompound, 0, RecordCreationContext{});
        mix->name = "Mix" + name;
        mix->numFrames = 2;
        mix->width = 24;
        mix->height = 16;
        mix->params().setText("Layer0", "Back" + name);
        mix->params().setText("Layer1", "Front" + name);
        mix->params().setInteger("Left1", left);
        for (FractalRecord* record : {back.get(), front.get(), mix.get()})
            record->displayDepth = 24;
        workspace.addFractal(*project, std::move(back), false);
        workspace.addFractal(*project, std::move(front), false);
        FractalRecord& added = workspace.addFractal(*project, std::move(mix), false);
        EXPECT_TRUE(addKey(*animation, data, added, 9, frontend, {}));
    }
};

TEST(RunningAnimation, CompoundFramesCalculateTheirInterpolatedLayersFirst) {
    CompoundWorld setup;
    ASSERT_EQ(animationKeys(*setup.animation).size(), 2u);
    RunningAnimation running(setup.workspace, setup.palettes, setup.environment, setup.frontend);
    setup.frontend.queuePath(setup.dir / "out" / "Mix");
    std::filesystem::create_directories(setup.dir / "out");
    ASSERT_TRUE(running.start(*setup.animation, setup.data));
    Folder* frames = setup.workspace.folders().find(kFrameFolderName);
    ASSERT_NE(frames, nullptr);
    ASSERT_EQ(frames->fractals().size(), 3u);
    const FractalRecord* frame = running.frameFractal();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->layers[0], frames->fractals().find("Layer 1"));
    EXPECT_EQ(frame->layers[1], frames->fractals().find("Layer 2"));
    EXPECT_NE(frame->layers[1], nullptr);

    runToTheEnd(running);
    ASSERT_FALSE(running.isRunning());
    EXPECT_EQ(frames->fractals().size(), 0u);
    std::vector<std::vector<std::uint8_t>> images;
    for (int f = 1; f <= 3; ++f) {
        DecodedPng image;
        ASSERT_EQ(loadPng(setup.dir / "out" / ("Mix" + std::to_string(f) + ".png"), image),
                  PngLoadResult::Loaded)
            << f;
        images.push_back(image.bgrRows);
    }
    // The layers move between the keys, so every frame shows another picture, and none
    // is empty (the compound ran after its layers were done).
    EXPECT_NE(images[0], images[1]);
    EXPECT_NE(images[1], images[2]);
    for (const auto& image : images)
        EXPECT_NE(std::count(image.begin(), image.end(), image.front()),
                  static_cast<std::ptrdiff_t>(image.size()));
}

TEST(ConvertAnimation, CompoundFramesGetLayerFractalsOfTheirOwn) {
    CompoundWorld setup;
    setup.data.name = "Mix";
    Folder* folder = convertAnimation(setup.workspace, setup.dir.path(), setup.keys(), setup.data,
                                      setup.palettes, setup.frontend, {});
    ASSERT_NE(folder, nullptr);
    ASSERT_EQ(folder->fractals().size(), 9u); // three frames, each with two layers
    const FractalRecord* middle = folder->fractals().find("Mix- 2[ 3]");
    ASSERT_NE(middle, nullptr);
    const FractalRecord* back = middle->layers[0];
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->name, "Mix- 2[ 3] Layer 1");
    EXPECT_NE(middle->layers[1], nullptr);
    const double width = test::frameWidth(*back);
    EXPECT_TRUE(width < 3.0 && width > 0.5) << width;
    EXPECT_EQ(middle->params().integer("Left1"), 5);
}

} // namespace
} // namespace vortimax
