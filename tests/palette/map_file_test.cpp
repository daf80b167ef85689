#include "palette/map_file.h"
#include "palette_test_support.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

using namespace vortimax;
using namespace vortimax::test;
using namespace std::string_literals;

namespace {

Palette read(const std::string& text) {
    std::istringstream in(text);
    return readMap(in, "Test");
}

// Colour i of a ramp away from black and white, which triggers neither repair.
Rgb plain(std::size_t i) {
    return {static_cast<int>(i * 7 + 40) % 200 + 20, static_cast<int>(i * 3) % 180 + 30, 60};
}

std::string plainText(std::size_t n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i)
        text += std::to_string(plain(i).red) + " " + std::to_string(plain(i).green) + " 60\n";
    return text;
}

std::size_t nonBlack(const Palette& palette) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < kPaletteEntries; ++i)
        count += palette.colour(i) != Rgb{} ? 1 : 0;
    return count;
}

TEST(MapFiles, FullFileReadWrittenAndReadBack) {
    Palette palette = read(plainText(257));
    for (std::size_t i = 0; i < kPaletteEntries; ++i)
        ASSERT_EQ(std::pair(palette.colour(i), palette.knotKey(i)), std::pair(plain(i), 7)) << i;
    for (std::size_t i = kPaletteColours; i < kPaletteEntries; ++i)
        palette.setColour(i, {}); // not stored in the file
    palette.setKnotKey(0, 0);
    palette.setKnotKey(7, 3);
    palette.setKnotKey(8, 0);
    palette.setName("My_Fire");
    TempDir dir;
    const auto path = dir / "my_fire.map";
    ASSERT_TRUE(writeMapFile(palette, path));
    // 252 lines ending in CR LF; entry 0 carries its key even when it is 0.
    const std::string text = readBytes(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 252);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 252);
    EXPECT_TRUE(text.starts_with("60 30 60 ; key=0\r\n") && text.ends_with("\r\n"));
    EXPECT_NE(text.find("\r\n109 51 60 ; key=3\r\n116 54 60\r\n"), std::string::npos);
    EXPECT_EQ(readMapFile(path), palette);
    for (const std::filesystem::path& bad :
         {dir / "missing.map", dir.path(), std::filesystem::path(),
          std::filesystem::path("/dev/zero")})
        EXPECT_FALSE(readMapFile(bad).has_value()) << bad;
    // A failed write leaves what was there untouched and no file behind.
    std::filesystem::create_directory(dir / "taken.map");
    EXPECT_FALSE(writeMapFile(palette, dir / "taken.map"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.map"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(MapRead, KeysAndWhereTheColoursEnd) {
    // The first line's key (even 0) makes the file keyed: lines without one lose their
    // knots. Blanks around the semicolon are allowed; "KEY" and a key beyond the 510
    // characters read of a line are not seen.
    const Palette keyed = read("0 0 0 ; key=0\n10 10 10\n50 60 70 ; key=5\n"
                               "30 30 30;key=2\n40 40 40 ;  key= 6 trailing words\n");
    const Palette unkeyed =
        read("10 10 10 ; KEY=1\n20 20 20 ; key=1\n1 2 3" + std::string(600, ' ') + "; key=4\n");
    for (const auto& [palette, keys] : {std::pair(&keyed, std::vector{0, 0, 5, 2, 6, 7}),
                                        std::pair(&unkeyed, std::vector{7, 1, 7, 7})})
        for (std::size_t i = 0; i < keys.size(); ++i)
            EXPECT_EQ(palette->knotKey(i), keys[i]) << i;

    EXPECT_EQ(nonBlack(read(plainText(4))), 4u);
    const std::pair<std::string, std::size_t> cases[] = {
        {"10 20 30\n40 50\n60 70 80\n"s, 1},                   // two numbers end the colours
        {"10 20 30\n\n60 70 80\n"s, 1},                        // so does an empty line
        {"10 20 30\r\n40 50 60\r\n"s, 2},                      // CR LF
        {"10 20 30 comment\n40,50,60\n"s, 1},                  // commas are no separators
        {"  +10\t20  -30\n40 50 60"s, 2},                      // signs, tabs, no final line end
        {"10 20 30\n40 50 60\0 70\n80 90 100\n"s, 3},          // a NUL ends nothing but its line
        {"10 20 30" + std::string(600, ' ') + "\n1 1 1\n", 2}, // a long line is cut
        {std::string(1 << 20, '7'), 0},                        // a megabyte without a line end
    };
    for (const auto& [text, entries] : cases)
        EXPECT_EQ(nonBlack(read(text)), entries) << text.substr(0, 40);
    // Low 8 bits; numbers beyond int saturate first.
    const Palette wide = read("+256 -1 511\n99999999999 -99999999999 1000\n");
    EXPECT_EQ(wide.colour(0), (Rgb{0, 255, 255}));
    EXPECT_EQ(wide.colour(1), (Rgb{255, 0, 232}));
}

TEST(MapRead, Repairs) {
    // Entry 0 black, 1 and 2 close together and far from black: 0 becomes the mean of
    // entry 1 and the last entry read. Not exactly black, or 1 and 2 far apart: no change.
    EXPECT_EQ(read("0 0 0\n100 100 100\n101 100 99\n51 61 71\n").colour(0), (Rgb{75, 80, 85}));
    EXPECT_EQ(read("1 0 0\n100 100 100\n101 100 99\n51 61 71\n").colour(0), (Rgb{1, 0, 0}));
    EXPECT_EQ(read("0 0 0\n100 100 100\n160 160 160\n51 61 71\n").colour(0), Rgb{});
    // A near-black and a near-white grey among entries 0..3 move every colour and its
    // knots down by four; 252..255 stay. A grey without its partner, or a dark colour
    // that is no grey, moves nothing.
    auto reserved = [](std::string dark, std::string light) {
        return read("40 50 60 ; key=1\n" + dark + "\n" + light + "\n70 80 90\n" + plainText(252));
    };
    const Palette moved = reserved("15 15 18", "240 238 241");
    for (std::size_t i = 0; i < kPaletteEntries; ++i)
        ASSERT_EQ(moved.colour(i), plain(i < kPaletteColours ? i : i - 4)) << i;
    EXPECT_EQ(moved.knotKey(0), 0);
    EXPECT_EQ(reserved("15 15 18", "200 238 241").colour(0), (Rgb{40, 50, 60}));
    EXPECT_EQ(reserved("0 0 40", "240 238 241").colour(0), (Rgb{40, 50, 60}));
    // The black repair comes first: here it turns the only dark grey white, so no move.
    const Palette first = read("0 0 0\n255 255 255\n250 250 250\n100 0 0\n1 2 3\n255 255 255\n");
    EXPECT_EQ(first.colour(0), (Rgb{255, 255, 255}));
    EXPECT_EQ(first.colour(4), (Rgb{1, 2, 3}));
}

TEST(MapFiles, NamesFromFileNames) {
    const std::pair<std::string, std::string> cases[] = {
        {"my_fire.map", "My_Fire"},
        {"/home/me/maps/ROYAL blue.MAP", "Royal Blue"},
        {"C:\\maps\\abc.def.map", "Abc"},
        {"3d_x-ray.map", "3d_X-ray"},
        {std::string(38, 'a') + ".map", "A" + std::string(30, 'a')},
        {"a\xe9_\xc9t\xe9.map", "A\xe9_\xc9t\xe9"}};
    for (const auto& [file, name] : cases)
        EXPECT_EQ(normaliseFileName(file), name) << file;
}

TEST(MapCorpus, EveryFileSurvivesAWriteAndASecondRead) {
    const std::filesystem::path maps = std::filesystem::path(VORTIMAX_CORPUS_DIR) / "map";
    if (!std::filesystem::is_directory(maps))
        GTEST_SKIP() << "no map files in " << maps;
    TempDir dir;
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(maps)) {
        if (!entry.is_regular_file())
            continue;
        ++files;
        SCOPED_TRACE(entry.path().string());
        const std::optional<Palette> first = readMapFile(entry.path());
        ASSERT_TRUE(first && nonBlack(*first) >= 12);
        // Written and read again: neither repair fires a second time.
        ASSERT_TRUE(writeMapFile(*first, dir / "copy.map"));
        const std::optional<Palette> second = readMapFile(dir / "copy.map");
        ASSERT_TRUE(second && second->sameColours(*first));
        for (std::size_t i = 0; i < kPaletteColours; ++i)
            ASSERT_EQ(second->knotKey(i), first->knotKey(i)) << i;
    }
    EXPECT_GT(files, 0u);
}

} // namespace
