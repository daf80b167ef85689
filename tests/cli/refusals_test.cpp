// What the commands say when they cannot do what was asked: one clear message each, the
// exit status, and no output file.

#include "app/temp_dir.h"
#include "cli/parfile_commands.h"
#include "cli/render_command.h"
#include "cli_test_support.h"
#include "imagefile/png_loader.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace vortimax;
using vortimax::test::Command;
using vortimax::test::Outcome;
using vortimax::test::run;
using vortimax::test::TempDir;
using vortimax::test::writeBytes;

namespace {

namespace fs = std::filesystem;

TEST(Refusals, EachSaysWhatIsWrongOnceWithItsStatus) {
    TempDir dir;
    const fs::path program = dir / "program";
    fs::create_directories(program);
    writeBytes(program / "Vortimax.cfg", "PalettePath " + program.string() + "\r\n");
    auto path = [&](std::string_view name) { return (dir / name).string(); };
    // Ten entries of a type this program does not have, and one it has.
    std::string many;
    for (int i = 0; i < 10; ++i)
        many += "Other" + std::to_string(i) + " { type=sunflower }\n";
    writeBytes(dir / "many.par", many + "Mine { type=mandel maxiter=20 }\n");
    writeBytes(dir / "image.par", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    writeBytes(dir / "binary.par", std::string("Name {\0 type=mandel }", 21));
    writeBytes(dir / "none.par", "; nothing but a comment\n");
    // One line of 10 MB without an entry: read in pieces, refused in well under a second.
    writeBytes(dir / "line.par", std::string(10u << 20, 'x') + "\n");
    const std::string out = path("out.png");
    const std::string dirArg = program.string();

    const struct {
        Command command;
        std::vector<std::string> args;
        int status;
        std::string message; // the whole of stderr
    } cases[] = {
        // Only the chosen entry's problem, not that of every entry of the file.
        {cli::runRender,
         {path("many.par"), "Other3", "--dir", dirArg, "-o", out},
         1,
         path("many.par") + ": Unknown type in entry Other3: sunflower  (Fractal not loaded)\n"},
        {cli::runShow,
         {path("many.par"), "other7", "--dir", dirArg},
         1,
         path("many.par") + ": Unknown type in entry Other7: sunflower  (Fractal not loaded)\n"},
        {cli::runList,
         {path("image.par"), "--dir", dirArg},
         1,
         "vortimax-cli: \"" + path("image.par") +
             "\" is not a parameter file: it is a PNG image; vortimax-cli render IMAGE.png reads "
             "its parameters\n"},
        {cli::runList,
         {path("binary.par"), "--dir", dirArg},
         1,
         "vortimax-cli: \"" + path("binary.par") +
             "\" is not a parameter file: it holds binary data\n"},
        {cli::runList,
         {path("none.par"), "--dir", dirArg},
         1,
         "vortimax-cli: \"" + path("none.par") +
             "\" holds no parameter entry (an entry is a name followed by { ... })\n"},
        {cli::runRender,
         {path("line.par"), "Huge", "--dir", dirArg, "-o", out},
         1,
         "vortimax-cli: \"" + path("line.par") +
             "\" holds no parameter entry (an entry is a name followed by { ... })\n"},
        {cli::runRender,
         {"Mandel24", "--subtype", "2", "--dir", dirArg, "-o", out},
         1,
         "vortimax-cli render: subtype 2 is not valid for Mandel24\n"},
        {cli::runRender, {"Mandel", "--dir"}, 2, "vortimax-cli render: --dir needs a value\n"},
        {cli::runList, {"--dir"}, 2, "vortimax-cli list: --dir needs a directory\n"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = run(c.command, c.args);
        SCOPED_TRACE(c.args.front());
        EXPECT_EQ(outcome.status, c.status) << outcome.err;
        EXPECT_EQ(outcome.err, c.message);
        EXPECT_FALSE(fs::exists(out));
    }
}

// What used to be refused or lost: z^3 true-colour fractals, the measures beyond 7, and a
// PNG's own size.
TEST(Refusals, FormerlyRefusedRequestsWork) {
    TempDir dir;
    fs::create_directories(dir / "program");
    const std::string dirArg = (dir / "program").string();
    const std::string cubic = (dir / "cubic.png").string();
    Outcome done = run(cli::runRender, {"Mandel24", "--subtype", "1", "--size", "40x30", "--set",
                                        "Outside=2", "--dir", dirArg, "-o", cubic});
    ASSERT_EQ(done.status, 0) << done.err;
    DecodedPng image;
    ASSERT_EQ(loadPng(cubic, image), PngLoadResult::Loaded);
    EXPECT_NE(image.parameterTexts.at(0).find("Subtype=1\r\n"), std::string::npos);

    const std::string measure = (dir / "measure.png").string();
    done = run(cli::runRender,
               {"Julia", "--size", "40x30", "--set", "Outside=9", "--dir", dirArg, "-o", measure});
    ASSERT_EQ(done.status, 0) << done.err;
    ASSERT_EQ(loadPng(measure, image), PngLoadResult::Loaded);
    EXPECT_NE(image.parameterTexts.at(0).find("Outside=imag2\r\n"), std::string::npos);

    // Without --size a PNG is rendered at its own size; --size still wins.
    const std::string again = (dir / "again.png").string();
    done = run(cli::runRender, {measure, "--dir", dirArg, "-o", again});
    ASSERT_EQ(done.status, 0) << done.err;
    ASSERT_EQ(loadPng(again, image), PngLoadResult::Loaded);
    EXPECT_EQ(image.width, 40);
    EXPECT_EQ(image.height, 30);
    done = run(cli::runRender, {measure, "--size", "20x10", "--dir", dirArg, "-o", again});
    ASSERT_EQ(loadPng(again, image), PngLoadResult::Loaded);
    EXPECT_EQ(image.width, 20);
}

} // namespace
