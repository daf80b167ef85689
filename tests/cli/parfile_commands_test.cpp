#include "app/temp_dir.h"
#include "cli/parfile_commands.h"
#include "cli_test_support.h"
#include "parfile/par_loader.h"

#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

using namespace vortimax;
using vortimax::test::Outcome;
using vortimax::test::readBytes;
using vortimax::test::run;
using vortimax::test::TempDir;
using vortimax::test::writeBytes;
using vortimax::test::writeSparse;

namespace {

constexpr std::string_view kEntries = "; two fractals and one of another program\n"
                                      "Seahorse {\n"
                                      "  type=mandel corners=-0.8/-0.7/0.05/0.15\n"
                                      "  maxiter=500 colors=000<3>zzz\n"
                                      "}\n"
                                      "Magnet {\n  type=magnet2m\n}\n"
                                      "Bird {\n  type=sunflower\n}\n";

class ParfileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { writeBytes(dir / "my_set.par", kEntries); }
    std::string file(std::string_view name) { return (dir / name).string(); }
    TempDir dir;
};

TEST_F(ParfileCommandsTest, ListShowsEveryEntryAndReportsUnknownTypes) {
    Outcome listed = run(cli::runList, {file("my_set.par")});
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out, "My_Set.Par\tBird\tunknown\t-\n"
                          "My_Set.Par\tMagnet\tMandel\t4\n"
                          "My_Set.Par\tSeahorse\tMandel\t0\n");
    EXPECT_EQ(listed.err, file("my_set.par") +
                              ": Unknown type in entry Bird: sunflower  (Fractal not loaded)\n");
    Outcome missing = run(cli::runList, {file("none.par")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos);
}

TEST_F(ParfileCommandsTest, ShowPrintsTheParsedEntry) {
    Outcome shown = run(cli::runShow, {file("my_set.par"), "SEAHORSE"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("Type=Mandel\n"), std::string::npos);
    EXPECT_NE(shown.out.find("TopLeftR=-0.8\n"), std::string::npos);
    EXPECT_NE(shown.out.find("MaxIter=500\n"), std::string::npos);
    // Rows the entry does not set are shown too, the 3D settings included.
    EXPECT_NE(shown.out.find("Knoty20=-10000000000.000000000000000\n"), std::string::npos);
    EXPECT_EQ(run(cli::runShow, {file("my_set.par"), "Bird"}).status, 1);
    Outcome absent = run(cli::runShow, {file("my_set.par"), "Nobody"});
    EXPECT_EQ(absent.status, 1);
    EXPECT_NE(absent.err.find("no entry \"Nobody\""), std::string::npos);
    EXPECT_EQ(run(cli::runShow, {file("my_set.par")}).status, 2);
}

// Every entry that reads is converted, each skipped one is named, and an output is
// written whole or not at all.
TEST_F(ParfileCommandsTest, ConvertKeepsWhatReadsAndNamesWhatItSkips) {
    Outcome partly = run(cli::runConvert, {file("my_set.par"), "-o", file("out.par")});
    EXPECT_EQ(partly.status, 1);
    EXPECT_EQ(partly.out, "2 entries written to " + file("out.par") + ", 1 skipped\n");
    EXPECT_EQ(partly.err, file("my_set.par") +
                              ": Bird: skipped: Unknown type in entry Bird: sunflower  (Fractal "
                              "not loaded)\n");
    std::string text = readBytes(dir / "out.par");
    EXPECT_NE(text.find("Magnet  {\r\n  Type=Mandel\r\n  Subtype=4\r\n"), std::string::npos);
    // The colour list travels as a colour list.
    EXPECT_NE(text.find("colors=000<3>zzzccc<"), std::string::npos) << text;
    Outcome again = run(cli::runShow, {file("out.par"), "Seahorse"});
    Outcome first = run(cli::runShow, {file("my_set.par"), "Seahorse"});
    EXPECT_EQ(again.out, first.out);

    // Nothing to convert is an error and writes nothing; so is an output that fails.
    writeBytes(dir / "none.par", "; only a comment\n");
    Outcome nothing = run(cli::runConvert, {file("none.par"), "-o", file("empty.par")});
    EXPECT_EQ(nothing.status, 1);
    EXPECT_NE(nothing.err.find("holds no parameter entry"), std::string::npos);
    EXPECT_NE(nothing.err.find("nothing written"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "empty.par"));
    EXPECT_EQ(run(cli::runConvert, {file("my_set.par"), "-o", file("no/such/dir.par")}).status, 1);
    EXPECT_EQ(run(cli::runConvert, {file("my_set.par")}).status, 2);
}

// A pipe is never opened: opening it would wait for a writer that never comes.
TEST_F(ParfileCommandsTest, PipesAreRefusedWithoutOpeningThem) {
    for (const char* name : {"pipe.par", "pipe.zar"}) {
        ASSERT_EQ(::mkfifo((dir / name).c_str(), 0600), 0);
        const std::string refusal =
            "vortimax-cli: \"" + file(name) +
            "\" is not a regular file (a pipe, device or socket is not read)\n";
        const std::vector<std::string> commands[] = {
            {"list", file(name)},
            {"show", file(name), "Any"},
            {"convert", file(name), "-o", file("out.par")}};
        for (const auto& args : commands) {
            const auto command = args[0] == "list"   ? cli::runList
                                 : args[0] == "show" ? cli::runShow
                                                     : cli::runConvert;
            const Outcome outcome = run(command, {args.begin() + 1, args.end()});
            EXPECT_EQ(outcome.status, 1) << args[0];
            EXPECT_TRUE(outcome.err.starts_with(refusal)) << outcome.err;
        }
        // Listed beside a good file, the good one is still listed.
        const Outcome both = run(cli::runList, {file(name), file("my_set.par")});
        EXPECT_EQ(both.status, 1);
        EXPECT_NE(both.out.find("Seahorse"), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "out.par"));
}

// A file whose last entry never closes is refused whole too: listing or converting the
// entries before it would pass part of the file off as all of it.
TEST_F(ParfileCommandsTest, AnUnclosedEntryIsRefusedWhole) {
    writeBytes(dir / "open.par", "Good { type=mandel }\nBroken {\n type=julia\n");
    const std::string refusal = "vortimax-cli: \"" + file("open.par") +
                                "\": entry \"Broken\" has no closing \"}\"; the file was not "
                                "loaded\n";
    const Outcome listed = run(cli::runList, {file("open.par")});
    EXPECT_EQ(listed.status, 1);
    EXPECT_EQ(listed.out, "");
    EXPECT_EQ(listed.err, refusal);
    const Outcome converted = run(cli::runConvert, {file("open.par"), "-o", file("out.par")});
    EXPECT_EQ(converted.status, 1);
    EXPECT_TRUE(converted.err.starts_with(refusal)) << converted.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.par"));
}

// A file beyond the size limit is refused whole: its entries before the cut are not
// listed as if they were all there.
TEST_F(ParfileCommandsTest, AFileBeyondTheSizeLimitIsRefusedWhole) {
    // Text first, so that the start of the file does not look like binary data.
    const std::string head =
        "Good { type=mandel }\nHuge {\n type=mandel\n" + std::string(4096, '\n');
    writeSparse(dir / "huge.par", head, std::uintmax_t{kMaxParameterFileBytes} + 2, "}\n");
    const Outcome listed = run(cli::runList, {file("huge.par")});
    EXPECT_EQ(listed.status, 1);
    EXPECT_EQ(listed.out, "");
    EXPECT_EQ(listed.err, "vortimax-cli: \"" + file("huge.par") +
                              "\" is larger than the 64 MiB a parameter file may hold: entry "
                              "\"Huge\" does not end within them; the file was not loaded\n");
}

} // namespace
