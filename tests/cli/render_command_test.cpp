#include "app/temp_dir.h"
#include "cli/corpus_entries.h"
#include "cli/render_command.h"
#include "cli_test_support.h"
#include "imagefile/png_loader.h"
#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "palette/palette_list.h"
#include "parfile/entry_parser.h"
#include "support/device_nodes.h"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <sstream>

using namespace vortimax;
using vortimax::test::readBytes;
using vortimax::test::TempDir;

namespace {

using vortimax::test::Outcome;

Outcome render(std::vector<std::string> args) {
    return vortimax::test::run(cli::runRender, std::move(args));
}

TEST(RenderCommand, WritesAPaletteImageWhoseParametersReadBack) {
    TempDir dir;
    std::string png = (dir / "m.png").string();
    std::string npy = (dir / "m.npy").string();
    Outcome done =
        render({"Mandel", "--size", "64x48", "--set", "MaxIter=90", "--values", npy, "-o", png});
    ASSERT_EQ(done.status, 0) << done.err;
    // The last line tells the calculation's own time.
    ASSERT_TRUE(done.out.ends_with(" ms\n"));
    EXPECT_NE(done.out.rfind("\ncalculated in "), std::string::npos) << done.out;
    DecodedPng image;
    ASSERT_EQ(loadPng(png, image), PngLoadResult::Loaded);
    EXPECT_TRUE(image.width == 64 && image.height == 48 && image.palette.has_value());
    ASSERT_EQ(image.parameterTexts.size(), 1u);

    PaletteList palettes;
    auto parsed = createRecord(kTypeJulia, 0, RecordCreationContext{});
    ASSERT_TRUE(parseEntryText(*parsed, image.parameterTexts[0], palettes, {}));
    auto expected = createRecord(kTypeMandel, 0, RecordCreationContext{});
    expected->params().setInteger("MaxIter", 90);
    EXPECT_EQ(parsed->type, kTypeMandel);
    EXPECT_EQ(parsed->paramBlock, expected->paramBlock);

    // A 128-byte header naming rows by columns, then one 4-byte value per pixel.
    std::string values = readBytes(npy);
    EXPECT_EQ(values.substr(0, 6), "\x93NUMPY");
    EXPECT_NE(values.find("'shape': (48, 64)"), std::string::npos);
    EXPECT_EQ(values.size(), 128u + 64u * 48u * 4u);
}

TEST(RenderCommand, RefusesBadRequestsWithoutWritingAFile) {
    TempDir dir;
    std::string png = (dir / "x.png").string();
    Outcome unknownKey = render({"Mandel", "--set", "Nonsense=1", "-o", png});
    EXPECT_EQ(unknownKey.status, 2);
    EXPECT_NE(unknownKey.err.find("vortimax-cli params Mandel"), std::string::npos);
    EXPECT_EQ(render({"Mandelbrot", "-o", png}).status, 1);
    EXPECT_EQ(render({"Mandel"}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(png));
}

// A full device is a failure with its reason, not "wrote".
TEST(RenderCommand, FullDeviceIsReportedWithTheReason) {
    TempDir dir;
    const auto full = vortimax::testing::testDevice(dir.path(), "full");
    if (!full)
        GTEST_SKIP() << "no full device that is safe to write";
    Outcome failed = render({"Mandel", "--size", "8x8", "-o", full->string()});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out.find("wrote"), std::string::npos) << failed.out;
    EXPECT_NE(failed.err.find("vortimax-cli render: cannot write \"" + full->string() +
                              "\": No space left on device"),
              std::string::npos)
        << failed.err;
}

// A Formula fractal whose formula the starter files lack is refused without a file (the
// threads test below renders one that has it).
TEST(RenderCommand, FormulaFractalWithAMissingFormulaIsRefused) {
    TempDir dir;
    std::string missing = (dir / "g.png").string();
    Outcome unknown = render({"Formula", "--set", "FormulaName=Nope", "-o", missing});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("but this formula isn't available"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

// The values and the image do not depend on how many threads calculated them.
TEST(RenderCommand, AnyNumberOfThreadsGivesTheSameImage) {
    TempDir dir;
    const std::vector<std::vector<std::string>> fractals = {
        {"Mandel", "--set", "MaxIter=400"},
        {"Mandel24", "--depth", "24"},
        {"Formula", "--set", "FormulaName=Basic"},
    };
    for (const auto& fractal : fractals) {
        std::string images[2], values[2];
        for (int k = 0; k < 2; ++k) {
            const std::string stem = (dir / ("r" + std::to_string(k))).string();
            std::vector<std::string> args = fractal;
            args.insert(args.end(), {"--size", "97x61", "--threads", k == 0 ? "1" : "3", "--values",
                                     stem + ".npy", "-o", stem + ".png"});
            const Outcome done = render(args);
            ASSERT_EQ(done.status, 0) << done.err;
            images[k] = readBytes(stem + ".png");
            values[k] = readBytes(stem + ".npy");
        }
        EXPECT_EQ(values[0], values[1]) << fractal[0];
        EXPECT_EQ(images[0], images[1]) << fractal[0];
    }
    EXPECT_EQ(render({"--threads", "0", "-o", (dir / "t.png").string()}).status, 2);
}

// Dynamic systems take their subtypes (flows and maps) from the command line and from parameter
// files; a Delta they cannot calculate with is refused with the reason, on the command
// line before anything is calculated, from a file when the calculation starts.
TEST(RenderCommand, DynamicSystemsTakeTheirSubtypesAndRefuseABadDelta) {
    TempDir dir;
    const std::string png = (dir / "d.png").string();
    for (std::string subtype : {"0", "4", "5", "14"}) {
        Outcome done =
            render({"Dynamic_System", "--subtype", subtype, "--size", "48x36", "-o", png});
        EXPECT_EQ(done.status, 0) << done.err;
    }
    EXPECT_EQ(render({"Dynamic_System", "--subtype", "18", "-o", png}).status, 1);
    Outcome zero = render({"Dynamic_System", "--set", "Delta=0", "-o", png});
    EXPECT_EQ(zero.status, 2);
    EXPECT_NE(zero.err.find("--set Delta=\"0\" is not allowed: Delta must be greater than 0"),
              std::string::npos)
        << zero.err;

    const std::string par = (dir / "drawn.par").string();
    std::ofstream(par) << "Attractor { Type=Dynamic_System Subtype=3 }\n"
                       << "Broken { Type=Dynamic_System Delta=-1 }\n";
    Outcome drawn = render({par, "Attractor", "--size", "48x36", "-o", png});
    EXPECT_EQ(drawn.status, 0) << drawn.err;
    const std::string broken = (dir / "b.png").string();
    Outcome refused = render({par, "Broken", "--size", "48x36", "-o", broken});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("cannot calculate \"Broken\": Delta must be greater than 0"),
              std::string::npos)
        << refused.err;
    EXPECT_FALSE(std::filesystem::exists(broken));
}

// Every corpus entry of the escape-time types, Plasma, Dynamic_System, Lyapunov and
// Bifurcation renders through the command; Lyapunov and Bifurcation images leave no
// pixel without a value.
TEST(RenderCommand, CorpusEntriesOfTheCalculatedTypesRender) {
    const std::filesystem::path corpus = std::filesystem::path(VORTIMAX_CORPUS_DIR) / "par";
    if (!std::filesystem::is_directory(corpus))
        GTEST_SKIP() << "no corpus at " << corpus;
    TempDir dir;
    const std::string png = (dir / "entry.png").string(), npy = (dir / "entry.npy").string();
    const auto everyPixel = [](std::uint32_t type) {
        return type == kTypeLyapunov || type == kTypeBifurcation;
    };
    int escapeTime = 0, others = 0, valued = 0;
    for (const test::CorpusEntry& entry : test::corpusEntries(corpus, [&](std::uint32_t type) {
             return type <= kTypeMandel || type == kTypePlasma || type == kTypeDynamicSystem ||
                    everyPixel(type);
         })) {
        const bool values = everyPixel(entry.type);
        std::vector<std::string> args = {entry.file.string(),        entry.name, "--size",
                                         values ? "48x36" : "64x48", "-o",       png};
        if (values)
            args.insert(args.end(), {"--values", npy});
        Outcome done = render(args);
        ASSERT_EQ(done.status, 0) << entry.file << " " << entry.name << done.err;
        if (!values) {
            ++(entry.type <= kTypeMandel ? escapeTime : others);
            continue;
        }
        const std::string bytes = readBytes(npy); // 128-byte header, then floats
        ASSERT_EQ(bytes.size(), 128u + 48u * 36u * 4u);
        for (std::size_t at = 128; at < bytes.size(); at += 4) {
            float v = 0.0f;
            std::memcpy(&v, bytes.data() + at, 4);
            ASSERT_NE(v, 0.0f) << entry.name << " has uncalculated pixels";
        }
        ++valued;
    }
    EXPECT_GT(escapeTime, 50);
    EXPECT_GE(others, 1);
    EXPECT_GE(valued, 30);
    std::cout << "rendered " << escapeTime << " escape-time, " << others
              << " plasma and dynamic-system, " << valued << " Lyapunov and Bifurcation entries\n";
}

} // namespace
