#include "app/temp_dir.h"
#include "cli/render_command.h"
#include "cli/stitch_command.h"
#include "cli/tiles_command.h"
#include "cli_test_support.h"
#include "imagefile/png_loader.h"
#include "model/image_region.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace vortimax {
namespace {

namespace fs = std::filesystem;
using test::Outcome;
using test::run;

constexpr int kWidth = 400;
constexpr int kHeight = 300;

class PosterTest : public ::testing::Test {
protected:
    PosterTest() {
        test::writeBytes(dir_ / "p.par", "M {\r\n Type=Mandel\r\n}\r\n"
                                         "J {\r\n Type=Julia24\r\n}\r\n"
                                         "F {\r\n Type=Formula\r\n}\r\n"
                                         "P {\r\n Type=Plasma\r\n}\r\n");
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    Outcome render(const std::string& entry, const std::string& output,
                   std::vector<std::string> more = {}) {
        std::vector<std::string> args{path("p.par"), entry, "--size", "400x300",
                                      "--threads",   "2",   "-o",     path(output)};
        args.insert(args.end(), more.begin(), more.end());
        return run(cli::runRender, args);
    }

    // Twelve tiles of uneven sizes, four columns by three rows.
    std::vector<std::string> renderTiles(const std::string& entry) {
        const int xs[] = {0, 37, 170, 301, kWidth};
        const int ys[] = {0, 11, 160, kHeight};
        std::vector<std::string> tiles;
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 4; ++column) {
                const std::string region = std::to_string(xs[column]) + ',' +
                                           std::to_string(ys[row]) + ',' +
                                           std::to_string(xs[column + 1] - xs[column]) + ',' +
                                           std::to_string(ys[row + 1] - ys[row]);
                const std::string name = entry + "-" + std::to_string(tiles.size()) + ".png";
                const Outcome done = render(entry, name, {"--region", region});
                EXPECT_EQ(done.status, 0) << done.err;
                tiles.push_back(path(name));
            }
        return tiles;
    }

    Outcome stitch(std::vector<std::string> tiles, const std::string& output) {
        tiles.insert(tiles.end(), {"--quiet", "-o", path(output)});
        return run(cli::runStitch, tiles);
    }

    static DecodedPng decoded(const std::string& file) {
        DecodedPng image;
        EXPECT_EQ(loadPng(file, image), PngLoadResult::Loaded) << file;
        return image;
    }

    test::TempDir dir_;
};

// Values and colours of a region are the whole image's there, for a palette type, a true
// colour type and a formula: the stitched tiles are the whole render, byte for byte, and
// the poster carries the whole image's parameters.
TEST_F(PosterTest, UnevenTilesStitchToTheWholeImage) {
    for (const std::string entry : {"M", "J", "F"}) {
        SCOPED_TRACE(entry);
        ASSERT_EQ(render(entry, entry + ".png").status, 0);
        const Outcome joined = stitch(renderTiles(entry), entry + "-poster.png");
        ASSERT_EQ(joined.status, 0) << joined.err;
        const DecodedPng whole = decoded(path(entry + ".png"));
        const DecodedPng poster = decoded(path(entry + "-poster.png"));
        EXPECT_EQ(poster.width, kWidth);
        EXPECT_EQ(poster.height, kHeight);
        EXPECT_EQ(poster.palette.has_value(), whole.palette.has_value());
        EXPECT_TRUE(poster.bgrRows == whole.bgrRows) << "pixels differ";
        EXPECT_EQ(poster.parameterTexts, whole.parameterTexts);
    }
}

TEST_F(PosterTest, StitchRefusesTilesThatDoNotMakeOneImage) {
    std::vector<std::string> tiles = renderTiles("M");
    ASSERT_EQ(render("J", "foreign.png", {"--region", "0,0,37,11"}).status, 0);
    ASSERT_EQ(render("M", "overlap.png", {"--region", "30,5,20,20"}).status, 0);
    ASSERT_EQ(render("M", "whole.png").status, 0);
    const std::string truncated = path("truncated.png");
    fs::copy_file(tiles[5], truncated);
    fs::resize_file(truncated, fs::file_size(truncated) / 2);

    auto without = [&](std::size_t index, const std::string& replacement) {
        std::vector<std::string> set = tiles;
        set.erase(set.begin() + static_cast<std::ptrdiff_t>(index));
        if (!replacement.empty())
            set.push_back(replacement);
        return set;
    };
    const struct {
        std::vector<std::string> tiles;
        std::string message;
    } cases[] = {
        {without(7, ""), "a tile is missing: no tile covers pixel 301,11"},
        {without(0, path("foreign.png")), "belongs to another image"},
        {without(99, path("overlap.png")), "overlap"},
        {without(99, path("whole.png")), "is not a tile"},
        {without(5, truncated), "cannot be"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        const Outcome refused = stitch(c.tiles, "poster.png");
        EXPECT_EQ(refused.status, 1);
        EXPECT_NE(refused.err.find(c.message), std::string::npos) << refused.err;
        EXPECT_FALSE(fs::exists(path("poster.png")));
    }
}

TEST_F(PosterTest, RegionsOfTypesWhosePixelsDependOnEachOtherAreRefused) {
    const Outcome plasma = render("P", "p.png", {"--region", "0,0,10,10"});
    EXPECT_EQ(plasma.status, 2);
    EXPECT_NE(plasma.err.find("Plasma"), std::string::npos) << plasma.err;
    const Outcome outside = render("M", "m.png", {"--region", "390,0,20,10"});
    EXPECT_EQ(outside.status, 2);
    EXPECT_NE(outside.err.find("does not lie inside the 400x300 image"), std::string::npos);
    EXPECT_EQ(run(cli::runTiles, {path("p.par"), "P", "--size", "400x300", "--count", "4"}).status,
              1);
}

// Every pixel in exactly one tile, whatever the cut.
void expectExactCover(const std::vector<cli::TileRectangle>& tiles, int width, int height) {
    std::vector<int> covered(static_cast<std::size_t>(width) * height, 0);
    for (const auto& [x, y, w, h] : tiles)
        for (int row = y; row < y + h; ++row)
            for (int column = x; column < x + w; ++column)
                ++covered[static_cast<std::size_t>(row) * width + column];
    EXPECT_TRUE(std::all_of(covered.begin(), covered.end(), [](int n) { return n == 1; }));
}

TEST(PosterTiles, CutsCoverTheImageAndPrintRunnableCommands) {
    const auto twelve = cli::tilesByCount(400, 300, 12);
    ASSERT_EQ(twelve.size(), 12u);
    expectExactCover(twelve, 400, 300);
    EXPECT_EQ(twelve[0], (cli::TileRectangle{0, 0, 100, 100})); // 4 x 3 squares
    const auto seven = cli::tilesByCount(70, 13, 7);            // a prime: strips
    ASSERT_EQ(seven.size(), 7u);
    expectExactCover(seven, 70, 13);
    EXPECT_TRUE(cli::tilesByCount(3, 2, 7).empty()); // more tiles than pixels
    const auto sized = cli::tilesBySize(400, 300, 77, 61);
    EXPECT_EQ(sized.size(), 6u * 5u);
    expectExactCover(sized, 400, 300);

    test::TempDir dir;
    test::writeBytes(dir / "a b.par", "M {\r\n Type=Mandel\r\n}\r\n");
    const Outcome lines = run(cli::runTiles, {(dir / "a b.par").string(), "M", "--size", "400x300",
                                              "--count", "12", "--set", "MaxIter=99", "-o", "t"});
    ASSERT_EQ(lines.status, 0) << lines.err;
    EXPECT_NE(lines.out.find("'" + (dir / "a b.par").string() +
                             "' M --size 400x300 --region 0,0,100,100 --set MaxIter=99 --quiet "
                             "-o t-01.png\n"),
              std::string::npos)
        << lines.out;
    EXPECT_EQ(std::count(lines.out.begin(), lines.out.end(), '\n'), 12);
}

TEST(ImageRegion, TextReadsBackAndDamagedTextIsRefused) {
    const ImageRegion region{37, 11, 133, 149, 400, 300};
    EXPECT_EQ(regionText(region), "37,11,133,149 of 400x300");
    EXPECT_EQ(parseRegionText(regionText(region)), region);
    for (const char* damaged :
         {"37,11,133 of 400x300", "300,0,101,1 of 400x300", "0,0,1,1 of 400x",
          "-1,0,1,1 of 400x300", "0,0,1,1 of 400x300 ", "99999999999,0,1,1 of 400x300", ""})
        EXPECT_FALSE(parseRegionText(damaged).has_value()) << damaged;
}

} // namespace
} // namespace vortimax
