#include "app/temp_dir.h"
#include "cli/exit_codes.h"
#include "cli/palette_command.h"
#include "cli_test_support.h"
#include "palette/map_file.h"

#include <gtest/gtest.h>

namespace vortimax {
namespace {

using test::run;

TEST(PaletteCommandTest, WritesTheGeneratedMap) {
    test::TempDir dir;
    const std::string out = (dir.path() / "ramp.map").string();
    const auto outcome = run(cli::runPalette, {"--generate", "startstep", "--set", "P1.0=2",
                                               "--set", "P2.0=9", "-o", out});
    ASSERT_EQ(outcome.status, cli::kExitSuccess) << outcome.err;
    const auto palette = readMapFile(out);
    ASSERT_TRUE(palette.has_value());
    EXPECT_EQ(palette->colour(128), (Rgb{254, 9, 0}));
    EXPECT_EQ(palette->knotKey(100), 7);
}

TEST(PaletteCommandTest, TheSeedDecidesTheRandomMap) {
    test::TempDir dir;
    auto mapFor = [&](const char* seed) {
        const std::string out = (dir.path() / (std::string(seed) + ".map")).string();
        EXPECT_EQ(run(cli::runPalette, {"--generate", "random", "--seed", seed, "-o", out}).status,
                  cli::kExitSuccess);
        return mapText(*readMapFile(out));
    };
    EXPECT_EQ(mapFor("42"), mapFor("42"));
    EXPECT_NE(mapFor("42"), mapFor("43"));
}

TEST(PaletteCommandTest, RefusesBadSettingsWithoutWriting) {
    test::TempDir dir;
    const std::string out = (dir.path() / "bad.map").string();
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {{"--generate", "sine", "--set", "Entries=7"}, cli::kExitFailure, "between 1 and 6"},
        {{"--generate", "sine"}, cli::kExitFailure, "segment 1 of the red channel"},
        {{"--generate", "sine", "--set", "P13.0=1"}, cli::kExitUsage, "is not P<p>.<c>"},
        {{"--generate", "sine", "--set", "P1.3=1"}, cli::kExitUsage, "is not P<p>.<c>"},
        {{"--generate", "fourier", "--set", "P1.0=nan"}, cli::kExitUsage, "is not P<p>.<c>"},
        {{"--generate", "fourier", "--set", "P1.0=1x"}, cli::kExitUsage, "is not P<p>.<c>"},
        {{"--generate", "fourier", "--set", "Component=3"}, cli::kExitUsage, "from 0 to 2"},
        {{"--generate", "random", "--seed", "-1"}, cli::kExitUsage, "--seed"},
        {{"--generate", "plasma"}, cli::kExitUsage, "--generate is"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-o", out});
        const auto outcome = run(cli::runPalette, args);
        EXPECT_EQ(outcome.status, c.status) << c.says;
        EXPECT_NE(outcome.err.find(c.says), std::string::npos) << outcome.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.says;
    }
    EXPECT_EQ(run(cli::runPalette, {"--generate", "random"}).status, cli::kExitUsage);
}

} // namespace
} // namespace vortimax
