#include "app/temp_dir.h"
#include "imagefile/png_loader.h"
#include "imagefile/png_writer.h"
#include "png_test_support.h"
#include "support/device_nodes.h"
#include "support/hand_made_png.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

namespace vortimax {
namespace {

namespace fs = std::filesystem;

using test::chunkTypes;
using test::patternBuffers;
using test::readBytes;
using test::TempDir;

ColourTable testColours() {
    ColourTable colours;
    for (std::size_t i = 0; i < colours.entries.size(); ++i)
        colours.entries[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                              static_cast<std::uint8_t>(i * 3), 1};
    return colours;
}

const std::string kEntry = "Test  {\r\n  Type=Mandel\r\n  MaxIter=\xe9\r\n}";

TEST(PngWriter, PaletteImageHasChunksInOrderAndReadsBackExactly) {
    TempDir dir;
    const auto buffers = patternBuffers(37, 11, 1);
    const auto colours = testColours();
    std::vector<double> progress;
    const auto result = writeFractalPng({buffers, colours, false}, kEntry, dir / "p.png", nullptr,
                                        [&](double f) { progress.push_back(f); });
    ASSERT_EQ(result, PngWriteResult::Written);
    EXPECT_EQ(chunkTypes(readBytes(dir / "p.png")),
              (std::vector<std::string>{"IHDR", "PLTE", "IDAT", "zTXt", "IEND"}));
    ASSERT_EQ(progress.size(), 11u);
    EXPECT_DOUBLE_EQ(progress.back(), 1.0);

    DecodedPng image;
    ASSERT_EQ(loadPng(dir / "p.png", image), PngLoadResult::Loaded);
    ASSERT_EQ((std::array{image.width, image.height}), (std::array{37, 11}));
    ASSERT_TRUE(image.palette.has_value());
    for (std::size_t i = 0; i < 256; ++i) {
        const auto& e = colours.entries[i];
        EXPECT_EQ((*image.palette)[i], (std::array<std::uint8_t, 3>{e.red, e.green, e.blue}));
    }
    // Loaded rows are bottom-up like the buffer, as the palette colours of the indices.
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 37; ++x) {
            const auto& e = colours.entries[buffers.pixels[y * buffers.rowLength + x]];
            const std::uint8_t* p = &image.bgrRows[(y * 37 + x) * 3];
            ASSERT_EQ((std::array{p[0], p[1], p[2]}), (std::array{e.blue, e.green, e.red}));
        }
    EXPECT_EQ(image.parameterTexts, std::vector<std::string>{kEntry});
}

TEST(PngWriter, TrueColourAnd3DImagesAreRgbWithTopRowFirst) {
    TempDir dir;
    auto buffers = patternBuffers(5, 4, 3);
    buffers.image3D.assign(buffers.pixels.size(), 0);
    std::copy_n("\x0b\x16\x21", 3, buffers.image3D.begin()); // bottom-left pixel, red first
    const auto colours = testColours();
    ASSERT_EQ(writeFractalPng({buffers, colours, false}, kEntry, dir / "2d.png"),
              PngWriteResult::Written);
    ASSERT_EQ(writeFractalPng({buffers, colours, true}, kEntry, dir / "3d.png"),
              PngWriteResult::Written);
    for (const char* name : {"2d.png", "3d.png"})
        EXPECT_EQ(chunkTypes(readBytes(dir / name)),
                  (std::vector<std::string>{"IHDR", "IDAT", "zTXt", "IEND"}));

    // Read the raw file rows with libpng, without the loader's conversions.
    auto rawRows = [](const std::filesystem::path& path) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, f);
        png_read_info(png, info);
        EXPECT_EQ(png_get_color_type(png, info), PNG_COLOR_TYPE_RGB);
        std::vector<std::vector<png_byte>> rows(png_get_image_height(png, info),
                                                std::vector<png_byte>(png_get_rowbytes(png, info)));
        for (auto& row : rows)
            png_read_row(png, row.data(), nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        return rows;
    };
    const auto rows2D = rawRows(dir / "2d.png");
    ASSERT_EQ(rows2D.size(), 4u);
    const std::uint8_t* bottom = buffers.pixelRow(0);
    // The bottom-left pixel is in the last file row, red first.
    EXPECT_EQ((std::array{rows2D[3][0], rows2D[3][1], rows2D[3][2]}),
              (std::array{bottom[2], bottom[1], bottom[0]}));
    EXPECT_EQ(rows2D[0][0], buffers.pixelRow(3)[2]);
    const auto rows3D = rawRows(dir / "3d.png");
    EXPECT_EQ((std::vector<png_byte>(rows3D[3].begin(), rows3D[3].begin() + 3)),
              (std::vector<png_byte>{11, 22, 33}));
}

TEST(PngWriter, FailuresLeaveNoFileBehind) {
    TempDir dir;
    const auto buffers = patternBuffers(8, 50, 1);
    const auto colours = testColours();
    test::writeBytes(dir / "old.png", "old");
    std::atomic<bool> abort{false};
    int rows = 0;
    const auto result =
        writeFractalPng({buffers, colours, false}, kEntry, dir / "old.png", &abort, [&](double) {
            if (++rows == 3)
                abort = true;
        });
    EXPECT_EQ(result, PngWriteResult::Aborted);
    EXPECT_EQ(rows, 3); // stopped after the next row
    EXPECT_EQ(readBytes(dir / "old.png"), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    EXPECT_EQ(writeFractalPng({buffers, colours, false}, kEntry, dir / "missing" / "x.png"),
              PngWriteResult::NotOpened);
    ImageBuffers empty;
    EXPECT_EQ(writeFractalPng({empty, colours, true}, kEntry, dir / "e.png"),
              PngWriteResult::WriteError);
    EXPECT_FALSE(std::filesystem::exists(dir / "e.png"));
}

// A full device refuses the image: a write error, and the device stays a device.
TEST(PngWriter, FullDeviceIsAWriteError) {
    TempDir dir;
    const auto full = vortimax::testing::testDevice(dir.path(), "full");
    if (!full)
        GTEST_SKIP() << "no full device that is safe to write";
    std::error_code error;
    EXPECT_EQ(writeFractalPng({patternBuffers(64, 64, 3), testColours(), false}, kEntry, *full,
                              nullptr, {}, &error),
              PngWriteResult::WriteError);
    EXPECT_EQ(error, std::errc::no_space_on_device);
    EXPECT_TRUE(std::filesystem::is_character_file(*full));
}

TEST(PngLoader, ForeignAndBrokenFiles) {
    TempDir dir;
    DecodedPng image;
    ASSERT_TRUE(test::writeForeignPng(dir / "grey.png", 6, 3, PNG_COLOR_TYPE_GRAY));
    ASSERT_EQ(loadPng(dir / "grey.png", image), PngLoadResult::Loaded);
    EXPECT_TRUE(image.parameterTexts.empty());
    ASSERT_TRUE(image.palette.has_value());
    EXPECT_EQ((*image.palette)[200], (std::array<std::uint8_t, 3>{200, 200, 200}));
    // Top file row is the last buffer row; grey g becomes blue = green = red = g.
    EXPECT_EQ(image.bgrRows[(2 * 6 + 1) * 3], 3);
    EXPECT_EQ(image.bgrRows[(0 * 6 + 1) * 3 + 2], 5);

    ASSERT_TRUE(test::writeForeignPng(dir / "pal.png", 4, 2, PNG_COLOR_TYPE_PALETTE));
    ASSERT_EQ(loadPng(dir / "pal.png", image), PngLoadResult::Loaded);
    EXPECT_EQ((*image.palette)[3], (std::array<std::uint8_t, 3>{200, 210, 220}));
    EXPECT_EQ((*image.palette)[4], (std::array<std::uint8_t, 3>{0, 0, 0}));

    ASSERT_TRUE(test::writeForeignPng(dir / "rgb.png", 4, 2, PNG_COLOR_TYPE_RGB));
    ASSERT_EQ(loadPng(dir / "rgb.png", image), PngLoadResult::Loaded);
    EXPECT_FALSE(image.palette.has_value());

    // Truncated data, a bad signature and a missing file leave the image as it was.
    const std::string bytes = readBytes(dir / "pal.png");
    test::writeBytes(dir / "cut.png", bytes.substr(0, bytes.size() - 20));
    EXPECT_EQ(loadPng(dir / "cut.png", image), PngLoadResult::ReadError);
    test::writeBytes(dir / "bad.png", "GIF89a..........");
    EXPECT_EQ(loadPng(dir / "bad.png", image), PngLoadResult::ReadError);
    EXPECT_EQ(loadPng(dir / "none.png", image), PngLoadResult::NotOpened);
    EXPECT_EQ(image.width, 4);
    EXPECT_FALSE(image.palette.has_value());
    EXPECT_TRUE(hasPngSignature(bytes));
    EXPECT_FALSE(hasPngSignature(bytes.substr(0, 7)));
}

TEST(PngLoader, DeclaredSizeIsJudgedBeforeAnythingIsAllocated) {
    TempDir dir;
    DecodedPng image;
    // A side beyond the program's largest, with a correct CRC: only the limit refuses it.
    // (The messages for both refusals are checked word for word by the command-line tests.)
    test::writeBytes(dir / "wide.png", test::handMadePng(100000, 100000, std::string(10, '\0')));
    EXPECT_EQ(loadPng(dir / "wide.png", image), PngLoadResult::TooLarge);
    test::writeBytes(dir / "tall.png", test::handMadePng(1, 32769, std::string(10, '\0')));
    EXPECT_EQ(loadPng(dir / "tall.png", image), PngLoadResult::TooLarge);

    // Within the limit, but a gigabyte of pixels no file of a few hundred bytes can hold.
    test::writeBytes(dir / "short.png", test::handMadePng(32768, 32768, std::string(1000, '\0')));
    EXPECT_EQ(loadPng(dir / "short.png", image), PngLoadResult::TooShort);
    EXPECT_EQ(image.width, 0);
    EXPECT_TRUE(image.bgrRows.empty());

    // A text chunk whose length field says 1 GiB (one bit flipped) fails as damaged. The
    // fuzz seed text-length-1gib.png checks that no gigabyte is allocated on the way.
    std::string flipped = test::handMadePng(2, 2, {}, "Picture { type=mandel }");
    flipped[flipped.find("tEXt") - 4] |= 0x40;
    test::writeBytes(dir / "flipped.png", flipped);
    EXPECT_EQ(loadPng(dir / "flipped.png", image), PngLoadResult::ReadError);

    // Zeros compressed as well as deflate can are still within the bound.
    test::writeBytes(dir / "zeros.png", test::handMadePng(2000, 1500));
    ASSERT_EQ(loadPng(dir / "zeros.png", image), PngLoadResult::Loaded);
    EXPECT_EQ(image.bgrRows.size(), 2000u * 1500u * 3u);
}

TEST(PngLoader, OnlyRegularFilesAreOpened) {
    TempDir dir;
    DecodedPng image;
    // Opening a pipe for reading would wait for a writer that never comes.
    ASSERT_EQ(::mkfifo((dir / "pipe.png").c_str(), 0600), 0);
    EXPECT_EQ(loadPng(dir / "pipe.png", image), PngLoadResult::NotAFile);
    fs::create_directory(dir / "folder.png");
    EXPECT_EQ(loadPng(dir / "folder.png", image), PngLoadResult::NotAFile);
    EXPECT_EQ(pngLoadProblem(PngLoadResult::NotAFile, {}), "it is not a regular file");
}

} // namespace
} // namespace vortimax
