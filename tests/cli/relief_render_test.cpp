#include "app/temp_dir.h"
#include "cli/render_command.h"
#include "imagefile/png_loader.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace vortimax;
using vortimax::test::TempDir;

namespace {

struct Outcome {
    int status;
    std::string err;
    DecodedPng image;
};

Outcome render(std::vector<std::string> args, const std::filesystem::path& png) {
    args.push_back("-o");
    args.push_back(png.string());
    std::vector<std::string_view> views(args.begin(), args.end());
    std::ostringstream out, err;
    Outcome outcome{cli::runRender(views, out, err), err.str(), {}};
    if (outcome.status == 0) {
        EXPECT_EQ(loadPng(png, outcome.image), PngLoadResult::Loaded);
    }
    return outcome;
}

// Blue, green, red of pixel (x, y), rows from the top.
std::array<int, 3> pixel(const DecodedPng& image, int x, int y) {
    const std::size_t row = static_cast<std::size_t>(image.height - 1 - y);
    const std::size_t stride = image.bgrRows.size() / static_cast<std::size_t>(image.height);
    const std::uint8_t* p = image.bgrRows.data() + row * stride + static_cast<std::size_t>(x) * 3;
    return {p[0], p[1], p[2]};
}

// --3d writes the relief: the sky above the relief is the background colour the
// settings give, changed by --set like any 3D setting.
TEST(ReliefRender, ThreeDWritesTheReliefWithItsSettings) {
    TempDir dir;
    const Outcome flat = render({"Mandel", "--size", "48x36", "--depth", "24"}, dir / "flat.png");
    ASSERT_EQ(flat.status, 0) << flat.err;
    const Outcome relief = render(
        {"Mandel", "--size", "48x36", "--depth", "24", "--3d", "--set", "Backgroundgreen=200"},
        dir / "relief.png");
    ASSERT_EQ(relief.status, 0) << relief.err;
    EXPECT_NE(relief.image.bgrRows, flat.image.bgrRows);
    EXPECT_EQ(pixel(relief.image, 1, 0), (std::array{0, 200, 0}));
    const Outcome eightBit = render(
        {"Mandel", "--size", "48x36", "--3d", "--set", "Backgroundgreen=200"}, dir / "relief8.png");
    ASSERT_EQ(eightBit.status, 0) << eightBit.err;
    EXPECT_EQ(eightBit.image.bgrRows, relief.image.bgrRows); // the relief is true colour
}

TEST(ReliefRender, FiltersChangeTheTrueColourImage) {
    TempDir dir;
    const std::vector<std::string> base = {"Mandel", "--size", "48x36", "--depth", "24"};
    auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> args = base;
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    const Outcome original = render(with({"--filter", "0"}), dir / "o.png");
    const Outcome edges = render(with({"--filter", "1"}), dir / "e.png");
    ASSERT_EQ(edges.status, 0) << edges.err;
    EXPECT_NE(edges.image.bgrRows, original.image.bgrRows);
    const Outcome halfSize = render(with({"--filter", "6"}), dir / "a.png");
    ASSERT_EQ(halfSize.status, 0) << halfSize.err;
    EXPECT_EQ(halfSize.image.width, 24);
    EXPECT_EQ(halfSize.image.height, 18);

    EXPECT_EQ(render(with({"--filter", "7"}), dir / "x.png").status, 2);
    EXPECT_EQ(render(with({"--filter", "1", "--3d"}), dir / "x.png").status, 2);
    EXPECT_EQ(render({"Mandel", "--depth", "8", "--filter", "1"}, dir / "x.png").status, 2);
    EXPECT_EQ(render({"IFS", "--3d"}, dir / "x.png").status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.png"));
}

} // namespace
