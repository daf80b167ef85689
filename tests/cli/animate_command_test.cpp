#include "../video/video_decoding.h"
#include "animation/anim_file.h"
#include "app/temp_dir.h"
#include "cli/animate_command.h"
#include "cli_test_support.h"
#include "imagefile/png_loader.h"
#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "palette/palette_list.h"
#include "parfile/entry_parser.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace vortimax;
using vortimax::test::Outcome;
using vortimax::test::readBytes;
using vortimax::test::TempDir;

namespace {

Outcome animate(std::vector<std::string> args) {
    return vortimax::test::run(cli::runAnimate, std::move(args));
}

constexpr std::string_view kKeys = "Wide {\n  Type=Mandel\n  Corners=-2.5/1.5/-1.5/1.5\n"
                                   "  MaxIter=100\n}\n"
                                   "Deep {\n  Type=Mandel\n  Corners=-0.7475/-0.7425/0.1/0.10375\n"
                                   "  MaxIter=300\n}\n"
                                   "Julia {\n  Type=Julia\n}\n";

struct Keys {
    TempDir dir;
    std::string par = (dir / "keys.par").string();
    std::string program = (dir / "program").string();
    Keys() { test::writeBytes(par, kKeys); }
    std::vector<std::string> args(std::vector<std::string> more) const {
        std::vector<std::string> all = {"--key", par,    "Wide",  "--key",
                                        par,     "Deep", "--dir", program};
        all.insert(all.end(), more.begin(), more.end());
        return all;
    }
};

std::unique_ptr<FractalRecord> frameRecord(const std::filesystem::path& png) {
    DecodedPng image;
    if (loadPng(png, image) != PngLoadResult::Loaded || image.parameterTexts.size() != 1)
        return nullptr;
    PaletteList palettes;
    auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
    if (!parseEntryText(*record, image.parameterTexts[0], palettes, {}))
        return nullptr;
    return record;
}

TEST(AnimateCommand, FrameRangesMadeSeparatelyEqualOneRun) {
    Keys keys;
    const std::string whole = (keys.dir / "whole").string();
    const std::string split = (keys.dir / "split").string();
    Outcome one = animate(keys.args({"--gap", "5", "--size", "48x32", "-o", whole}));
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_NE(one.out.find("6 frames (1-6) of 6"), std::string::npos) << one.out;
    ASSERT_EQ(animate(keys.args({"--gap", "5", "--size", "48x32", "--frames", "1-2", "-o", split}))
                  .status,
              0);
    ASSERT_EQ(animate(keys.args({"--gap", "5", "--size", "48x32", "--frames", "3-6", "-o", split}))
                  .status,
              0);
    for (int f = 1; f <= 6; ++f) {
        const std::string name = "Wide" + std::to_string(f) + ".png";
        const std::string bytes = readBytes(keys.dir / "whole" / name);
        ASSERT_FALSE(bytes.empty()) << name;
        EXPECT_EQ(bytes, readBytes(keys.dir / "split" / name)) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(keys.dir / "whole" / "Wide7.png"));
    // The frames carry their interpolated parameters: the keys at both ends, half-way
    // values between.
    auto first = frameRecord(keys.dir / "whole" / "Wide1.png");
    auto middle = frameRecord(keys.dir / "whole" / "Wide4.png");
    auto last = frameRecord(keys.dir / "whole" / "Wide6.png");
    ASSERT_TRUE(first && middle && last);
    EXPECT_EQ(first->params().integer("MaxIter"), 100);
    EXPECT_EQ(middle->params().integer("MaxIter"), 220);
    EXPECT_EQ(last->params().integer("MaxIter"), 300);
    EXPECT_NEAR(last->params().bigFixed("TopLeftR").toDouble(), -0.7475, 1e-12);
    DecodedPng image;
    ASSERT_EQ(loadPng(keys.dir / "whole" / "Wide1.png", image), PngLoadResult::Loaded);
    EXPECT_TRUE(image.width == 48 && image.height == 32);
}

TEST(AnimateCommand, MakesTheFramesOfAnAnimationDataFileUnderASafeName) {
    TempDir dir;
    AnimData data;
    data.name = "../up";
    data.width = 40;
    data.height = 30;
    data.startFrame = 2;
    auto a = createRecord(kTypeMandel, 0, RecordCreationContext{});
    auto b = createRecord(kTypeMandel, 0, RecordCreationContext{});
    a->name = "A";
    b->name = "B";
    b->numFrames = 3;
    b->params().setInteger("MaxIter", 400);
    ASSERT_TRUE(writeAnimationFile(dir / "zoom.anim", data, {a.get(), b.get()}));
    Outcome done = animate({(dir / "zoom.anim").string(), "--dir", (dir / "program").string(), "-o",
                            (dir / "frames").string()});
    ASSERT_EQ(done.status, 0) << done.err;
    // The start frame of the file counts; the name cannot leave the folder.
    EXPECT_FALSE(std::filesystem::exists(dir / "frames" / ".._up1.png"));
    for (int f = 2; f <= 4; ++f)
        EXPECT_TRUE(
            std::filesystem::exists(dir / "frames" / (".._up" + std::to_string(f) + ".png")))
            << done.out << done.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "up2.png"));
}

// The PNG's pixels, top row first, as red-green-blue triples (as a decoder gives them).
std::vector<std::uint8_t> topDownRgb(const DecodedPng& image) {
    std::vector<std::uint8_t> rgb;
    const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
    for (int y = image.height - 1; y >= 0; --y) {
        const std::uint8_t* row = image.bgrRows.data() + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < image.width; ++x)
            rgb.insert(rgb.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
    }
    return rgb;
}

// Ten frames of an odd width (rows that need padding) as PNG files and as lossless videos:
// every video frame decodes to exactly the pixels of its PNG.
TEST(AnimateCommand, LosslessVideosHoldExactlyThePngFrames) {
    Keys keys;
    const std::string frames = (keys.dir / "frames").string();
    Outcome png = animate(keys.args({"--gap", "9", "--size", "45x31", "-o", frames}));
    ASSERT_EQ(png.status, 0) << png.err;
    std::vector<std::vector<std::uint8_t>> expected;
    for (int f = 1; f <= 10; ++f) {
        DecodedPng image;
        ASSERT_EQ(loadPng(keys.dir / "frames" / ("Wide" + std::to_string(f) + ".png"), image),
                  PngLoadResult::Loaded);
        expected.push_back(topDownRgb(image));
    }
    for (const char* codec : {"dib", "ffv1"}) {
        const auto file = keys.dir / "video" / (std::string(codec) + ".avi");
        Outcome done = animate(keys.args({"--gap", "9", "--size", "45x31", "--format", "avi",
                                          "--codec", codec, "-o", file.string()}));
        ASSERT_EQ(done.status, 0) << done.err;
        EXPECT_NE(done.out.find("wrote " + file.string()), std::string::npos) << done.out;
        const test::DecodedVideo video = test::decodeVideo(file);
        ASSERT_EQ(video.error, "") << codec;
        EXPECT_EQ(video.frameRateNum, 15);
        ASSERT_EQ(video.frames.size(), 10u) << codec;
        for (std::size_t f = 0; f < 10; ++f) {
            EXPECT_EQ(video.frames[f].width, 45);
            EXPECT_EQ(video.frames[f].rgb, expected[f]) << codec << " frame " << f + 1;
        }
    }
    // A frame range is a video of its own, starting with the range's first frame.
    const auto part = keys.dir / "part.avi";
    ASSERT_EQ(animate(keys.args({"--gap", "9", "--size", "45x31", "--format", "avi", "--frames",
                                 "4-6", "-o", part.string()}))
                  .status,
              0);
    const test::DecodedVideo video = test::decodeVideo(part);
    ASSERT_EQ(video.frames.size(), 3u);
    EXPECT_EQ(video.frames[0].rgb, expected[3]);
}

TEST(AnimateCommand, RefusesWhatCannotMakeAnAnimation) {
    Keys keys;
    const std::string out = (keys.dir / "out").string();
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string_view message;
    };
    const Case cases[] = {
        {keys.args({"--gap", "0.5", "-o", out}), 2, "--gap \"0.5\" is not allowed"},
        {keys.args({"--gap", "nan", "-o", out}), 2, "is not allowed"},
        {keys.args({"--format", "gif", "-o", out}), 2, "--format is png, avi or mp4"},
        {keys.args({"--codec", "ffv1", "-o", out}), 2, "--codec goes with --format avi or mp4"},
        {keys.args({"--format", "mp4", "--codec", "ffv1", "-o", out}), 2, "into an MP4 file"},
        {keys.args({"--format", "avi", "--codec", "x264", "-o", out}), 2, "Unknown video codec"},
        {keys.args({"--frames", "5-3", "-o", out}), 2, "--frames \"5-3\""},
        {keys.args({"--frames", "3-12", "-o", out}), 2, "beyond the last frame, 11"},
        {keys.args({}), 2, "usage:"},
        {{"--key", keys.par, "Wide", "--dir", keys.program, "-o", out},
         1,
         "There must be at least two AnimKeys"},
        {keys.args({"--key", keys.par, "Julia", "-o", out}), 1, "was refused"},
        {{keys.par, "--dir", keys.program, "-o", out}, 1, "not an animation data file"},
    };
    for (const Case& c : cases) {
        Outcome done = animate(c.args);
        EXPECT_EQ(done.status, c.status) << c.message << ": " << done.err;
        EXPECT_NE(done.err.find(c.message), std::string::npos) << done.err;
    }
    EXPECT_FALSE(std::filesystem::exists(keys.dir / "out" / "Wide1.png"));
}

} // namespace
