#include "app/temp_dir.h"
#include "model/param_text.h"
#include "model/type_registry.h"
#include "parfile/entry_writer.h"

#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <sstream>
#include <string>

using namespace vortimax;
using vortimax::test::readBytes;
using vortimax::test::writeBytes;

namespace {

std::unique_ptr<FractalRecord> record(std::uint32_t type, std::uint32_t subtype = 0) {
    auto r = createRecord(type, subtype, RecordCreationContext{});
    r->name = "Test";
    return r;
}

// Sets rows from "Key=value" words the way a parameter file does ("3D." for 3D settings).
void setRows(FractalRecord& r, const std::string& words) {
    std::istringstream in(words);
    for (std::string word; in >> word;) {
        const bool is3D = word.starts_with("3D.");
        word.erase(0, is3D ? 3 : 0);
        const std::size_t eq = word.find('=');
        EXPECT_TRUE(
            setByKey(is3D ? r.settings3D() : r.params(), word.substr(0, eq), word.substr(eq + 1)))
            << word;
    }
}

// The words of `lines` are whole lines of the entry in this order ("!KEY": no KEY line);
// and no key has two lines.
void expectLines(const FractalRecord& r, const std::string& lines) {
    const std::string entry = parameterEntryText(r);
    std::istringstream in(lines);
    std::size_t previous = 0;
    for (std::string line; in >> line;) {
        if (line.starts_with('!')) {
            EXPECT_EQ(entry.find("\n  " + line.substr(1) + "="), std::string::npos) << entry;
            continue;
        }
        const std::size_t at = entry.find("\n  " + line + "\n");
        EXPECT_TRUE(at != std::string::npos && at >= previous) << line << "\n" << entry;
        previous = at;
    }
    std::set<std::string> keys;
    std::istringstream entryLines(entry);
    for (std::string line; std::getline(entryLines, line);)
        EXPECT_TRUE(!line.starts_with("  ") || keys.insert(line.substr(0, line.find('='))).second)
            << line;
}

TEST(EntryWriter, DefaultMandelAndTheHeaderLines) {
    auto mandel = record(kTypeMandel);
    mandel->name = "Mandel1";
    EXPECT_EQ(parameterEntryText(*mandel), "Mandel1  {\n  Type=Mandel\n  DisplayDepth=8\n"
                                           "  Corners=-2.1/0.7/-1.35/1.35\n"
                                           "  params=0.0/0.0/0.0/0.0\n}");
    auto julia = record(kTypeJulia, 16);
    std::tie(julia->comment, julia->colCycStep, julia->colCycUp, julia->palName, julia->numFrames,
             julia->winHeight, julia->displayDepth) =
        std::tuple("first line\r\n\nsecond line\n", 2.5, 0, "Fire", 25.125, -4, 24);
    const std::string entry = parameterEntryText(*julia);
    EXPECT_EQ(entry.substr(0, entry.find("  Corners=")),
              "Test  {\n                  ; first line\n                  ; second line\n"
              "  Type=Julia\n  Subtype=16\n  ColCycUp=0\n  ColCycStep=2.500\n  NumFrames=25.125\n"
              "  PalName=Fire\n  WinHeight=-4\n  DisplayDepth=24\n");
}

TEST(EntryWriter, KeyLinesFunctionsCornersAndValuesLeftOut) {
    struct Case {
        std::uint32_t type, subtype;
        const char* set;
        const char* lines;
    };
    const Case cases[] = {
        // Parameters after the params line, before 3D settings. Bailoutest 9 is in range but
        // beyond the names; DecFactor is within 1e-13 of its default.
        {kTypeJulia, 0,
         "MaxIter=500 Bailout=-0.5 Inside=1 Outside=7 Bailoutest=9 Decomp=1 "
         "DecFactor=1.00000000000001 Palette2=Fire 3D.ObserverVAngle=45",
         "params=0.3/0.6/0.0/0.0 MaxIter=+500 Bailout=-0.500000000000000 Inside=zmag "
         "Outside=potential Decomp=+1 Bailoutest=+9 !DecFactor Palette2=Fire "
         "ObserverVAngle=+45.000000000000000"},
        {kTypeCompound, 0, "Left0=-3", "Left0=-3"},
        // Values equal to the subtype's own defaults (Fn2 5, Dr 1, Bailout 64) are left out.
        {kTypeJulia, 11, "", "!function params=0.0/0.0/1.0/0.0"},
        {kTypeJulia, 11, "Fn2=0 Bailout=4", "function=sin/sin Bailout=+4.000000000000000"},
        {kTypeMandel, 3, "", "!TestForFinite"},
        {kTypeMandel, 3, "TestForFinite=0", "TestForFinite=+0"},
        // A reader gives "Drawmode" to the type's row: the 3D line would overwrite it.
        {kTypeDynamicSystem, 0, "Drawmode=1 3D.Drawmode=0 3D.Smooth=1", "Drawmode=+1 Smooth=+1"},
        {kTypeFormula, 0, "", "function=sin/sin/sin/sin"},
        {kTypeBifurcation, 0, "", "function=sin"},
        {kTypeTieraJulia, 0, "Fn2=2", "function=sin/cosh"},
        {kTypeLyapunov, 0, "", "!function !params"},
        {kTypePlasma, 0, "", "!Corners !params"},
        // A deep zoom keeps every digit its corners were given.
        {kTypeMandel, 0,
         "TopLeftR=-0.74364388703715123456789 BottomRightR=-0.7436438870371 "
         "TopLeftI=0.131825904205330 BottomRightI=0.13182590420531249",
         "Corners=-0.74364388703715123456789/-0.7436438870371/0.13182590420531249/"
         "0.13182590420533"},
        // A stretched area adds its bottom-left corner: (-2.1 + 0.7 - 0.9, 1.35 - 1.35 - 1.5).
        {kTypeMandel, 0, "Stretch=1 TopRightR=0.9 TopRightI=1.5",
         "Corners=-2.1/0.7/-1.35/1.35/-2.3/-1.5 Stretch=+1"},
        {kTypeJulia24, 0, "InvRadius=0.5 InvCenterX=0.25", "!invert"},
        {kTypeJulia24, 0,
         "Inversion=1 InvCenterX=0.25 InvCenterY=-1.000000000000000000000000001 "
         "InvRadius=0.33333333333333331483",
         "invert=0.33333333333333331483/0.25/-1.000000000000000000000000001"},
        {kTypeJulia24, 0, "Inversion=1 InvRadius=1e-7", "invert=9.9999999999999995475e-08/0.0/0.0"},
    };
    for (const Case& c : cases) {
        auto r = record(c.type, c.subtype);
        setRows(*r, c.set);
        SCOPED_TRACE(c.set);
        expectLines(*r, c.lines);
    }
    // An index outside the function table is written as the first function.
    auto formula = record(kTypeFormula);
    for (const auto& [key, index] : {std::pair("fn1", 30), {"fn2", 31}, {"fn4", -1}})
        formula->params().setInteger(key, index);
    expectLines(*formula, "function=log10/sin/sin/sin");
    EXPECT_EQ(formatSignificant(-123456789012.5, 20), "-123456789012.5");
    // An id without a table has only its name.
    EXPECT_EQ(parameterEntryText(*record(15)), "Test  {\n  Type=Unknown_15\n  DisplayDepth=8\n}");
}

TEST(EntryWriter, HighPrecisionValuesComeBackWordForWord) {
    // The corners keep 17 significant digits of their difference at least.
    const std::tuple<const char*, const char*, int> digits[] = {
        {"-2.1", "0.7", 16}, {"0", "1e-10", 26}, {"0.3", "0.3", 0},
        {"-4e6", "4e6", 10}, {"1", "0.999", 19}, {"0", "1e-80", 0}};
    for (const auto& [left, right, want] : digits)
        EXPECT_EQ(cornerFractionDigits(BigFixed::fromText(left, 40).value(),
                                       BigFixed::fromText(right, 40).value()),
                  want)
            << left << " " << right;
    // Short decimals stay short; values of up to 40 significant digits (what the reader
    // takes) are rebuilt exactly, wherever the first digit stands.
    const std::pair<const char*, const char*> texts[] = {
        {"-2.1", "-2.1"},
        {"0.7000", "0.7"},
        {"-0.7436438870371510000012345678901234567891",
         "-0.7436438870371510000012345678901234567891"},
        {"0.0000123456789012345678901234567890123456789",
         "0.0000123456789012345678901234567890123456789"},
        {"4000000.123456789012345678901234567890123", "4000000.123456789012345678901234567890123"},
        {"0", "0.0"}};
    for (const auto& [text, want] : texts) {
        const BigFixed value = BigFixed::fromText(text, BigFixed::kFileDigitLimit).value();
        const std::string written = bigFixedFileText(value);
        EXPECT_EQ(written, want);
        EXPECT_EQ(BigFixed::fromText(written, BigFixed::kFileDigitLimit), value) << text;
    }
    // A value of more digits than the reader takes (a zoom result) comes back to within
    // its 40th digit, and from then on it stays the same.
    const BigFixed third = BigFixed::fromInteger(1).dividedBy(3);
    const std::string once = bigFixedFileText(third);
    const BigFixed back = BigFixed::fromText(once, BigFixed::kFileDigitLimit).value();
    EXPECT_EQ(once, "0.3333333333333333333333333333333333333333");
    EXPECT_EQ(bigFixedFileText(back), once);
    // More digits than the reader takes only where the corners need them.
    EXPECT_EQ(bigFixedFileText(third, 50).size(), 52u);
}

TEST(EntryWriter, NamesPrefixesAndPendingEntries) {
    auto mandel = record(kTypeMandel);
    mandel->name = "My fractal;2{x}";
    EXPECT_EQ(parameterEntryName(mandel->name), "My_fractal_2_x_");
    EXPECT_EQ(parameterEntryName("", std::string_view("Keys One")), "[Keys_One].No_name");
    EXPECT_EQ(parameterEntryText(*mandel, "Anim").substr(0, 27), "[Anim].My_fractal_2_x_  {\n ");
    mandel->name = "Loaded";
    mandel->pendingEntry = "{ type=fn*fn\n corners=-2/2/-1.5/1.5 }";
    EXPECT_EQ(parameterEntryText(*mandel), "Loaded  { type=fn*fn\n corners=-2/2/-1.5/1.5 }");
    EXPECT_EQ(parameterEntryText(*mandel, "Anim").substr(0, 16), "[Anim].Loaded  {");
}

TEST(EntryWriter, WriteReplacesOrAppendsWithCrLf) {
    vortimax::test::TempDir dir;
    const auto path = dir / "set.par";
    auto mandel = record(kTypeMandel);
    const std::string crlf = "Test  {\r\n  Type=Mandel\r\n  DisplayDepth=8\r\n"
                             "  Corners=-2.1/0.7/-1.35/1.35\r\n  params=0.0/0.0/0.0/0.0\r\n}";
    writeBytes(path, "old text\n");
    ASSERT_TRUE(writeParameterEntry(*mandel, std::nullopt, path, false));
    EXPECT_EQ(readBytes(path), crlf);
    ASSERT_TRUE(writeParameterEntry(*mandel, std::string_view("Keys"), path, true));
    EXPECT_EQ(readBytes(path), crlf + "[Keys]." + crlf + "\r\n\r\n\r\n");
    ASSERT_TRUE(writeParameterEntry(*mandel, std::nullopt, dir / "new.par", true));
    EXPECT_EQ(readBytes(dir / "new.par"), crlf + "\r\n\r\n\r\n");
    // A path that cannot be read is never replaced.
    std::filesystem::create_directory(dir / "sub.par");
    EXPECT_FALSE(writeParameterEntry(*mandel, std::nullopt, dir / "sub.par", true));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "sub.par"));
}

} // namespace
