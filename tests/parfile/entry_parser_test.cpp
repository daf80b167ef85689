#include "app/scripted_frontend.h"
#include "app/temp_dir.h"
#include "model/descriptor_tables.h"
#include "model/param_text.h"
#include "model/type_registry.h"
#include "model/workspace.h"
#include "palette/palette_list.h"
#include "parfile/center_mag.h"
#include "parfile/colour_list.h"
#include "parfile/entry_parser.h"
#include "parfile/entry_writer.h"
#include "parfile/par_loader.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <tuple>

using namespace vortimax;

namespace {

BigFixed big(std::string_view text) {
    return BigFixed::fromText(text, BigFixed::kFileDigitLimit).value();
}

class EntryParser : public ::testing::Test {
protected:
    // A record as the loader makes it, parsed from `entry`.
    std::unique_ptr<FractalRecord> parse(std::string_view entry, bool success = true,
                                         int screenDepth = 24) {
        auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
        record->name = "Test";
        record->comment = "old comment";
        record->pendingEntry = std::string(entry);
        EXPECT_EQ(parseEntry(*record, palettes, sink, {screenDepth, {}}), success) << entry;
        return record;
    }

    PaletteList palettes;
    std::vector<std::string> messages;
    MessageSink sink = [this](std::string_view text) { messages.emplace_back(text); };
};

// ---- type, subtype, comment ----

TEST_F(EntryParser, TypeWords) {
    auto magnet = parse("{ type=magnet2m }");
    EXPECT_EQ(magnet->type, kTypeMandel);
    EXPECT_EQ(magnet->subtype, 4u);
    EXPECT_EQ(parse("{\n  Type=Julia24\n}")->type, kTypeJulia24);
    EXPECT_EQ(parse("{ maxiter=77 }")->type, kTypeMandel);
    // Keys that merely end in "type" are parameters, not the type.
    auto julia = parse("{ ColormodeType=2 OvlType=1 Type=Julia }");
    EXPECT_EQ(julia->type, kTypeJulia);
    EXPECT_EQ(julia->params().integer("ColormodeType"), 2);
    EXPECT_TRUE(messages.empty());
}

TEST_F(EntryParser, UnknownTypeIsReportedAndNothingIsApplied) {
    auto record = parse("{ ; a comment\n  maxiter=5 colors=000 Type=Foo }", false);
    EXPECT_EQ(messages,
              std::vector<std::string>{"Unknown type in entry Test: Foo  (Fractal not loaded)"});
    EXPECT_EQ(record->params().integer("MaxIter"), 150);
    EXPECT_EQ(record->comment, "old comment");
    EXPECT_EQ(palettes.size(), 1u); // the colour list did not become a palette
}

TEST_F(EntryParser, TheEntrysSubtypeGivesTheDefaults) {
    // The writer leaves out values equal to the subtype's own defaults.
    auto julia = parse("{ Type=Julia Subtype=11 }");
    EXPECT_EQ(julia->subtype, 11u);
    EXPECT_EQ(julia->params().integer("Fn2"), 5);
    EXPECT_EQ(julia->params().bigFixed("Dr"), big("1"));
    EXPECT_EQ(parse("{ Type=Tiera_Mandel Subtype=3 }")->params().integer("TestForFinite"), 1);
    // A Subtype word overrides the foreign row, for the defaults too.
    auto lambda = parse("{ type=magnet1j subtype=16 }");
    EXPECT_EQ(lambda->subtype, 16u);
    EXPECT_EQ(lambda->params().bigFixed("Cr"), big("0.85"));
    // Subtypes the type does not have are ignored.
    EXPECT_EQ(parse("{ Type=Julia Subtype=99 }")->subtype, 0u);
    EXPECT_EQ(parse("{ Type=Formula Subtype=-1 }")->subtype, 0u);
}

TEST_F(EntryParser, CommentsWordsAndBraces) {
    auto record = parse("Name ; {Type=Foo}\n{ ; first line\n  Type=Lyapunov ; } second\n"
                        "  ;   Type=Foo maxiter=9\n  Sequence=AB BA\n} maxiter=4");
    EXPECT_EQ(record->type, kTypeLyapunov);
    EXPECT_EQ(record->comment, "first line\n} second\nType=Foo maxiter=9");
    EXPECT_EQ(record->params().integer("MaxIter"), 70);
    EXPECT_EQ(record->params().text("Sequence"), "AB"); // a value never holds a blank
    EXPECT_EQ(parse("{ Type=Julia ;   \n}")->comment, "old comment");
}

// ---- keys ----

TEST_F(EntryParser, HeaderKeysAndBadValues) {
    auto record = parse("{ Type=Julia ColCycStep=2.500 DisplayDepth=24 Width=99999999999 "
                        "ColCycSpeed=fast PalName=" +
                            std::string(100, 'p') + " }",
                        true, 8);
    EXPECT_EQ(record->colCycStep, 2.5);
    EXPECT_EQ(record->displayDepth, 24);
    EXPECT_EQ(record->trueColourOn8Bit, 1);
    EXPECT_EQ(record->width, 2147483647);
    EXPECT_EQ(record->colCycSpeed, 4.0);
    EXPECT_EQ(record->palName, std::string(63, 'p'));
}

TEST_F(EntryParser, PotentialDecompositionBiomorphAndInversion) {
    auto formula = parse("{ Type=Formula biomorph=200 }");
    EXPECT_EQ(formula->params().integer("Biomorphy"), 1);
    EXPECT_EQ(formula->params().real("BiomorphColor"), 200.0);
    EXPECT_EQ(formula->params().real("Bailout"), 100.0);

    auto mandel = parse("{ type=mandel potential=255/820/10 decomp=256 "
                        "invert=0.5/0.123456789012345678901234567/-0.125 }");
    EXPECT_EQ(mandel->params().real("PotSlope"), 820.0);
    EXPECT_EQ(mandel->params().integer("Outside"), 7);
    EXPECT_EQ(mandel->params().integer("Coding"), 256);
    EXPECT_EQ(mandel->params().integer("Inversion"), 1);
    EXPECT_EQ(mandel->params().bigFixed("InvCenterX"), big("0.123456789012345678901234567"));

    // This program writes the table's flag row "Decomp" as "Decomp=+1": the flag, not one
    // band. 0 turns decomposition off rather than on with no bands.
    auto flagged = parse("{ Type=Julia Decomp=+1 }");
    EXPECT_EQ(flagged->params().integer("Decomp"), 1);
    EXPECT_EQ(flagged->params().integer("Coding"), 2);
    EXPECT_EQ(parse("{ Type=Formula Decomp=+1 decomp=0 }")->params().integer("Decomp"), 0);
    // Types without these rows pass the keys over.
    EXPECT_EQ(parse("{ Type=Lyapunov biomorph=3 decomp=2 }")->params().integer("MaxIter"), 70);
}

TEST_F(EntryParser, CornersWithFourOrSixValues) {
    auto plainRecord = parse("{ Stretch=1 corners=-2/2/-1.5/1.5 }");
    BlockRef plain = plainRecord->params();
    EXPECT_EQ(plain.bigFixed("TopLeftR"), big("-2"));
    EXPECT_EQ(plain.bigFixed("BottomRightR"), big("2"));
    EXPECT_EQ(plain.bigFixed("BottomRightI"), big("-1.5"));
    EXPECT_EQ(plain.bigFixed("TopLeftI"), big("1.5"));
    EXPECT_EQ(plain.integer("Stretch"), 0);
    // The bottom-left corner (-2.5, -1.5) gives the top-right corner (2.5, 1.5).
    auto stretchedRecord = parse("{ corners=-2/2/-1.5/1.5/-2.5/-1.5 }");
    BlockRef stretched = stretchedRecord->params();
    EXPECT_EQ(stretched.integer("Stretch"), 1);
    EXPECT_EQ(stretched.bigFixed("TopRightR"), big("2.5"));
    EXPECT_EQ(stretched.bigFixed("TopRightI"), big("1.5"));
    // 40 significant digits are kept; an incomplete list changes nothing.
    auto deep = parse("{ corners=-0.74530000000000000000000000000000000123456789/1/-1/1 }");
    EXPECT_EQ(deep->params().bigFixed("TopLeftR").toText(),
              "-0.7453000000000000000000000000000000012345");
    EXPECT_EQ(parse("{ corners=-2/2/x/1.5 }")->params().bigFixed("TopLeftR"), big("-2.1"));
}

TEST_F(EntryParser, ParamsFunctionsAndDescriptorKeys) {
    auto record = parse("{ Type=Julia params=/x/0.5 function=sin/cosh passes=7 "
                        "OUTSIDE=potential }");
    BlockRef julia = record->params();
    EXPECT_EQ(julia.bigFixed("Cr"), big("0.3")); // unreadable values leave the row alone
    EXPECT_EQ(julia.bigFixed("Dr"), big("0.5"));
    EXPECT_EQ(julia.integer("Fn1"), 0);
    EXPECT_EQ(julia.integer("Fn2"), 2);
    EXPECT_EQ(julia.integer("Passes"), 0); // out of range: the minimum
    EXPECT_EQ(julia.integer("Outside"), 7);
    EXPECT_EQ(parse("{ Type=Julia YStretch=2.5 }")->settings3D().real("YStretch"), 2.5);
    EXPECT_EQ(parse("{ Type=Julia Subtype=11 function=foo }")->params().integer("Fn1"), 0);
    auto formula = parse("{ Type=Formula function=exp/log/sqr/cos/tan params=1/2/3/4/5/6/7/8/9 }");
    EXPECT_EQ(formula->params().integer("fn4"), 8);
    EXPECT_EQ(formula->params().bigFixed("Fi"), big("8"));
    EXPECT_EQ(parse("{ type=bifmay function=tan }")->params().integer("Function"), 9);
    // Drawmode is a row of both tables: the type's row takes it.
    auto dynamic = parse("{ Type=Dynamic_System Drawmode=0 }");
    EXPECT_EQ(dynamic->params().integer("Drawmode"), 0);
    EXPECT_EQ(dynamic->settings3D().integer("Drawmode"), 1);
}

// ---- colours ----

TEST(ColourList, SixBitCharactersInterpolationAndWhereDecodingStops) {
    using Triple = std::array<std::uint8_t, 3>;
    RgbTriples colours = decodeColourList("09A_z`<3>C00");
    EXPECT_EQ(colours[0], (Triple{0, 36, 40}));
    EXPECT_EQ(colours[1], (Triple{144, 252, 148}));
    // Three steps from (36, 63, 37) to (12, 0, 0), each rounded to the nearest value.
    EXPECT_EQ(colours[2], (Triple{120, 188, 112}));
    EXPECT_EQ(colours[3], (Triple{96, 128, 76}));
    EXPECT_EQ(colours[4], (Triple{72, 64, 36}));
    EXPECT_EQ(colours[5], (Triple{48, 0, 0}));
    EXPECT_EQ(colours[6], (Triple{160, 160, 160}));    // not reached: grey
    EXPECT_EQ(decodeColourList("000<1>100")[1][0], 4); // a half rounds up

    Triple grey{160, 160, 160};
    for (std::string_view stop : {"<2>000", "000<2><2>zzz", "000<2>", "000<x>zzz", "000!zzz"})
        EXPECT_EQ(decodeColourList(stop)[1], grey) << stop;
    EXPECT_EQ(decodeColourList("000<99999999999>zzz")[255][0], 0); // clipped at 256
}

TEST_F(EntryParser, ColourListsBecomePalettesOnce) {
    auto record = parse("{ Type=Julia PalOffset=9 colors=000<250>zzz }");
    EXPECT_EQ(record->palName, "Test");
    EXPECT_EQ(record->palOffset, 0.0);
    ASSERT_NE(palettes.find("Test"), nullptr);
    EXPECT_EQ(palettes.find("Test")->colour(251), (Rgb{252, 252, 252}));

    auto again = createRecord(kTypeMandel, 0, RecordCreationContext{});
    again->name = "Other";
    again->pendingEntry = "{ colors=000<250>zzz }";
    ASSERT_TRUE(parseEntry(*again, palettes, sink));
    EXPECT_EQ(messages, std::vector<std::string>{"Duplicate palette: \"Other\" not loaded. "
                                                 "Already in palette list as \"Test\""});
    EXPECT_EQ(again->palName, "Test");
    // Other colours under a taken name get a unique name; "@" names a map.
    EXPECT_EQ(parse("{ colors=zzz000 }")->palName, "Test.1");
    EXPECT_EQ(parse("{ colors=@c:\\maps\\my_fire.map }")->palName, "My_Fire");
    EXPECT_EQ(palettes.size(), 3u);
}

// ---- centre and magnification ----

TEST(BigFixedDivision, QuotientsSignsAndLimits) {
    EXPECT_EQ(divideBigFixed(big("-3"), big("0.5")), big("-6"));
    EXPECT_EQ(divideBigFixed(big("-1"), big("-8")), big("0.125"));
    EXPECT_FALSE(divideBigFixed(big("1"), BigFixed{}));
    // Truncated toward zero: three thirds fall short by the last bit.
    BigFixed third = divideBigFixed(big("1"), big("3")).value();
    EXPECT_EQ(third + third + third + BigFixed::fromWords({1}), big("1"));
    EXPECT_EQ(divideBigFixed(-big("1"), big("3")).value(), -third);
    EXPECT_EQ(divideBigFixed(big("-1000"), big("1e-10")), big("-1e30")); // saturated
}

void expectPoint(const BigFixed& re, const BigFixed& im, double x, double y) {
    EXPECT_NEAR(re.toDouble(), x, 1e-9);
    EXPECT_NEAR(im.toDouble(), y, 1e-9);
}

TEST(CenterMag, RectangleRotationAndSkew) {
    auto plain = centerMagArea("-0.5/0/1");
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->stretch);
    BigFixed w = divideBigFixed(big("1"), big("0.75")).value(); // h = 1
    EXPECT_EQ(plain->topLeftR, big("-0.5") - w);
    EXPECT_EQ(plain->bottomRightI, big("-1"));
    expectPoint(centerMagArea("0/0/2/2")->bottomRightR, BigFixed{}, 1.0 / 3.0, 0.0);

    // Turned by 90 degrees about (0, 0): w = 4/3, h = 1.
    auto turned = centerMagArea("0/0/1/0/90/0");
    ASSERT_TRUE(turned && turned->stretch);
    expectPoint(turned->topLeftR, turned->topLeftI, 1.0, 4.0 / 3.0);
    expectPoint(turned->bottomRightR, turned->bottomRightI, -1.0, -4.0 / 3.0);
    expectPoint(turned->topRightR, turned->topRightI, 1.0, -4.0 / 3.0);
    // Skewed by 45 degrees about (1, 2) with magnification 2: w = 2/3, h = 1/2.
    auto skewed = centerMagArea("1/2/2/1/0/45");
    ASSERT_TRUE(skewed);
    expectPoint(skewed->topLeftR, skewed->topLeftI, 5.0 / 6.0, 2.5);
    expectPoint(skewed->bottomRightR, skewed->bottomRightI, 7.0 / 6.0, 1.5);
    expectPoint(skewed->topRightR, skewed->topRightI, 13.0 / 6.0, 2.5);

    for (std::string_view bad : {"0/0/0", "0/0", "x/0/1", "0/0/1e-200"})
        EXPECT_FALSE(centerMagArea(bad)) << bad;
}

TEST_F(EntryParser, CenterMagSetsTheArea) {
    EXPECT_EQ(parse("{ center-mag=-0.5/0/1 }")->params().bigFixed("TopLeftI"), big("1"));
    EXPECT_EQ(parse("{ CENTER-MAG=0/0/1/1/30/0 }")->params().integer("Stretch"), 1);
    EXPECT_EQ(parse("{ center-mag=0/0/0 }")->params().bigFixed("TopLeftR"), big("-2.1"));
}

// ---- written by this program, read back ----

// Moves every row away from its value: reals by 0.25, high-precision values by 0.5 (exact
// at the digits corners are written with), integers one step within their range, flags
// to the other state, texts to a new word.
void changeEveryRow(BlockRef block) {
    for (std::size_t i = 0; i < block.table().size(); ++i) {
        const ParamDescriptor& row = block.table().row(i);
        std::uint8_t* field = block.field(i);
        std::int32_t word = loadInt(field);
        if (row.kind == ParamKind::Real)
            storeReal(field, loadReal(field) + 0.25);
        else if (row.kind == ParamKind::BigFixed)
            storeBigFixed(field, loadBigFixed(field) + big("0.5"));
        else if (row.kind == ParamKind::Flag)
            storeInt(field, word == 0 ? 1 : 0);
        else if (row.kind == ParamKind::Integer)
            storeInt(field, word + 1 <= row.maximum ? word + 1 : word - 1);
        else
            storeText(field, row.length, "W" + std::to_string(i));
    }
}

void changeHeader(FractalRecord& r) {
    r.comment = "line one\nline two";
    r.dims = r.colCyc = r.scrollbar = 1;
    r.colCycUp = 0;
    r.colCycSpeed = r.colCycStep = 2.5;
    r.numFrames = 25.0;
    r.palName = "Fire";
    r.palNameAnim = "Ice";
    r.palOffset = 3.5;
    r.palOffsetAnim = 1.25;
    r.winWidth = 300;
    r.winHeight = 200;
    r.displayDepth = r.displayDepth == 24 ? 8 : 24;
}

// Corners come back to within the last digit written (a stretched area is written as its
// bottom-left corner); every other row exactly, except working rows ("_dr" ...) and 3D
// rows whose key the type's own table has.
void expectSameRows(ConstBlockRef read, ConstBlockRef written, std::uint32_t type) {
    const DescriptorTable& table = written.table();
    bool params = &table != &settings3DTable();
    int digits = params ? cornerFractionDigits(written.bigFixed("TopLeftR"),
                                               written.bigFixed("BottomRightR"))
                        : 0;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ParamDescriptor& row = table.row(i);
        if (row.key.starts_with('_') || (!params && descriptorTable(type)->find(row.key)))
            continue;
        if (params && i < 6) {
            BigFixed difference = read.bigFixed(row.key) - written.bigFixed(row.key);
            if (fractalType(type)->hasArea) {
                EXPECT_LE(std::fabs(difference.toDouble()), 2 * std::pow(10.0, -digits));
            }
            continue;
        }
        EXPECT_FALSE(valueDiffers(read, written, i))
            << row.key << ": wrote " << displayValue(written, i) << ", read "
            << displayValue(read, i);
    }
}

class RoundTrip : public EntryParser {
protected:
    void writeAndRead(const FractalRecord& written) {
        std::filesystem::path file = dir / "round.par";
        ASSERT_TRUE(writeParameterEntry(written, std::nullopt, file, false));
        Folder* folder = loadParameterFile(file, workspace);
        ASSERT_TRUE(folder != nullptr && folder->fractals().size() == 1);
        FractalRecord& loaded = *folder->fractals().first();
        ASSERT_TRUE(parseEntry(loaded, palettes, sink));
        const FractalRecord& read = loaded;
        auto header = [](const FractalRecord& r) {
            return std::tuple(r.name, r.type, r.subtype, r.comment, r.dims, r.colCyc, r.colCycUp,
                              r.colCycSpeed, r.colCycStep, r.numFrames, r.palName, r.palOffset,
                              r.palNameAnim, r.palOffsetAnim, r.winWidth, r.winHeight, r.scrollbar,
                              r.displayDepth);
        };
        EXPECT_EQ(header(read), header(written));
        expectSameRows(read.params(), written.params(), written.type);
        expectSameRows(read.settings3D(), written.settings3D(), written.type);
        workspace.deleteFolder(*folder, false);
    }

    // Every type, every iteration formula and every bifurcation map, with its defaults
    // (which the writer leaves out) or with every value changed.
    void everyTypeAndSubtype(bool changed) {
        for (std::uint32_t type = 0; type < kFractalTypeCount; ++type) {
            for (std::uint32_t subtype = 0; subtype <= highestSubtype(type); ++subtype) {
                SCOPED_TRACE(std::string(registryName(type)) + " " + std::to_string(subtype));
                auto record = createRecord(type, subtype, RecordCreationContext{});
                record->name = "RT";
                if (changed) {
                    changeHeader(*record);
                    changeEveryRow(record->params());
                    changeEveryRow(record->settings3D());
                }
                writeAndRead(*record);
            }
        }
    }

    vortimax::test::TempDir dir;
    ScriptedFrontend frontend;
    Workspace workspace{frontend};
};

TEST_F(RoundTrip, DefaultsOfEveryTypeAndSubtype) {
    everyTypeAndSubtype(false);
    EXPECT_TRUE(messages.empty());
}

TEST_F(RoundTrip, EveryValueChangedInEveryTypeAndSubtype) {
    everyTypeAndSubtype(true);
}

TEST_F(RoundTrip, DeepZoomCornersKeepTheirDigits) {
    auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
    record->name = "Deep";
    BigFixed left = big("-0.74531234567890123456789012345678");
    record->params().setBigFixed("TopLeftR", left);
    record->params().setBigFixed("BottomRightR", left + big("1e-12")); // 16 digits
    writeAndRead(*record);
}

// ---- hostile input ----

TEST_F(EntryParser, ArbitraryBytesNeverBreakTheParser) {
    const std::string alphabet = "{};=/<>@ \n\r\t\\-+.eE0123456789azAZ_`~\x80\xff";
    const std::vector<std::string> keys = {
        "type=",      "corners=",  "center-mag=", "params=",  "colors=",       "invert=",
        "potential=", "function=", "subtype=",    "maxiter=", "type=magnet1m "};
    std::mt19937 random(12345);
    for (int round = 0; round < 500; ++round) {
        std::string entry = "{";
        for (int i = static_cast<int>(random() % 12); i > 0; --i) {
            entry += keys[random() % keys.size()];
            for (int k = static_cast<int>(random() % 30); k > 0; --k)
                entry += alphabet[random() % alphabet.size()];
        }
        auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
        record->pendingEntry = entry;
        if (parseEntry(*record, palettes, sink)) {
            EXPECT_LE(record->subtype, highestSubtype(record->type)) << entry;
        }
    }
}

} // namespace
