#include "palette/map_file.h"
#include "palette_test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

using namespace vortimax;
using vortimax::test::PaletteTempDir;
using vortimax::test::readBytes;
using namespace std::string_literals;

namespace {

Palette read(const std::string& text, std::string_view name = "Test") {
    std::istringstream in(text);
    return readMap(in, name);
}

// "r g b\n" lines for the colours, nothing else.
std::string lines(const std::vector<Rgb>& colours) {
    std::string text;
    for (const Rgb& c : colours)
        text += std::to_string(c.red) + " " + std::to_string(c.green) + " " +
                std::to_string(c.blue) + "\n";
    return text;
}

// n colours that trigger neither repair: a ramp starting away from black and white.
std::vector<Rgb> plainColours(int n) {
    std::vector<Rgb> colours;
    for (int i = 0; i < n; ++i)
        colours.push_back({(i * 7 + 40) % 200 + 20, (i * 3) % 180 + 30, 60});
    return colours;
}

std::size_t nonBlack(const Palette& palette) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < kPaletteEntries; ++i)
        count += palette.colour(i) != Rgb{} ? 1 : 0;
    return count;
}

std::vector<std::string> splitCrLf(const std::string& text) {
    std::vector<std::string> result;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        result.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text does not end with CR LF";
    return result;
}

TEST(MapRead, FullFileWithoutKeysAndItsWrittenForm) {
    const std::vector<Rgb> colours = plainColours(257);
    const Palette palette = read(lines(colours));
    for (std::size_t i = 0; i < kPaletteEntries; ++i) {
        ASSERT_EQ(palette.colour(i), colours[i]) << i;
        ASSERT_EQ(palette.knotKey(i), 7) << i;
    }
    // Written back: 252 lines ending in CR LF, every one carrying key 7.
    const std::vector<std::string> written = splitCrLf(mapText(palette));
    ASSERT_EQ(written.size(), kPaletteColours);
    EXPECT_EQ(written[0], "60 30 60 ; key=7");
    EXPECT_EQ(written[251], "217 63 60 ; key=7");
}

TEST(MapRead, KeysAndKnots) {
    // The first line's key (even 0) makes the file keyed: lines without one lose their
    // knots. Blanks around the semicolon are allowed, "KEY" is no key.
    const Palette keyed = read("0 0 0 ; key=0\n10 10 10\n50 60 70 ; key=5\n"
                               "30 30 30;key=2\n40 40 40 ;  key= 6 trailing words\n");
    const Palette plain = read("10 10 10\n20 20 20 ; key=1\n30 30 30 ; KEY=1\n");
    const int expected[] = {0, 0, 5, 2, 6, 7};
    const int expectedPlain[] = {7, 1, 7, 7};
    for (std::size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(keyed.knotKey(i), expected[i]) << i;
    for (std::size_t i = 0; i < std::size(expectedPlain); ++i)
        EXPECT_EQ(plain.knotKey(i), expectedPlain[i]) << i;
}

TEST(MapRead, WhereTheColoursEnd) {
    const Palette four = read(lines(plainColours(4)));
    EXPECT_EQ(four.colour(3), plainColours(4)[3]);
    for (std::size_t i = 4; i < kPaletteEntries; ++i)
        ASSERT_EQ(four.colour(i), Rgb{}) << i;
    struct Case {
        std::string text;
        std::size_t entries;
    };
    const Case cases[] = {
        {"10 20 30\n40 50\n60 70 80\n"s, 1},                   // two numbers end the colours
        {"10 20 30\n\n60 70 80\n"s, 1},                        // so does an empty line
        {"10 20 30\r\n40 50 60\r\n"s, 2},                      // CR LF
        {"10 20 30 comment\n40,50,60\n"s, 1},                  // commas are no separators
        {"  +10\t20  -30\n40 50 60"s, 2},                      // signs, tabs, no final line end
        {"10 20 30\n40 50 60\0 70\n80 90 100\n"s, 3},          // a NUL ends nothing but its line
        {"10 20 30" + std::string(600, ' ') + "\n1 1 1\n", 2}, // a long line is cut
        {std::string(1 << 20, '7'), 0},                        // a megabyte without a line end
    };
    for (const Case& c : cases) {
        EXPECT_EQ(nonBlack(read(c.text)), c.entries) << c.text.substr(0, 40);
    }
    // Low 8 bits; numbers beyond int saturate first.
    const Palette wide = read("+256 -1 511\n99999999999 -99999999999 1000\n");
    EXPECT_EQ(wide.colour(0), (Rgb{0, 255, 255}));
    EXPECT_EQ(wide.colour(1), (Rgb{255, 0, 232}));
    // A key beyond the 510 characters read of a line is not seen.
    EXPECT_EQ(read("10 20 30" + std::string(600, ' ') + "; key=4\n").knotKey(0), 7);
}

TEST(MapRead, BlackBackgroundRepair) {
    // Entry 0 black, 1 and 2 close together and far from black: 0 becomes the mean of
    // entry 1 and the last entry read.
    std::vector<Rgb> colours = {{0, 0, 0}, {100, 100, 100}, {101, 100, 99}, {51, 61, 71}};
    EXPECT_EQ(read(lines(colours)).colour(0), (Rgb{75, 80, 85}));
    // Not exactly black, or 1 and 2 too far apart: nothing changes.
    colours[0] = {1, 0, 0};
    EXPECT_EQ(read(lines(colours)).colour(0), (Rgb{1, 0, 0}));
    colours[0] = {0, 0, 0};
    colours[2] = {160, 160, 160};
    EXPECT_EQ(read(lines(colours)).colour(0), Rgb{});
    // The repair comes first: here it turns the only dark grey white, so nothing moves.
    const Palette first = read(lines(
        {{0, 0, 0}, {255, 255, 255}, {250, 250, 250}, {100, 0, 0}, {1, 2, 3}, {255, 255, 255}}));
    EXPECT_EQ(first.colour(0), (Rgb{255, 255, 255}));
    EXPECT_EQ(first.colour(4), (Rgb{1, 2, 3}));
}

TEST(MapRead, ReservedColoursMoveTheColoursDown) {
    std::vector<Rgb> colours = {{40, 50, 60}, {15, 15, 18}, {240, 238, 241}, {70, 80, 90}};
    const std::vector<Rgb> rest = plainColours(252);
    colours.insert(colours.end(), rest.begin(), rest.end());
    const Palette palette =
        read("40 50 60 ; key=1\n" + lines({colours.begin() + 1, colours.end()}));
    for (std::size_t i = 0; i < kPaletteColours; ++i)
        ASSERT_EQ(palette.colour(i), colours[i + 4]) << i;
    for (std::size_t i = kPaletteColours; i < kPaletteEntries; ++i)
        EXPECT_EQ(palette.colour(i), colours[i]) << i; // behind the palette: kept
    EXPECT_EQ(palette.knotKey(0), 0);                  // the knots move with the colours
    // A dark grey without a light one, or a dark colour that is no grey: no move.
    colours[2] = {200, 238, 241};
    EXPECT_EQ(read(lines(colours)).colour(0), colours[0]);
    colours[2] = {240, 238, 241};
    colours[1] = {0, 0, 40};
    EXPECT_EQ(read(lines(colours)).colour(0), colours[0]);
}

TEST(MapFiles, NamesFromFileNames) {
    const std::pair<std::string, std::string> cases[] = {
        {"my_fire.map", "My_Fire"},
        {"/home/me/maps/ROYAL blue.MAP", "Royal Blue"},
        {"C:\\maps\\abc.def.map", "Abc"},
        {"3d_x-ray.map", "3d_X-ray"},
        {std::string(38, 'a') + ".map", "A" + std::string(30, 'a')},
        {"a\xe9_\xc9t\xe9.map", "A\xe9_\xc9t\xe9"},
    };
    for (const auto& [file, name] : cases)
        EXPECT_EQ(normaliseFileName(file), name) << file;
}

TEST(MapFiles, ReadWriteAndFailures) {
    PaletteTempDir dir;
    Palette palette = read(lines(plainColours(252)));
    palette.setKnotKey(0, 0);
    palette.setKnotKey(7, 3);
    palette.setKnotKey(8, 0);
    palette.setName("My_Fire");
    const auto path = dir / "my_fire.map";
    ASSERT_TRUE(writeMapFile(palette, path));
    const std::vector<std::string> written = splitCrLf(readBytes(path));
    ASSERT_EQ(written.size(), kPaletteColours);
    EXPECT_EQ(written[0], "60 30 60 ; key=0"); // entry 0 carries its key even when 0
    EXPECT_EQ(written[7], "109 51 60 ; key=3");
    EXPECT_EQ(written[8], "116 54 60");
    EXPECT_EQ(readMapFile(path), palette);

    // Not regular files, or missing: nothing.
    for (const std::filesystem::path& bad :
         {dir / "missing.map", dir.path(), std::filesystem::path(),
          std::filesystem::path("/dev/zero")})
        EXPECT_FALSE(readMapFile(bad).has_value()) << bad;
    // A failed write leaves no file behind and what was there untouched.
    std::filesystem::create_directory(dir / "taken.map");
    EXPECT_FALSE(writeMapFile(palette, dir / "taken.map"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.map"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(MapCorpus, EveryFileSurvivesAWriteAndASecondRead) {
    const std::filesystem::path maps = std::filesystem::path(VORTIMAX_CORPUS_DIR) / "map";
    if (!std::filesystem::is_directory(maps))
        GTEST_SKIP() << "no map files in " << maps;
    PaletteTempDir dir;
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(maps)) {
        if (!entry.is_regular_file())
            continue;
        ++files;
        SCOPED_TRACE(entry.path().string());
        const std::optional<Palette> first = readMapFile(entry.path());
        ASSERT_TRUE(first.has_value());
        EXPECT_GE(nonBlack(*first), 12u);
        const auto copy = dir / entry.path().filename().string();
        ASSERT_TRUE(writeMapFile(*first, copy));
        // Neither repair fires again on any of these files once written.
        const std::optional<Palette> second = readMapFile(copy);
        ASSERT_TRUE(second.has_value());
        EXPECT_EQ(second->name(), first->name());
        EXPECT_TRUE(second->sameColours(*first));
        for (std::size_t i = 0; i < kPaletteColours; ++i)
            ASSERT_EQ(second->knotKey(i), first->knotKey(i)) << i;
    }
    EXPECT_GT(files, 0u);
}

} // namespace
