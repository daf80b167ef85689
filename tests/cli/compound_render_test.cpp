#include "app/temp_dir.h"
#include "cli/render_command.h"
#include "imagefile/png_loader.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace vortimax;
using vortimax::test::TempDir;
namespace fs = std::filesystem;

namespace {

// Two layers and three compounds of them: transparency with the smaller layer moved right,
// a compound naming a fractal the file lacks, and one that is its own layer.
constexpr std::string_view kProject = "Base  {\r\n"
                                      "  Type=Mandel\r\n"
                                      "  DisplayDepth=24\r\n"
                                      "  Corners=-2.5/1.5/-1.6/1.6\r\n"
                                      "}\r\n"
                                      "\r\n"
                                      "Top  {\r\n"
                                      "  Type=Julia\r\n"
                                      "  Width=16\r\n"
                                      "  Height=12\r\n"
                                      "  DisplayDepth=24\r\n"
                                      "  Corners=-2.0/2.0/-1.6/1.6\r\n"
                                      "  params=-0.8/0.156/0.0/0.0\r\n"
                                      "}\r\n"
                                      "\r\n"
                                      "Mix  {\r\n"
                                      "  Type=Compound\r\n"
                                      "  Layer0=Base\r\n"
                                      "  Layer1=Top\r\n"
                                      "  Left1=10\r\n"
                                      "}\r\n"
                                      "\r\n"
                                      "Lost  {\r\n"
                                      "  Type=Compound\r\n"
                                      "  Layer0=Base\r\n"
                                      "  Layer1=Nowhere\r\n"
                                      "}\r\n"
                                      "\r\n"
                                      "Self  {\r\n"
                                      "  Type=Compound\r\n"
                                      "  Layer0=Self\r\n"
                                      "}\r\n";

struct Rendered {
    int status = 0;
    std::string err;
    DecodedPng image;
};

class CompoundRender : public ::testing::Test {
protected:
    CompoundRender() {
        fs::create_directories(dir / "program");
        std::ofstream(dir / "project.par", std::ios::binary) << kProject;
    }

    Rendered render(std::string entry, std::string size) {
        const std::string png = (dir / (entry + ".png")).string();
        const std::string par = (dir / "project.par").string();
        const std::string program = (dir / "program").string();
        std::vector<std::string_view> args = {par,     entry,   "--size", size,
                                              "--dir", program, "-o",     png};
        std::ostringstream out, err;
        Rendered result;
        result.status = cli::runRender(args, out, err);
        result.err = err.str();
        if (result.status == 0) {
            EXPECT_EQ(loadPng(png, result.image), PngLoadResult::Loaded);
        }
        return result;
    }

    TempDir dir;
};

// Blue, green, red of pixel (x, row) of a decoded image, rows counted from the bottom.
std::array<std::uint8_t, 3> at(const DecodedPng& image, int x, int row) {
    const std::size_t i = (static_cast<std::size_t>(row) * image.width + x) * 3;
    return {image.bgrRows[i], image.bgrRows[i + 1], image.bgrRows[i + 2]};
}

TEST_F(CompoundRender, LayersOfTheSameFileAreCalculatedAndMerged) {
    const Rendered base = render("Base", "32x24");
    const Rendered top = render("Top", "16x12");
    const Rendered mix = render("Mix", "32x24");
    ASSERT_EQ(mix.status, 0) << mix.err;
    ASSERT_EQ(mix.image.width, 32);
    ASSERT_EQ(mix.image.height, 24);
    int fromTop = 0;
    for (int row = 0; row < 24; ++row) {
        for (int x = 0; x < 32; ++x) {
            // The top layer fills the lower 12 rows, from column 10 on; its black is
            // see-through.
            const bool covered = x >= 10 && x < 26 && row < 12;
            auto expected = at(base.image, x, row);
            if (covered) {
                const auto upper = at(top.image, x - 10, row);
                if (upper != std::array<std::uint8_t, 3>{}) {
                    expected = upper;
                    ++fromTop;
                }
            }
            ASSERT_EQ(at(mix.image, x, row), expected) << x << ", " << row;
        }
    }
    EXPECT_GT(fromTop, 20);
    EXPECT_NE(mix.image.parameterTexts.at(0).find("Layer1=Top"), std::string::npos);
}

TEST_F(CompoundRender, MissingAndSelfReferringLayersSayWhy) {
    const Rendered lost = render("Lost", "16x8");
    EXPECT_EQ(lost.status, 1);
    EXPECT_NE(lost.err.find("\"Lost\" has the layer \"Nowhere\", which is no entry"),
              std::string::npos)
        << lost.err;
    const Rendered self = render("Self", "16x8");
    EXPECT_EQ(self.status, 1);
    EXPECT_NE(self.err.find("cannot calculate \"Self\": layer 0 \"Self\""), std::string::npos)
        << self.err;
}

} // namespace
