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
#include "parfile/foreign_types.h"
#include "parfile/par_loader.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <tuple>
#include <utility>

using namespace vortimax;

namespace {

BigFixed big(std::string_view text) {
    return BigFixed::fromText(text, BigFixed::kFileDigitLimit).value();
}

// Checks "Key=value" words against the rows as displayed; "3D." picks a 3D setting.
void expectRows(const FractalRecord& r, const std::string& expected) {
    std::istringstream words(expected);
    for (std::string word; words >> word;) {
        std::string key = word.substr(0, word.find('='));
        const bool is3D = key.starts_with("3D.");
        ConstBlockRef block = is3D ? r.settings3D() : r.params();
        key.erase(0, is3D ? 3 : 0);
        EXPECT_EQ(displayValue(block, block.indexOf(key)), word.substr(word.find('=') + 1))
            << key << " in " << expected;
    }
}

class EntryParser : public ::testing::Test {
protected:
    // A record as the loader makes it, parsed from `entry`.
    std::unique_ptr<FractalRecord> parse(std::string_view entry, bool success = true,
                                         int screenDepth = 24, const char* name = "Test") {
        auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
        record->name = name;
        record->comment = "old comment";
        record->pendingEntry = std::string(entry);
        EXPECT_EQ(parseEntry(*record, palettes, sink, {screenDepth, {}}), success) << entry;
        return record;
    }

    PaletteList palettes;
    std::vector<std::string> messages;
    MessageSink sink = [this](std::string_view text) { messages.emplace_back(text); };
};

TEST_F(EntryParser, UnknownTypeIsReportedAndNothingIsApplied) {
    auto record = parse("{ ; a comment\n  maxiter=5 colors=000 Type=Foo }", false);
    EXPECT_EQ(messages,
              std::vector<std::string>{"Unknown type in entry Test: Foo  (Fractal not loaded)"});
    EXPECT_EQ(record->params().integer("MaxIter"), 150);
    EXPECT_EQ(record->comment, "old comment");
    EXPECT_EQ(palettes.size(), 1u); // the colour list did not become a palette
}

// A type other programs know but no type here draws is refused once, naming the type and
// the reason; a name nobody knows keeps the unknown-type message.
TEST_F(EntryParser, ForeignTypesThatCannotBeReadAreRefusedWithTheReason) {
    auto record = parse("{ type=Cellular params=1/2 maxiter=5 }", false, 24, "Life");
    EXPECT_EQ(messages, std::vector<std::string>{"Type Cellular of entry Life cannot be read: a "
                                                 "cellular automaton, which no type here draws  "
                                                 "(Fractal not loaded)"});
    EXPECT_EQ(record->params().integer("MaxIter"), 150);
    EXPECT_FALSE(peekEntryType("{ type=cellular }"));
    for (const RefusedForeignType& row : refusedForeignTypes()) {
        EXPECT_FALSE(resolveTypeName(row.name)) << row.name << " is both mapped and refused";
        EXPECT_EQ(refusalReason(row.name), row.reason);
    }
    EXPECT_FALSE(refusalReason("phoenix"));
}

// Escape-time types of other programs become Formula fractals over the shipped classic
// formulas, orbit types dynamic systems. The type's presets come first, so the entry's own
// keys win; params go to the rows the mapping names.
TEST_F(EntryParser, ForeignTypesMapOntoFormulasAndDynamicSystems) {
    struct Case {
        const char* entry;
        std::uint32_t type, subtype;
        const char* rows;
    };
    const Case cases[] = {
        // Presets alone: the formula and the foreign type's own starting values.
        {"{ type=phoenix }", kTypeFormula, 0,
         "FormulaName=ClassicPhoenix Cr=0.56667 Ci=-0.5 Bailout=4"},
        // params fill p1, p2 pairwise; bailout, maxiter, inside and the function carry over.
        {"{ type=Phoenix params=-0.75/1.4/3 bailout=100 maxiter=500 inside=zmag }", kTypeFormula, 0,
         "Cr=-0.75 Ci=1.4 Dr=3.0 Di=0.0 Bailout=100 MaxIter=500 Inside=zmag"},
        {"{ type=lambdafn function=exp params=2/4 }", kTypeFormula, 0,
         "FormulaName=ClassicLambdaFn fn1=3 Cr=2.0 Ci=4.0 Bailout=64"},
        {"{ type=hypercomplexj }", kTypeFormula, 0, "fn1=5 Cr=-0.745 Dr=0.113 Di=0.05"},
        {"{ type=hypercomplexj function=exp }", kTypeFormula, 0, "fn1=3"},
        // frothybasin's params choose colourings: they leave the constant alone.
        {"{ type=frothybasin params=6/1 }", kTypeFormula, 0, "Cr=1.02871376822 Ci=0.0 Dr=0.0"},
        // A map's constants and a flow's constants after the foreign time step.
        {"{ type=hopalong params=1.5/0.5/4.6/9 maxiter=3 }", kTypeDynamicSystem, 5,
         "A=1.5 B=0.5 C=4.6 Z=0 Alpha=180 Drawmode=1"},
        {"{ type=latoocarfian params=-0.95/2.75/0.075/-0.56 }", kTypeDynamicSystem, 12,
         "A=-0.95 B=2.75 C=0.075 Z=-0.56"},
        {"{ type=gingerbreadman params=8/2 }", kTypeDynamicSystem, 10, "X=8 Y=2"},
        {"{ type=lorenz3d params=0.02/5/15/1/0/3 }", kTypeDynamicSystem, 0,
         "A=5 B=15 C=1 Delta=0.1 Alpha=0"},
        {"{ type=rossler3d params=0.04/0.3 }", kTypeDynamicSystem, 4, "A=0.3 B=0.2 C=5.7"},
        {"{ type=lorenz3d4 }", kTypeDynamicSystem, 3, "Alpha=180 Beta=90"},
        {"{ type=popcorn params=0.15 }", kTypeDynamicSystem, 16, "A=0.15 C=60 Z=30"},
        {"{ type=julia_inverse params=-0.194/0.6557/3/1024 }", kTypeDynamicSystem, 14,
         "A=-0.194 B=0.6557 Time=1e+05"},
    };
    for (const Case& c : cases) {
        auto record = parse(c.entry);
        EXPECT_EQ(record->type, c.type) << c.entry;
        EXPECT_EQ(record->subtype, c.subtype) << c.entry;
        expectRows(*record, c.rows);
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(EntryParser, TypeSubtypeAndRows) {
    struct Case {
        const char* entry;
        std::uint32_t type, subtype;
        const char* rows;
    };
    const Case cases[] = {
        {"{ type=magnet2m }", kTypeMandel, 4, "TestForFinite=1"},
        {"{\n  Type=Julia24\n}", kTypeJulia24, 0, ""},
        {"{ maxiter=77 }", kTypeMandel, 0, "MaxIter=77"},
        // Keys that merely end in "type" are parameters, not the type.
        {"{ ColormodeType=2 OvlType=1 Type=Julia }", kTypeJulia, 0, "ColormodeType=2"},
        // The writer leaves out values equal to the subtype's own defaults.
        {"{ Type=Julia Subtype=11 }", kTypeJulia, 11, "Fn2=5 Dr=1.0"},
        {"{ type=magnet1j subtype=16 }", kTypeJulia, 16, "Cr=0.85"}, // overrides the foreign row
        {"{ Type=Julia Subtype=99 }", kTypeJulia, 0, ""}, // subtypes the type lacks: ignored
        {"{ Type=Formula Subtype=-1 }", kTypeFormula, 0, ""},
        {"{ Type=Formula biomorph=200 }", kTypeFormula, 0,
         "Biomorphy=1 BiomorphColor=200 Bailout=100"},
        {"{ type=mandel potential=255/820/10 decomp=256 "
         "invert=0.5/0.123456789012345678901234567/-0.125 }",
         kTypeMandel, 0,
         "PotSlope=820 Outside=potential Coding=256 Inversion=1 "
         "InvCenterX=0.123456789012345678901234567"},
        // "Decomp=+1" is this program's flag row, not one band; 0 turns decomposition off.
        {"{ Type=Julia Decomp=+1 }", kTypeJulia, 0, "Decomp=1 Coding=2"},
        {"{ Type=Formula Decomp=+1 decomp=0 }", kTypeFormula, 0, "Decomp=0"},
        {"{ Type=Lyapunov biomorph=3 decomp=2 }", kTypeLyapunov, 0, "MaxIter=70"},
        {"{ Type=Lyapunov Subtype=4 }", kTypeLyapunov, 4, "Sequence=BA"},
        {"{ Type=Lyapunov Subtype=5 }", kTypeLyapunov, 0, ""},
        {"{ Stretch=1 corners=-2/2/-1.5/1.5 }", kTypeMandel, 0,
         "TopLeftR=-2.0 BottomRightR=2.0 BottomRightI=-1.5 TopLeftI=1.5 Stretch=0"},
        // The bottom-left corner (-2.5, -1.5) gives the top-right corner (2.5, 1.5).
        {"{ corners=-2/2/-1.5/1.5/-2.5/-1.5 }", kTypeMandel, 0,
         "Stretch=1 TopRightR=2.5 TopRightI=1.5"},
        // 40 significant digits are kept; an incomplete list changes nothing.
        {"{ corners=-0.74530000000000000000000000000000000123456789/1/-1/1 }", kTypeMandel, 0,
         "TopLeftR=-0.7453000000000000000000000000000000012345"},
        {"{ corners=-2/2/x/1.5 }", kTypeMandel, 0, "TopLeftR=-2.1"},
        {"{ center-mag=-0.5/0/1 }", kTypeMandel, 0, "TopLeftI=1.0 Stretch=0"},
        {"{ CENTER-MAG=0/0/1/1/30/0 }", kTypeMandel, 0, "Stretch=1"},
        {"{ center-mag=0/0/0 }", kTypeMandel, 0, "TopLeftR=-2.1"},
        // Unreadable values leave the row alone; integers out of range take the minimum.
        {"{ Type=Julia params=/x/0.5 function=sin/cosh passes=7 OUTSIDE=potential }", kTypeJulia, 0,
         "Cr=0.3 Dr=0.5 Fn1=0 Fn2=2 Passes=0 Outside=potential"},
        {"{ Type=Julia YStretch=2.5 }", kTypeJulia, 0, "3D.YStretch=2.5"},
        {"{ Type=Julia Subtype=11 function=foo }", kTypeJulia, 11, "Fn1=0"},
        {"{ Type=Formula function=exp/log/sqr/cos/tan params=1/2/3/4/5/6/7/8/9 }", kTypeFormula, 0,
         "fn4=8 Fi=8.0"},
        {"{ type=bifmay function=tan }", kTypeBifurcation, 5, "Function=9"},
        // Drawmode is a row of both tables: the type's row takes it.
        {"{ Type=Dynamic_System Drawmode=0 }", kTypeDynamicSystem, 0, "Drawmode=0 3D.Drawmode=1"},
        // Foreign entries name their IFS and L-system definitions with ifs= and lname=.
        {"{ type=ifs ifsfile=x.ifs ifs=Leaf7 }", kTypeIfs, 0, "Formula=Leaf7"},
        {"{ type=lsystem lfile=x.l lname=Plant1 }", kTypeLSystem, 0, "Formula=Plant1"},
        {"{ type=mandel ifs=Leaf7 lname=Plant1 }", kTypeMandel, 0, ""},
        // The five dynamic systems are subtypes 0 to 4.
        {"{ Type=Dynamic_System Subtype=4 }", kTypeDynamicSystem, 4, "Drawmode=0"},
        {"{ Type=Dynamic_System Subtype=18 }", kTypeDynamicSystem, 0, "Drawmode=0"},
        {"{ Type=Dynamic_System Subtype=5 }", kTypeDynamicSystem, 5, "Drawmode=1"},
    };
    for (const Case& c : cases) {
        auto record = parse(c.entry);
        EXPECT_EQ(record->type, c.type) << c.entry;
        EXPECT_EQ(record->subtype, c.subtype) << c.entry;
        expectRows(*record, c.rows);
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(EntryParser, CommentsWordsBracesAndHeaderKeys) {
    auto record = parse("Name ; {Type=Foo}\n{ ; first line\n  Type=Lyapunov ; } second\n"
                        "  ;   Type=Foo maxiter=9\n  Sequence=AB BA\n} maxiter=4");
    EXPECT_EQ(record->type, kTypeLyapunov);
    EXPECT_EQ(record->comment, "first line\n} second\nType=Foo maxiter=9");
    expectRows(*record, "MaxIter=70 Sequence=AB"); // a value never holds a blank
    EXPECT_EQ(parse("{ Type=Julia ;   \n}")->comment, "old comment");

    auto header = parse("{ Type=Julia ColCycStep=2.500 DisplayDepth=24 Width=99999999999 "
                        "ColCycSpeed=fast PalName=" +
                            std::string(100, 'p') + " }",
                        true, 8);
    // Out-of-range numbers saturate and long names are cut to the field.
    EXPECT_EQ(std::tuple(header->colCycStep, header->displayDepth, header->trueColourOn8Bit,
                         header->width, header->colCycSpeed, header->palName),
              std::tuple(2.5, 24, 1, 2147483647, 4.0, std::string(63, 'p')));
}

TEST(ColourList, SixBitCharactersInterpolationAndWhereDecodingStops) {
    using Triple = std::array<std::uint8_t, 3>;
    // Three steps from (36, 63, 37) to (12, 0, 0), each rounded; unreached entries are grey.
    const Triple expected[] = {{0, 36, 40},  {144, 252, 148}, {120, 188, 112}, {96, 128, 76},
                               {72, 64, 36}, {48, 0, 0},      {160, 160, 160}};
    RgbTriples colours = decodeColourList("09A_z`<3>C00");
    for (std::size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(colours[i], expected[i]) << i;
    EXPECT_EQ(decodeColourList("000<1>100")[1][0], 4); // a half rounds up
    for (std::string_view stop : {"<2>000", "000<2><2>zzz", "000<2>", "000<x>zzz", "000!zzz"})
        EXPECT_EQ(decodeColourList(stop)[1], (Triple{160, 160, 160})) << stop;
    EXPECT_EQ(decodeColourList("000<99999999999>zzz")[255][0], 0); // clipped at 256
}

TEST_F(EntryParser, ColourListsBecomePalettesOnce) {
    auto record = parse("{ Type=Julia PalOffset=9 colors=000<250>zzz }");
    EXPECT_EQ(record->palName, "Test");
    EXPECT_EQ(record->palOffset, 0.0);
    ASSERT_NE(palettes.find("Test"), nullptr);
    EXPECT_EQ(palettes.find("Test")->colour(251), (Rgb{252, 252, 252}));
    EXPECT_EQ(parse("{ colors=000<250>zzz }", true, 24, "Other")->palName, "Test");
    EXPECT_EQ(messages, std::vector<std::string>{"Duplicate palette: \"Other\" not loaded. "
                                                 "Already in palette list as \"Test\""});
    // Other colours under a taken name get a unique name; "@" names a map.
    EXPECT_EQ(parse("{ colors=zzz000 }")->palName, "Test.1");
    EXPECT_EQ(parse("{ colors=@c:\\maps\\my_fire.map }")->palName, "My_Fire");
    EXPECT_EQ(palettes.size(), 3u);
}

TEST(CenterMag, DivisionRectangleRotationAndSkew) {
    // Quotients truncate toward zero (three thirds fall short by the last bit) and saturate.
    EXPECT_EQ(divideBigFixed(big("-3"), big("0.5")), big("-6"));
    EXPECT_FALSE(divideBigFixed(big("1"), BigFixed{}));
    BigFixed third = divideBigFixed(big("1"), big("3")).value();
    EXPECT_EQ(third + third + third + BigFixed::fromWords({1}), big("1"));
    EXPECT_EQ(divideBigFixed(-big("1"), big("3")).value(), -third);
    EXPECT_EQ(divideBigFixed(big("-1000"), big("1e-10")), big("-1e30"));

    auto plain = centerMagArea("-0.5/0/1");
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->stretch);
    EXPECT_EQ(plain->topLeftR, big("-0.5") - divideBigFixed(big("1"), big("0.75")).value());
    EXPECT_EQ(plain->bottomRightI, big("-1"));
    EXPECT_NEAR(centerMagArea("0/0/2/2")->bottomRightR.toDouble(), 1.0 / 3.0, 1e-9);
    // Turned by 90 degrees about (0, 0): w = 4/3, h = 1. Skewed by 45 degrees about (1, 2)
    // with magnification 2: w = 2/3, h = 1/2. Points: top left, bottom right, top right.
    const std::pair<const char*, std::array<double, 6>> cases[] = {
        {"0/0/1/0/90/0", {1.0, 4.0 / 3.0, -1.0, -4.0 / 3.0, 1.0, -4.0 / 3.0}},
        {"1/2/2/1/0/45", {5.0 / 6.0, 2.5, 7.0 / 6.0, 1.5, 13.0 / 6.0, 2.5}}};
    for (const auto& [text, want] : cases) {
        auto area = centerMagArea(text);
        ASSERT_TRUE(area && area->stretch) << text;
        const BigFixed* got[] = {&area->topLeftR,     &area->topLeftI,  &area->bottomRightR,
                                 &area->bottomRightI, &area->topRightR, &area->topRightI};
        for (std::size_t i = 0; i < 6; ++i)
            EXPECT_NEAR(got[i]->toDouble(), want[i], 1e-9) << text << " " << i;
    }
    for (std::string_view bad : {"0/0/0", "0/0", "x/0/1", "0/0/1e-200"})
        EXPECT_FALSE(centerMagArea(bad)) << bad;
}

// Moves every row off its value: reals by 0.25, high-precision values by 0.5 (exact at
// the digits corners are written with), integers one step in range, flags over, texts.
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
    r.dims = r.colCyc = r.scrollbar = 1;
    r.colCycUp = 0;
    r.colCycSpeed = r.colCycStep = 2.5;
    r.displayDepth = r.displayDepth == 24 ? 8 : 24;
    std::tie(r.comment, r.palName, r.palNameAnim, r.palOffset, r.palOffsetAnim, r.numFrames,
             r.winWidth, r.winHeight) =
        std::tuple("line one\nline two", "Fire", "Ice", 3.5, 1.25, 25.0, 300, 200);
}

auto headerOf(const FractalRecord& r) {
    return std::tuple(r.name, r.type, r.subtype, r.comment, r.dims, r.colCyc, r.colCycUp,
                      r.colCycSpeed, r.colCycStep, r.numFrames, r.palName, r.palOffset,
                      r.palNameAnim, r.palOffsetAnim, r.winWidth, r.winHeight, r.scrollbar,
                      r.displayDepth);
}

// Every row comes back exactly (high-precision values word for word), except working
// rows ("_dr" ...), 3D rows whose key the type's own table has and the area of the types
// without one. The top-right corner of a stretched area travels as the bottom-left
// corner, a sum of three values, and comes back to within the last few of its 296 bits.
void expectSameRows(ConstBlockRef read, ConstBlockRef written, std::uint32_t type) {
    const DescriptorTable& table = written.table();
    const bool params = &table != &settings3DTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ParamDescriptor& row = table.row(i);
        if (row.key.starts_with('_') || (!params && descriptorTable(type)->find(row.key)))
            continue;
        if (params && i < 6 && !fractalType(type)->hasArea)
            continue;
        if (params && row.key.starts_with("TopRight")) {
            const BigFixed off = read.bigFixed(row.key) - written.bigFixed(row.key);
            EXPECT_EQ(off.toDouble(), 0.0) << row.key; // below 2^-200
            continue;
        }
        EXPECT_FALSE(valueDiffers(read, written, i))
            << row.key << ": wrote " << displayValue(written, i) << ", read "
            << displayValue(read, i);
    }
}

// Every type, iteration formula and bifurcation map, with its defaults (which the writer
// leaves out) and with every value changed, written to a file and read back.
TEST_F(EntryParser, WrittenEntriesReadBackForEveryTypeAndSubtype) {
    vortimax::test::TempDir dir;
    ScriptedFrontend frontend;
    Workspace workspace{frontend};
    for (bool changed : {false, true}) {
        for (std::uint32_t type = 0; type < kFractalTypeCount; ++type) {
            for (std::uint32_t subtype = 0; subtype <= highestSubtype(type); ++subtype) {
                SCOPED_TRACE(std::string(registryName(type)) + " " + std::to_string(subtype) +
                             (changed ? " changed" : " defaults"));
                auto written = createRecord(type, subtype, RecordCreationContext{});
                written->name = "RT";
                if (changed) {
                    changeHeader(*written);
                    changeEveryRow(written->params());
                    changeEveryRow(written->settings3D());
                }
                ASSERT_TRUE(writeParameterEntry(*written, std::nullopt, dir / "rt.par", false));
                Folder* folder = loadParameterFile(dir / "rt.par", workspace);
                ASSERT_TRUE(folder != nullptr && folder->fractals().size() == 1);
                FractalRecord& read = *folder->fractals().first();
                ASSERT_TRUE(parseEntry(read, palettes, sink));
                EXPECT_EQ(headerOf(read), headerOf(*written));
                const FractalRecord& constRead = read;
                expectSameRows(constRead.params(), std::as_const(*written).params(), type);
                expectSameRows(constRead.settings3D(), std::as_const(*written).settings3D(), type);
                workspace.deleteFolder(*folder, false);
            }
        }
    }
    EXPECT_TRUE(messages.empty());
}

// Random runs of bytes dropped into an entry that uses every list-valued key.
TEST_F(EntryParser, ArbitraryBytesNeverBreakTheParser) {
    const std::string seed = "{ type=magnet1m corners=-2/2/-1/1/-3/-1 center-mag=0/0/1/1/30/9 "
                             "params=1/2/3 colors=000<3>zzz invert=1/2/3 potential=1/2/3 "
                             "function=sin/cos subtype=3 biomorph=1 decomp=2 maxiter=9 }";
    const std::string bytes = "{};=/<>@ \n\r\t\\-+.eE09azAZ_`~\x80\xff";
    std::mt19937 random(12345);
    for (int round = 0; round < 500; ++round) {
        std::string entry = seed;
        for (int k = static_cast<int>(random() % 8); k >= 0; --k)
            entry.insert(random() % entry.size(), random() % 12, bytes[random() % bytes.size()]);
        entry.resize(entry.size() - random() % 40);
        auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
        record->pendingEntry = entry;
        EXPECT_TRUE(!parseEntry(*record, palettes, sink) ||
                    record->subtype <= highestSubtype(record->type))
            << entry;
    }
}

void expectType(std::string_view name, std::uint32_t type, std::uint32_t subtype, bool foreign) {
    auto found = resolveTypeName(name);
    ASSERT_TRUE(found) << name;
    EXPECT_EQ(found->type, type) << name;
    EXPECT_EQ(found->subtype, subtype) << name;
    EXPECT_EQ(found->foreign, foreign) << name;
}

TEST(ForeignTypes, RegistryNamesFirstThenTheForeignTableWhateverTheCase) {
    expectType("MAGNET2M", kTypeMandel, 4, true);
    expectType("Lambda(fn||fn)", kTypeJulia, 17, true);
    expectType("bif=sinpi", kTypeBifurcation, 3, true);
    expectType("julia24", kTypeJulia24, 0, false);
    // The registry also names ids 14..20, but no fractal of those ids can exist.
    for (std::string_view unknown : {"Unknown_14", "Foo", "", "magnet2m "})
        EXPECT_FALSE(resolveTypeName(unknown)) << unknown;
    for (const ForeignType& row : foreignTypes())
        EXPECT_LE(row.subtype, highestSubtype(row.type)) << row.name;
}

} // namespace
