// Save, load and render again give the same picture: through parameter files, through the
// entry a PNG carries, and with palettes that no map file holds.

#include "app/temp_dir.h"
#include "cli/loaded_files.h"
#include "cli/parfile_commands.h"
#include "cli/render_command.h"
#include "cli_test_support.h"
#include "imagefile/png_loader.h"
#include "model/big_fixed.h"
#include "model/param_text.h"
#include "model/type_registry.h"
#include "palette/map_file.h"
#include "parfile/entry_parser.h"
#include "parfile/entry_writer.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace vortimax;
using vortimax::test::Outcome;
using vortimax::test::readBytes;
using vortimax::test::run;
using vortimax::test::TempDir;
using vortimax::test::writeBytes;

namespace {

namespace fs = std::filesystem;

// A program directory of its own, so that no per-user directory takes part.
class RoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(program / "Palettes");
        writeBytes(program / "Vortimax.cfg", "PalettePath " + (program / "Palettes").string() +
                                                 "\r\nFormulaPath " VORTIMAX_DATA_DIR
                                                 "/Formulas\r\n");
    }
    std::string path(std::string_view name) const { return (dir / name).string(); }
    Outcome render(std::vector<std::string> args) {
        args.insert(args.end(), {"--dir", program.string()});
        return run(cli::runRender, std::move(args));
    }
    // Renders the source, then the PNG that render wrote: both pictures must agree in
    // every pixel and colour. Returns the first one.
    DecodedPng expectSameAfterReload(std::vector<std::string> source, const std::string& name) {
        const std::string first = path(name + ".png"), second = path(name + ".again.png");
        source.insert(source.end(), {"-o", first});
        const Outcome a = render(source);
        EXPECT_EQ(a.status, 0) << a.err;
        const Outcome b = render({first, "-o", second});
        EXPECT_EQ(b.status, 0) << b.err;
        DecodedPng one, two;
        EXPECT_EQ(loadPng(first, one), PngLoadResult::Loaded);
        EXPECT_EQ(loadPng(second, two), PngLoadResult::Loaded);
        EXPECT_EQ(two.width, one.width);
        EXPECT_EQ(two.height, one.height);
        EXPECT_TRUE(one.bgrRows == two.bgrRows) << name << ": the pictures differ";
        return one;
    }

    TempDir dir;
    fs::path program = dir / "program";
};

// A view 1e-13 wide whose corners came from arithmetic (a third of a width), saved as a
// desktop save does: the entry, the PNG made from it and the PNG made from that agree.
TEST_F(RoundTrip, DeepZoomSavedLoadedAndRenderedIsPixelIdentical) {
    auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
    record->name = "Deep";
    const BigFixed centreR = BigFixed::fromText("-0.743643887037151", 40).value();
    const BigFixed centreI = BigFixed::fromText("0.13182590420533", 40).value();
    const BigFixed half = BigFixed::fromText("1e-13", 40)->dividedBy(3);
    BlockRef params = record->params();
    params.setBigFixed("TopLeftR", centreR - half);
    params.setBigFixed("BottomRightR", centreR + half);
    params.setBigFixed("TopLeftI", centreI + half.multipliedBy(0.75));
    params.setBigFixed("BottomRightI", centreI - half.multipliedBy(0.75));
    params.setInteger("MaxIter", 2000);
    ASSERT_TRUE(writeParameterEntry(*record, std::nullopt, path("deep.par"), false));

    const DecodedPng image =
        expectSameAfterReload({path("deep.par"), "Deep", "--size", "96x72"}, "deep");
    // The corners came back to within a 40-digit decimal: the same doubles per pixel.
    cli::LoadedFiles files;
    std::ostringstream ignored;
    ASSERT_TRUE(files.load(path("deep.par"), ignored));
    ASSERT_TRUE(files.parse(files.entries().front()));
    const ConstBlockRef read = std::as_const(*files.entries().front().record).params();
    for (const char* key : {"TopLeftR", "BottomRightR", "TopLeftI", "BottomRightI"})
        EXPECT_EQ(read.bigFixed(key).toDouble(),
                  std::as_const(*record).params().bigFixed(key).toDouble())
            << key;
    // Writing what was read gives the same text again.
    EXPECT_EQ(parameterEntryText(*files.entries().front().record), parameterEntryText(*record));
    EXPECT_EQ(image.width, 96);
}

// A corpus entry naming a map file ("colors=@blues.map") is coloured with that map when
// the program directory has it, and keeps it through the PNG.
TEST_F(RoundTrip, CorpusEntryWithAMapFileKeepsItsPalette) {
    const fs::path corpus = fs::path(VORTIMAX_CORPUS_DIR);
    if (!fs::is_regular_file(corpus / "map" / "blues.map"))
        GTEST_SKIP() << "no corpus at " << corpus;
    fs::copy_file(corpus / "map" / "blues.map", program / "Palettes" / "blues.map");
    const std::string entryFile = (corpus / "par" / "fractint.par").string();
    const DecodedPng image =
        expectSameAfterReload({entryFile, "Hypnoteyes2", "--size", "80x60"}, "hypnoteyes2");
    std::optional<Palette> blues = readMapFile(program / "Palettes" / "blues.map");
    ASSERT_TRUE(blues && image.palette);
    for (std::size_t i = 0; i < kPaletteColours; ++i) {
        const Rgb colour = blues->colour(i);
        EXPECT_EQ((*image.palette)[i],
                  (std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(colour.red),
                                               static_cast<std::uint8_t>(colour.green),
                                               static_cast<std::uint8_t>(colour.blue)}))
            << i;
    }
    // Without the map file the default palette colours it, and the entry still names it.
    fs::remove(program / "Palettes" / "blues.map");
    const Outcome without =
        render({entryFile, "Hypnoteyes2", "--size", "8x6", "-o", path("d.png")});
    ASSERT_EQ(without.status, 0) << without.err;
    DecodedPng plain;
    ASSERT_EQ(loadPng(path("d.png"), plain), PngLoadResult::Loaded);
    EXPECT_NE(plain.palette, image.palette);
    EXPECT_NE(plain.parameterTexts.at(0).find("PalName=Blues"), std::string::npos);
}

// A palette that only the image holds (colours that are no multiples of 4 included)
// survives the image, a parameter file made from its entry, and that file's render.
TEST_F(RoundTrip, ImagePaletteTravelsThroughParameterFiles) {
    Palette odd;
    for (std::size_t i = 0; i < kPaletteEntries; ++i)
        odd.setColour(i, Rgb{static_cast<int>(i * 7 % 256), static_cast<int>(255 - i),
                             static_cast<int>(i * 13 % 251)});
    ASSERT_TRUE(writeMapFile(odd, path("odd.map")));
    const DecodedPng first =
        expectSameAfterReload({"Julia", "--size", "64x48", "--palette", path("odd.map")}, "odd");
    // The second image's entry lists the colours; as a parameter file it renders the same.
    DecodedPng second;
    ASSERT_EQ(loadPng(path("odd.again.png"), second), PngLoadResult::Loaded);
    const std::string& entry = second.parameterTexts.at(0);
    EXPECT_NE(entry.find("colors="), std::string::npos);
    EXPECT_NE(entry.find("ColorsLowBits="), std::string::npos);
    writeBytes(dir / "odd.par", entry);
    const Outcome fromFile =
        render({path("odd.par"), "Odd", "--size", "64x48", "-o", path("c.png")});
    ASSERT_EQ(fromFile.status, 0) << fromFile.err;
    DecodedPng third;
    ASSERT_EQ(loadPng(path("c.png"), third), PngLoadResult::Loaded);
    EXPECT_TRUE(third.bgrRows == first.bgrRows);
    EXPECT_EQ(third.palette, first.palette);
}

// Every word of every row, but the area of types without one (Plasma): such entries may
// name corners, which mean nothing there and are not written.
// (The six area rows come first in every table.)
void expectSameRows(ConstBlockRef read, ConstBlockRef written, std::uint32_t type,
                    const std::string& text) {
    const bool hasArea = fractalType(type)->hasArea;
    for (std::size_t i = 0; i < written.table().size(); ++i) {
        const std::string_view key = written.table().row(i).key;
        if (!hasArea && i < 6)
            continue;
        EXPECT_FALSE(valueDiffers(read, written, i))
            << key << ": " << displayValue(written, i) << " came back as " << displayValue(read, i)
            << "\n"
            << text;
    }
}

// Every entry of every corpus parameter file that reads is written and read back to the
// same parameters, and converting all files together keeps every one of them.
TEST(CorpusRoundTrip, EveryEntryThatReadsIsWrittenAndReadBackExactly) {
    const fs::path corpus = fs::path(VORTIMAX_CORPUS_DIR) / "par";
    if (!fs::is_directory(corpus))
        GTEST_SKIP() << "no corpus at " << corpus;
    cli::LoadedFiles files;
    std::vector<std::string> args;
    std::ostringstream ignored;
    for (const auto& item : fs::directory_iterator(corpus)) {
        files.load(item.path(), ignored);
        args.push_back(item.path().string());
    }
    files.parseAll();
    std::size_t readable = 0;
    for (cli::LoadedEntry& entry : files.entries()) {
        if (!entry.parsed)
            continue;
        ++readable;
        FractalRecord& written = *entry.record;
        auto read = createRecord(kTypeMandel, 0, RecordCreationContext{});
        read->name = written.name;
        const std::string text = parameterEntryText(written, std::nullopt, &files.palettes());
        ASSERT_TRUE(parseEntryText(*read, text, files.palettes(), {})) << text;
        SCOPED_TRACE(entry.file + ": " + written.name);
        EXPECT_EQ(read->type, written.type);
        EXPECT_EQ(read->subtype, written.subtype);
        EXPECT_EQ(read->palName, written.palName);
        EXPECT_EQ(read->palOffset, written.palOffset);
        expectSameRows(std::as_const(*read).params(), std::as_const(written).params(), written.type,
                       text);
        EXPECT_TRUE(read->settings3DBlock == written.settings3DBlock) << text;
    }
    EXPECT_GT(readable, 150u);

    TempDir dir;
    args.insert(args.end(), {"-o", (dir / "all.par").string()});
    const Outcome converted = run(cli::runConvert, args);
    EXPECT_EQ(converted.status, 1); // entries of types this program does not have
    EXPECT_EQ(converted.out.substr(0, converted.out.find(' ')), std::to_string(readable));
    cli::LoadedFiles back;
    ASSERT_TRUE(back.load(dir / "all.par", ignored));
    back.parseAll();
    EXPECT_EQ(back.entries().size(), readable);
    for (const cli::LoadedEntry& entry : back.entries())
        EXPECT_TRUE(entry.parsed) << entry.record->name;
}

} // namespace
