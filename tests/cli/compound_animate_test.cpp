#include "app/temp_dir.h"
#include "cli/animate_command.h"
#include "cli/render_command.h"
#include "cli_test_support.h"
#include "imagefile/png_loader.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace vortimax;
using vortimax::test::Outcome;
using vortimax::test::TempDir;
namespace fs = std::filesystem;

namespace {

// Two compounds of a Mandel and a smaller Julia layer merged on top of it: the second
// zooms into both layers and moves the Julia layer (a Julia constant is held, not
// interpolated, so both keys share it).
constexpr std::string_view kProject = "BackA  {\n  Type=Mandel\n  DisplayDepth=24\n"
                                      "  Corners=-2.5/1.5/-1.6/1.6\n}\n\n"
                                      "FrontA  {\n  Type=Julia\n  Width=16\n  Height=12\n"
                                      "  DisplayDepth=24\n  Corners=-2.0/2.0/-1.6/1.6\n"
                                      "  params=-0.8/0.156/0.0/0.0\n}\n\n"
                                      "MixA  {\n  Type=Compound\n  DisplayDepth=24\n"
                                      "  Layer0=BackA\n  Layer1=FrontA\n  Left1=2\n}\n\n"
                                      "BackB  {\n  Type=Mandel\n  DisplayDepth=24\n"
                                      "  Corners=-1.0/0.0/-0.4/0.4\n}\n\n"
                                      "FrontB  {\n  Type=Julia\n  Width=16\n  Height=12\n"
                                      "  DisplayDepth=24\n  Corners=-1.0/1.0/-0.8/0.8\n"
                                      "  params=-0.8/0.156/0.0/0.0\n}\n\n"
                                      "MixB  {\n  Type=Compound\n  DisplayDepth=24\n"
                                      "  Layer0=BackB\n  Layer1=FrontB\n  Left1=14\n}\n";

struct Fixture {
    TempDir dir;
    std::string par = (dir / "mix.par").string();
    std::string program = (dir / "program").string();
    Fixture() {
        fs::create_directories(program);
        test::writeBytes(par, kProject);
    }

    std::vector<std::uint8_t> rendered(const std::string& entry) const {
        const std::string png = (dir / (entry + ".png")).string();
        const Outcome done =
            test::run(cli::runRender, {par, entry, "--size", "32x24", "--dir", program, "-o", png});
        EXPECT_EQ(done.status, 0) << done.err;
        return pixels(png);
    }

    static std::vector<std::uint8_t> pixels(const fs::path& png) {
        DecodedPng image;
        EXPECT_EQ(loadPng(png, image), PngLoadResult::Loaded) << png;
        EXPECT_TRUE(image.width == 32 && image.height == 24);
        return image.bgrRows;
    }
};

TEST(CompoundAnimate, TheEndFramesShowTheKeysAsRenderShowsThem) {
    Fixture fixture;
    const fs::path frames = fixture.dir / "frames";
    const Outcome done = test::run(
        cli::runAnimate, {"--key", fixture.par, "MixA", "--key", fixture.par, "MixB", "--gap", "4",
                          "--size", "32x24", "--dir", fixture.program, "-o", frames.string()});
    ASSERT_EQ(done.status, 0) << done.err;
    const auto first = Fixture::pixels(frames / "MixA1.png");
    const auto middle = Fixture::pixels(frames / "MixA3.png");
    const auto last = Fixture::pixels(frames / "MixA5.png");
    EXPECT_FALSE(fs::exists(frames / "MixA6.png"));
    EXPECT_EQ(first, fixture.rendered("MixA"));
    EXPECT_EQ(last, fixture.rendered("MixB"));
    EXPECT_NE(middle, first);
    EXPECT_NE(middle, last);
}

// The same animation as an animation data file: each compound key followed by its layer
// entries gives the frames of the keys named on the command line.
TEST(CompoundAnimate, AnAnimationDataFileWithLayerEntriesGivesTheSameFrames) {
    Fixture fixture;
    const std::string file = "AnimDataSpecification {\n Width=32 Height=24 AnimName=MixA\n"
                             " Savemode=0\n}\n"
                             "MixA { Type=Compound DisplayDepth=24 Layer0=BackA Layer1=FrontA"
                             " Left1=2 }\n"
                             "BackA { AnimLayerOf=MixA Type=Mandel DisplayDepth=24"
                             " Corners=-2.5/1.5/-1.6/1.6 }\n"
                             "FrontA { AnimLayerOf=MixA Type=Julia Width=16 Height=12"
                             " DisplayDepth=24 Corners=-2.0/2.0/-1.6/1.6"
                             " params=-0.8/0.156/0.0/0.0 }\n"
                             "MixB { Type=Compound DisplayDepth=24 NumFrames=4 Layer0=BackB"
                             " Layer1=FrontB Left1=14 }\n"
                             "BackB { AnimLayerOf=MixB Type=Mandel DisplayDepth=24"
                             " Corners=-1.0/0.0/-0.4/0.4 }\n"
                             "FrontB { AnimLayerOf=MixB Type=Julia Width=16 Height=12"
                             " DisplayDepth=24 Corners=-1.0/1.0/-0.8/0.8"
                             " params=-0.8/0.156/0.0/0.0 }\n";
    test::writeBytes(fixture.dir / "mix.anim", file);
    const Outcome fromFile =
        test::run(cli::runAnimate, {(fixture.dir / "mix.anim").string(), "--dir", fixture.program,
                                    "-o", (fixture.dir / "file").string()});
    ASSERT_EQ(fromFile.status, 0) << fromFile.err;
    const Outcome fromKeys =
        test::run(cli::runAnimate, {"--key", fixture.par, "MixA", "--key", fixture.par, "MixB",
                                    "--gap", "4", "--size", "32x24", "--dir", fixture.program, "-o",
                                    (fixture.dir / "keys").string()});
    ASSERT_EQ(fromKeys.status, 0) << fromKeys.err;
    for (int f = 1; f <= 5; ++f) {
        const std::string name = "MixA" + std::to_string(f) + ".png";
        EXPECT_EQ(Fixture::pixels(fixture.dir / "file" / name),
                  Fixture::pixels(fixture.dir / "keys" / name))
            << name;
    }
}

TEST(CompoundAnimate, AKeyWithAnotherNumberOfLayersIsRefused) {
    Fixture fixture;
    test::writeBytes(fixture.par,
                     std::string(kProject) + "\nSolo  {\n  Type=Compound\n  Layer0=BackB\n}\n");
    const Outcome done =
        test::run(cli::runAnimate,
                  {"--key", fixture.par, "MixA", "--key", fixture.par, "Solo", "--size", "32x24",
                   "--dir", fixture.program, "-o", (fixture.dir / "frames").string()});
    EXPECT_NE(done.status, 0);
    EXPECT_NE(done.err.find("the key \"Solo\" was refused"), std::string::npos) << done.err;
}

} // namespace
