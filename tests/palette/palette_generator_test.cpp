#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "palette/generator_commands.h"
#include "palette/palette_generator.h"
#include "palette_test_support.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vortimax {
namespace {

int red(const Palette& palette, std::size_t i) {
    return palette.colour(i).red;
}

// A palette whose every entry is a colour no generator setting below produces, so an
// entry left unwritten shows.
Palette marked() {
    Palette palette;
    for (std::size_t i = 0; i < kPaletteColours; ++i)
        palette.setColour(i, {201, 201, 201});
    for (std::size_t i = 0; i < kPaletteColours; ++i)
        palette.setKnotKey(i, 0);
    return palette;
}

GeneratorSettings sineWith(int entries, double length, double amplitude, double shift = 0.0) {
    GeneratorSettings settings;
    settings.mode = GeneratorMode::Sine;
    settings.entries = entries;
    for (std::size_t c = 0; c < 3; ++c) {
        settings.p[0][c] = shift;
        // Counts beyond six are refused; only six segments have parameters.
        for (std::size_t j = 0; j < static_cast<std::size_t>(std::min(entries, 6)); ++j) {
            settings.p[1 + 2 * j][c] = length;
            settings.p[2 + 2 * j][c] = amplitude;
        }
    }
    return settings;
}

TEST(PaletteGeneratorTest, StartStepIsATriangleWaveFromChannelSlotZero) {
    GeneratorSettings settings;
    settings.p[0][0] = 0.0;  // red start
    settings.p[1][0] = 2.0;  // red step
    settings.p[2][0] = 10.0; // green start
    settings.p[3][0] = -1.0; // green step: below zero the low 8 bits remain
    settings.p[4][1] = 99.0; // blue reads slot 0 only: start 0, step 0
    Palette palette = marked();
    std::uint32_t seed = 1;
    ASSERT_TRUE(generatePalette(palette, settings, seed));
    for (std::size_t i = 0; i <= 127; ++i)
        EXPECT_EQ(red(palette, i), static_cast<int>(2 * i)) << i;
    EXPECT_EQ(red(palette, 128), 254); // 256 folds back to 254
    EXPECT_EQ(red(palette, 129), 252);
    EXPECT_EQ(red(palette, 251), 510 - 502);
    EXPECT_EQ(palette.colour(10).green, 0);
    EXPECT_EQ(palette.colour(11).green, 255);
    EXPECT_EQ(palette.colour(5).blue, 0);
    for (std::size_t i = 0; i < kPaletteColours; ++i)
        ASSERT_EQ(palette.knotKey(i), 7) << i;
}

TEST(PaletteGeneratorTest, SineReachesEveryEntryAndWrapsItsShift) {
    std::uint32_t seed = 1;
    // Five equal segments: truncating each end would leave entry 251 unwritten.
    Palette flat = marked();
    ASSERT_TRUE(generatePalette(flat, sineWith(5, 1.0, 0.0), seed));
    for (std::size_t i = 0; i < kPaletteColours; ++i)
        ASSERT_EQ(red(flat, i), 0) << i;

    Palette wave = marked();
    ASSERT_TRUE(generatePalette(wave, sineWith(1, 3.0, 100.0), seed));
    EXPECT_EQ(red(wave, 0), 0);
    EXPECT_EQ(red(wave, 251), 0);
    EXPECT_GE(red(wave, 125), 199);
    EXPECT_LT(red(wave, 60), red(wave, 100));

    // A shift of -10, 242 and 494 are the same turn of the palette.
    for (double shift : {-10.0, 494.0}) {
        Palette shifted = marked();
        Palette reference = marked();
        ASSERT_TRUE(generatePalette(shifted, sineWith(2, 1.0, 90.0, shift), seed));
        ASSERT_TRUE(generatePalette(reference, sineWith(2, 1.0, 90.0, 242.0), seed));
        EXPECT_TRUE(shifted.sameColours(reference)) << shift;
        EXPECT_EQ(red(shifted, 0), red(reference, 0));
    }
}

TEST(PaletteGeneratorTest, SineRefusesSettingsItCannotUse) {
    const Palette before = marked();
    std::uint32_t seed = 1;
    struct Case {
        GeneratorSettings settings;
        const char* words;
    };
    GeneratorSettings zeroLength = sineWith(2, 1.0, 50.0);
    zeroLength.p[3][1] = 0.0;
    GeneratorSettings zeroSum = sineWith(2, 1.0, 50.0);
    zeroSum.p[3][2] = -1.0;
    const Case cases[] = {
        {sineWith(7, 1.0, 50.0), "Entries must lie between 1 and 6, not 7"},
        {sineWith(0, 1.0, 50.0), "not 0"},
        {zeroLength, "segment 2 of the green channel"},
        {zeroSum, "segment 2 of the blue channel"},
    };
    for (const Case& c : cases) {
        const auto refusal = generatorRefusal(c.settings);
        ASSERT_TRUE(refusal.has_value()) << c.words;
        EXPECT_NE(refusal->find(c.words), std::string::npos) << *refusal;
        Palette palette = before;
        EXPECT_FALSE(generatePalette(palette, c.settings, seed));
        EXPECT_EQ(palette, before);
    }
    // Other modes ignore the sine settings.
    GeneratorSettings fourier = sineWith(9, 0.0, 0.0);
    fourier.mode = GeneratorMode::Fourier;
    EXPECT_FALSE(generatorRefusal(fourier).has_value());
}

TEST(PaletteGeneratorTest, FourierIsSymmetricAroundEntry126AndClamped) {
    GeneratorSettings settings;
    settings.mode = GeneratorMode::Fourier;
    const double red[13] = {120, 60, -30, 10, 40, 25, -15, 1, 2.5, 4, 1.5, 3, 7};
    for (std::size_t p = 0; p < 13; ++p) {
        settings.p[p][0] = red[p];
        settings.p[p][2] = 3.0 * red[p]; // beyond 0..255 at both ends
    }
    settings.p[0][1] = 77.0;
    settings.p[0][2] = 20.0;
    Palette palette = marked();
    std::uint32_t seed = 1;
    ASSERT_TRUE(generatePalette(palette, settings, seed));
    for (std::size_t m = 1; m <= 125; ++m)
        ASSERT_EQ(palette.colour(126 + m), palette.colour(126 - m)) << m;
    EXPECT_EQ(palette.colour(0).red, 120 + 60 - 30 + 10); // cosines are 1 at t = 0
    bool low = false, high = false;
    for (std::size_t i = 0; i < kPaletteColours; ++i) {
        EXPECT_EQ(palette.colour(i).green, 77);
        low = low || palette.colour(i).blue == 0;
        high = high || palette.colour(i).blue == 255;
    }
    EXPECT_TRUE(low && high);
}

TEST(PaletteGeneratorTest, RandomClosesIntoARingAndFollowsTheSeed) {
    GeneratorSettings settings;
    settings.mode = GeneratorMode::Random;
    Palette a = marked(), b = marked(), c = marked();
    std::uint32_t seedA = 1234, seedB = 1234, seedC = 99;
    ASSERT_TRUE(generatePalette(a, settings, seedA));
    ASSERT_TRUE(generatePalette(b, settings, seedB));
    ASSERT_TRUE(generatePalette(c, settings, seedC));
    EXPECT_EQ(a, b);
    EXPECT_EQ(seedA, seedB);
    EXPECT_NE(seedA, 1234u);
    EXPECT_FALSE(a.sameColours(c));
    // Segments of at least 10 entries: neighbours never differ by more than 255 / 10,
    // and 251 leads back to entry 0.
    for (std::size_t i = 0; i < kPaletteColours; ++i) {
        const Rgb x = a.colour(i), y = a.colour((i + 1) % kPaletteColours);
        ASSERT_LE(std::abs(x.red - y.red), 26) << i;
        ASSERT_LE(std::abs(x.blue - y.blue), 26) << i;
    }
}

TEST(PaletteGeneratorTest, GenerateAddsUniqueRandomPalettesAndApplyWorksInPlace) {
    PaletteList list;
    Palette& source = test::addRamp(list, "Fire");
    auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
    GeneratorSettings settings;
    settings.mode = GeneratorMode::Random;
    std::uint32_t seed = 5;
    std::vector<std::string> names;
    for (int i = 0; i < 2; ++i) {
        auto made = generateNewPalette(list, source, settings, seed, record.get());
        ASSERT_TRUE(std::holds_alternative<Palette*>(made));
        names.push_back(std::get<Palette*>(made)->name());
        EXPECT_EQ(list.current(), std::get<Palette*>(made));
        EXPECT_EQ(record->palName, names.back());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Random", "Random.1"}));
    EXPECT_TRUE(source.sameColours(test::greyRamp("x")));

    auto refused = generateNewPalette(list, source, sineWith(8, 1, 1), seed, record.get());
    ASSERT_TRUE(std::holds_alternative<std::string>(refused));
    EXPECT_EQ(list.size(), 4u);

    EXPECT_FALSE(generateInPlace(source, settings, seed).has_value());
    EXPECT_FALSE(source.sameColours(test::greyRamp("x")));
    EXPECT_EQ(source.name(), "Fire");
}

} // namespace
} // namespace vortimax
