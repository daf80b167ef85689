// Input a command cannot use completely is refused with one message naming what is wrong,
// a non-zero status and no output file: oversized, cut-short or unreadable images, image
// texts that are no entries, and command-line values beyond their parameter's kind or
// range.

#include "app/temp_dir.h"
#include "cli/parfile_commands.h"
#include "cli/render_command.h"
#include "cli_test_support.h"
#include "imagefile/png_loader.h"
#include "support/hand_made_png.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vortimax;
using vortimax::test::Command;
using vortimax::test::Outcome;
using vortimax::test::run;
using vortimax::test::TempDir;
using vortimax::test::writeBytes;

namespace {

namespace fs = std::filesystem;

struct Refusal {
    Command command;
    std::vector<std::string> args;
    int status;
    std::string message; // the whole of stderr
};

void expectRefusals(const std::vector<Refusal>& cases, const fs::path& output) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args.back());
        const Outcome outcome = run(c.command, c.args);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(outcome.err, c.message);
        EXPECT_FALSE(fs::exists(output));
    }
}

TEST(HostileInput, ImagesAreRefusedWithTheirReason) {
    TempDir dir;
    fs::create_directories(dir / "program");
    const std::string program = (dir / "program").string();
    auto path = [&](std::string_view name) { return (dir / name).string(); };
    writeBytes(dir / "wide.png", test::handMadePng(100000, 100000, std::string(10, '\0')));
    writeBytes(dir / "short.png", test::handMadePng(32768, 32768, std::string(1000, '\0')));
    const std::string whole = test::handMadePng(8, 6, {}, "Mine { type=julia }");
    writeBytes(dir / "cut.png", whole.substr(0, whole.size() / 2));
    writeBytes(dir / "words.png", test::handMadePng(8, 6, {}, "not an entry at all"));
    writeBytes(dir / "empty.png", test::handMadePng(8, 6, {}, ""));
    ASSERT_EQ(::mkfifo((dir / "pipe.png").c_str(), 0600), 0);
    const std::string shortBytes = std::to_string(fs::file_size(dir / "short.png"));
    const std::string out = path("out.png");
    auto render = [&](std::string_view image) {
        return std::vector<std::string>{path(image), "--dir", program, "-o", out};
    };
    auto unread = [&](std::string_view image, std::string_view why) {
        return "vortimax-cli render: cannot read image \"" + path(image) +
               "\": " + std::string(why) + '\n';
    };
    const std::string noEntry = "\" holds no fractal parameters that read: its \"Parameter\" "
                                "text is not an entry (a name followed by { ... })\n";
    expectRefusals(
        {
            {cli::runRender, render("wide.png"), 1,
             unread("wide.png",
                    "it declares 100000 x 100000 pixels; images are at most 32768 x 32768")},
            {cli::runRender, render("short.png"), 1,
             unread("short.png", "it declares 32768 x 32768 pixels, more than its " + shortBytes +
                                     " bytes can hold")},
            {cli::runRender, render("cut.png"), 1,
             unread("cut.png", "it is not a PNG image, or it is damaged or cut short")},
            {cli::runRender, render("pipe.png"), 1, unread("pipe.png", "it is not a regular file")},
            {cli::runRender, render("words.png"), 1,
             "vortimax-cli render: \"" + path("words.png") + noEntry},
            {cli::runRender, render("empty.png"), 1,
             "vortimax-cli render: \"" + path("empty.png") + noEntry},
            {cli::runShow,
             {path("pipe.png"), "Mine", "--dir", program},
             1,
             "vortimax-cli: \"" + path("pipe.png") +
                 "\" is not a regular file (a pipe, device or socket is not read)\n"},
        },
        out);

    // The same image with its text intact renders.
    writeBytes(dir / "whole.png", whole);
    const Outcome done = run(cli::runRender, render("whole.png"));
    EXPECT_EQ(done.status, 0) << done.err;
}

TEST(HostileInput, CommandLineValuesMustReadWholeWithinTheirRange) {
    TempDir dir;
    fs::create_directories(dir / "program");
    const std::string program = (dir / "program").string();
    const std::string out = (dir / "out.png").string();
    auto render = [&](std::string_view option, std::string_view value) {
        return std::vector<std::string>{
            "Mandel", "--dir", program, "-o", out, std::string(option), std::string(value)};
    };
    auto refusedSet = [](std::string_view key, std::string_view value, std::string_view range) {
        return "vortimax-cli render: --set " + std::string(key) + "=\"" + std::string(value) +
               "\" is not allowed: " + std::string(key) + " takes " + std::string(range) + '\n';
    };
    const std::string iterations = "a whole number from 1 to 2147483647";
    const std::string bailout = "a number from 0 to 1e+300";
    auto refusedSize = [](std::string_view size) {
        return "vortimax-cli render: --size \"" + std::string(size) +
               "\" is not WxH with each side a whole number from 1 to 32768\n";
    };
    expectRefusals(
        {
            {cli::runRender, render("--set", "MaxIter=1e3"), 2,
             refusedSet("MaxIter", "1e3", iterations)},
            {cli::runRender, render("--set", "maxiter=abc"), 2,
             refusedSet("MaxIter", "abc", iterations)},
            {cli::runRender, render("--set", "MaxIter=-5"), 2,
             refusedSet("MaxIter", "-5", iterations)},
            {cli::runRender, render("--set", "MaxIter="), 2, refusedSet("MaxIter", "", iterations)},
            {cli::runRender, render("--set", "Bailout=1e999"), 2,
             refusedSet("Bailout", "1e999", bailout)},
            {cli::runRender, render("--set", "Bailout=inf"), 2,
             refusedSet("Bailout", "inf", bailout)},
            {cli::runRender, render("--size", "64x48x3"), 2, refusedSize("64x48x3")},
            {cli::runRender, render("--size", "64x0"), 2, refusedSize("64x0")},
            {cli::runRender, render("--size", "32769x2"), 2, refusedSize("32769x2")},
            {cli::runRender, render("--size", "+64x48"), 2, refusedSize("+64x48")},
            {cli::runRender, render("--size", "64*48"), 2, refusedSize("64*48")},
            {cli::runRender, render("--threads", "2cores"), 2,
             "vortimax-cli render: --threads needs a number from 1 to 256\n"},
        },
        out);

    // Values that read completely are stored exactly as given.
    std::vector<std::string> accepted = render("--size", "20x10");
    accepted.insert(accepted.end(), {"--set", "MaxIter=+700", "--set", "Outside=REAL"});
    const Outcome done = run(cli::runRender, accepted);
    ASSERT_EQ(done.status, 0) << done.err;
    DecodedPng image;
    ASSERT_EQ(loadPng(out, image), PngLoadResult::Loaded);
    EXPECT_EQ(image.width, 20);
    const std::string& text = image.parameterTexts.at(0);
    EXPECT_NE(text.find("MaxIter=+700\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Outside=real\r\n"), std::string::npos) << text;
}

} // namespace
