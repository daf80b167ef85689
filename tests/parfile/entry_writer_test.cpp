#include "app/temp_dir.h"
#include "model/type_registry.h"
#include "parfile/entry_writer.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

using namespace vortimax;
using vortimax::test::readBytes;
using vortimax::test::TempDir;
using vortimax::test::writeBytes;

namespace {

std::unique_ptr<FractalRecord> record(std::uint32_t type, std::uint32_t subtype = 0) {
    auto r = createRecord(type, subtype, RecordCreationContext{});
    r->name = "Test";
    return r;
}

// The text after "  KEY=" in the entry, or "(none)".
std::string valueOf(const std::string& entry, std::string_view key) {
    const std::string marker = "\n  " + std::string(key) + "=";
    const std::size_t at = entry.find(marker);
    if (at == std::string::npos)
        return "(none)";
    const std::size_t start = at + marker.size();
    return entry.substr(start, entry.find('\n', start) - start);
}

TEST(EntryWriter, DefaultMandelIsNameTypeDepthCornersParams) {
    auto mandel = record(kTypeMandel);
    mandel->name = "Mandel1";
    EXPECT_EQ(parameterEntryText(*mandel), "Mandel1  {\n"
                                           "  Type=Mandel\n"
                                           "  DisplayDepth=8\n"
                                           "  Corners=-2.1/0.7/-1.35/1.35\n"
                                           "  params=0.0/0.0/0.0/0.0\n"
                                           "}");
}

TEST(EntryWriter, CommentHeaderKeysAndSubtype) {
    auto julia = record(kTypeJulia, 16);
    julia->comment = "first line\r\n\nsecond line\n";
    julia->colCycStep = 2.5;
    julia->colCycUp = 0;
    julia->palName = "Fire";
    julia->numFrames = 25.125;
    julia->winHeight = -4;
    julia->displayDepth = 24;
    const std::string entry = parameterEntryText(*julia);
    EXPECT_EQ(entry.substr(0, entry.find("  Corners=")), "Test  {\n"
                                                         "                  ; first line\n"
                                                         "                  ; second line\n"
                                                         "  Type=Julia\n"
                                                         "  Subtype=16\n"
                                                         "  ColCycUp=0\n"
                                                         "  ColCycStep=2.500\n"
                                                         "  NumFrames=25.125\n"
                                                         "  PalName=Fire\n"
                                                         "  WinHeight=-4\n"
                                                         "  DisplayDepth=24\n");
}

TEST(EntryWriter, KeyLineFormats) {
    auto julia = record(kTypeJulia);
    BlockRef p = julia->params();
    p.setInteger("MaxIter", 500);
    p.setReal("Bailout", -0.5);
    p.setInteger("Inside", 1);
    p.setInteger("Outside", 7);
    p.setInteger("Bailoutest", 9); // in range, but beyond the names
    p.setInteger("Decomp", 1);
    p.setReal("DecFactor", 1.0 + 1e-14); // closer than 1e-13 to the default
    p.setText("Palette2", "Fire");
    julia->settings3D().setReal("ObserverVAngle", 45.0);
    const std::string entry = parameterEntryText(*julia);
    EXPECT_EQ(valueOf(entry, "MaxIter"), "+500");
    EXPECT_EQ(valueOf(entry, "Bailout"), "-0.500000000000000");
    EXPECT_EQ(valueOf(entry, "Inside"), "zmag");
    EXPECT_EQ(valueOf(entry, "Outside"), "potential");
    EXPECT_EQ(valueOf(entry, "Bailoutest"), "+9");
    EXPECT_EQ(valueOf(entry, "Decomp"), "+1");
    EXPECT_EQ(valueOf(entry, "DecFactor"), "(none)");
    EXPECT_EQ(valueOf(entry, "Palette2"), "Fire");
    EXPECT_EQ(valueOf(entry, "ObserverVAngle"), "+45.000000000000000");
    // Parameters before 3D settings, both after the params line.
    EXPECT_LT(entry.find("params="), entry.find("MaxIter="));
    EXPECT_LT(entry.find("Palette2="), entry.find("ObserverVAngle="));

    auto compound = record(kTypeCompound);
    compound->params().setInteger("Left0", -3);
    EXPECT_EQ(valueOf(parameterEntryText(*compound), "Left0"), "-3");
}

TEST(EntryWriter, ValuesEqualToTheSubtypeDefaultsAreLeftOut) {
    auto julia = record(kTypeJulia, 11); // Fn2 5, Dr 1, Bailout 64
    EXPECT_EQ(valueOf(parameterEntryText(*julia), "function"), "(none)");
    EXPECT_EQ(valueOf(parameterEntryText(*julia), "params"), "0.0/0.0/1.0/0.0");
    julia->params().setInteger("Fn2", 0);
    julia->params().setReal("Bailout", 4.0);
    const std::string entry = parameterEntryText(*julia);
    EXPECT_EQ(valueOf(entry, "function"), "sin/sin");
    EXPECT_EQ(valueOf(entry, "Bailout"), "+4.000000000000000");

    auto magnet = record(kTypeMandel, 3); // TestForFinite 1
    EXPECT_EQ(valueOf(parameterEntryText(*magnet), "TestForFinite"), "(none)");
    magnet->params().setInteger("TestForFinite", 0);
    EXPECT_EQ(valueOf(parameterEntryText(*magnet), "TestForFinite"), "+0");
}

// Dynamic systems have a "Drawmode" of their own and one among the 3D settings; a reader
// gives the key to the type's row, so the 3D line would overwrite it.
TEST(EntryWriter, ThreeDimensionalKeyShadowedByTheTypeIsLeftOut) {
    auto system = record(kTypeDynamicSystem);
    system->params().setInteger("Drawmode", 1);
    system->settings3D().setInteger("Drawmode", 0);
    system->settings3D().setInteger("Smooth", 1);
    const std::string entry = parameterEntryText(*system);
    EXPECT_EQ(valueOf(entry, "Drawmode"), "+1");
    EXPECT_EQ(entry.find("Drawmode=", entry.find("Drawmode=") + 1), std::string::npos);
    EXPECT_EQ(valueOf(entry, "Smooth"), "+1");
}

TEST(EntryWriter, FunctionLinesPerType) {
    EXPECT_EQ(valueOf(parameterEntryText(*record(kTypeFormula)), "function"), "sin/sin/sin/sin");
    EXPECT_EQ(valueOf(parameterEntryText(*record(kTypeBifurcation)), "function"), "sin");
    EXPECT_EQ(valueOf(parameterEntryText(*record(kTypeLyapunov)), "function"), "(none)");

    auto julia = record(kTypeTieraJulia);
    julia->params().setInteger("Fn2", 2);
    EXPECT_EQ(valueOf(parameterEntryText(*julia), "function"), "sin/cosh");
    // An index outside the table cannot name a function: it is written as the first.
    auto formula = record(kTypeFormula);
    formula->params().setInteger("fn1", 30);
    formula->params().setInteger("fn2", 31);
    formula->params().setInteger("fn4", -1);
    EXPECT_EQ(valueOf(parameterEntryText(*formula), "function"), "log10/sin/sin/sin");
}

TEST(EntryWriter, CornersFollowTheZoomAndTheStretch) {
    auto digits = [](double left, double right) {
        return cornerFractionDigits(BigFixed::fromDouble(left), BigFixed::fromDouble(right));
    };
    EXPECT_EQ(digits(-2.1, 0.7), 4);               // 4.5 - 0.447
    EXPECT_EQ(digits(0.0, 1e-10), 14);             // 4.5 + 10
    EXPECT_EQ(digits(0.3, 0.3), kMaxCornerDigits); // no width
    EXPECT_EQ(digits(-4e6, 4e6), 1);               // never below 1
    EXPECT_EQ(digits(1.0, 0.999), 7);              // the width's sign does not matter
    BigFixed tiny = BigFixed::fromText("1e-80", BigFixed::kFileDigitLimit).value();
    EXPECT_EQ(cornerFractionDigits(BigFixed(), tiny), kMaxCornerDigits);

    // A deep zoom keeps the digits that tell its corners apart (width 5.1e-14: 17 digits).
    auto deep = record(kTypeMandel);
    BlockRef p = deep->params();
    p.setBigFixed("TopLeftR", BigFixed::fromText("-0.74364388703715123456789", 40).value());
    p.setBigFixed("BottomRightR", BigFixed::fromText("-0.7436438870371", 40).value());
    p.setBigFixed("TopLeftI", BigFixed::fromText("0.131825904205330", 40).value());
    p.setBigFixed("BottomRightI", BigFixed::fromText("0.13182590420531249", 40).value());
    EXPECT_EQ(valueOf(parameterEntryText(*deep), "Corners"),
              "-0.74364388703715123/-0.7436438870371/0.13182590420531249/0.13182590420533");

    // A stretched area adds its bottom-left corner.
    auto mandel = record(kTypeMandel);
    BlockRef stretched = mandel->params();
    stretched.setInteger("Stretch", 1);
    stretched.setBigFixed("TopRightR", BigFixed::fromDouble(0.9));
    stretched.setBigFixed("TopRightI", BigFixed::fromDouble(1.5));
    const std::string entry = parameterEntryText(*mandel);
    // (-2.1 + 0.7 - 0.9, 1.35 - 1.35 - 1.5)
    EXPECT_EQ(valueOf(entry, "Corners"), "-2.1/0.7/-1.35/1.35/-2.3/-1.5");
    EXPECT_EQ(valueOf(entry, "Stretch"), "+1");
}

TEST(EntryWriter, InversionLine) {
    auto julia = record(kTypeJulia24);
    BlockRef p = julia->params();
    p.setReal("InvRadius", 1.0 / 3.0);
    p.setBigFixed("InvCenterX", BigFixed::fromText("0.25", 40).value());
    p.setBigFixed("InvCenterY", BigFixed::fromText("-1.000000000000000000000000001", 40).value());
    EXPECT_EQ(valueOf(parameterEntryText(*julia), "invert"), "(none)");
    p.setInteger("Inversion", 1);
    EXPECT_EQ(valueOf(parameterEntryText(*julia), "invert"),
              "0.33333333333333331483/0.25/-1.000000000000000000000000001");
    p.setReal("InvRadius", 1e-7);
    EXPECT_EQ(valueOf(parameterEntryText(*julia), "invert").substr(0, 26),
              "9.9999999999999995475e-08/");
    EXPECT_EQ(formatSignificant(-123456789012.5, 20), "-123456789012.5");
}

TEST(EntryWriter, TypesWithoutAreaOrParams) {
    const std::string plasma = parameterEntryText(*record(kTypePlasma));
    EXPECT_EQ(valueOf(plasma, "Corners"), "(none)");
    EXPECT_EQ(valueOf(plasma, "params"), "(none)");
    EXPECT_EQ(valueOf(parameterEntryText(*record(kTypeLyapunov)), "params"), "(none)");
    // An id without a table has only its name.
    EXPECT_EQ(parameterEntryText(*record(15)), "Test  {\n  Type=Unknown_15\n  DisplayDepth=8\n}");
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
    TempDir dir;
    const auto path = dir / "set.par";
    auto mandel = record(kTypeMandel);
    const std::string entry = parameterEntryText(*mandel);
    std::string crlf;
    for (char c : entry)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);

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
