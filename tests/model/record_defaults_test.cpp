#include "model/fractal_record.h"
#include "model/param_text.h"
#include "model/type_registry.h"

#include <gtest/gtest.h>
#include <sstream>
#include <tuple>

using namespace vortimax;

namespace {

std::unique_ptr<FractalRecord> make(std::uint32_t type, std::uint32_t subtype = 0,
                                    RecordCreationContext context = {}) {
    return createRecord(type, subtype, context);
}

struct Area {
    std::string left, right, top, bottom;
    bool operator==(const Area&) const = default;
};

Area areaOf(const FractalRecord& record) {
    auto p = record.params();
    return {p.bigFixed("TopLeftR").toText(), p.bigFixed("BottomRightR").toText(),
            p.bigFixed("TopLeftI").toText(), p.bigFixed("BottomRightI").toText()};
}

TEST(RecordDefaults, MagnetSubtypeGetsItsAreaBailoutAndFiniteTest) {
    for (std::uint32_t type : {kTypeMandel, kTypeTieraMandel}) {
        auto record = make(type, 3);
        EXPECT_EQ(areaOf(*record), (Area{"-4.0", "4.0", "3.0", "-3.0"}));
        EXPECT_EQ(record->params().real("Bailout"), 100.0);
        EXPECT_EQ(record->params().integer("TestForFinite"), 1);
    }
    EXPECT_EQ(make(kTypeJulia, 4)->params().integer("TestForFinite"), 1);
    EXPECT_EQ(make(kTypeJulia, 0)->params().integer("TestForFinite"), 0);
}

TEST(RecordDefaults, SubtypeWithoutRowKeepsTheTypeDefaults) {
    auto plain = make(kTypeJulia, 0);
    auto five = make(kTypeJulia, 5);
    EXPECT_EQ(areaOf(*five), areaOf(*plain));
    EXPECT_EQ(five->params().bigFixed("Cr").toText(), "0.3");
    EXPECT_EQ(five->params().bigFixed("Ci").toText(), "0.6");
    EXPECT_EQ(five->subtype, 5u);
    EXPECT_EQ(five->params().real("Bailout"), 4.0);
}

TEST(RecordDefaults, DefaultValuesRestoreTheSubtypeRowAndClearUserChanges) {
    auto record = make(kTypeJulia, 0);
    record->params().setReal("PotSlope", 3.0);
    record->params().setInteger("Fn1", 9);
    record->settings3D().setReal("YStretch", 9.0);
    setDefaults(*record, kTypeJulia, 16);
    EXPECT_EQ(areaOf(*record), (Area{"-1.5", "2.5", "1.5", "-1.5"}));
    EXPECT_EQ(record->params().bigFixed("Cr").toText(), "0.85");
    EXPECT_EQ(record->params().bigFixed("Ci").toText(), "0.6");
    EXPECT_EQ(record->params().real("PotSlope"), 0.0);
    EXPECT_EQ(record->params().integer("Fn1"), 0);
    EXPECT_EQ(record->settings3D().real("YStretch"), 1.6);
    EXPECT_EQ(record->subtype, 16u);
}

// Default values are part of the file format: the writer leaves out every value equal to
// them, so a changed default would change what older files mean. Rows are "Key=value" words
// as displayed, "3D." picking a 3D setting.
TEST(RecordDefaults, TypeAndSubtypeDefaultsAsFilesRelyOnThem) {
    const std::tuple<std::uint32_t, std::uint32_t, std::string_view> cases[] = {
        {kTypeMandel, 17, "Fn2=5 Dr=10.0 Bailout=64"},
        {kTypeJulia, 22, "Cr=-0.3"},
        {kTypeJulia24, 3, "TopLeftI=1.35 RotateY=50 InvRadius=1"}, // no subtype rows
        {kTypeFormula, 0, "FormulaName=Basic TestForFormula=1 TestForInfinify=0"},
        {kTypeLyapunov, 0, "A=2.0 Sequence=BA"},
        {kTypePlasma, 0, "Seed=1000 RotateX=0 ColormodeSpeed=1"}, // no area: no centre
        {kTypeDynamicSystem, 0, "C=2.666"},
        {kTypeIfs, 0, "Formula=Fern RotateY=50 InvRadius=1"},
        {kTypeLSystem, 0, "MaxIter=3 RotateY=50 InvRadius=1"},
        {kTypeTieraJulia, 0, "PalStartGreen=58 Colorseparation=1"},
        {kTypeCompound, 0, "FormulaG=L0+L1 Factor9=100 Left3=0"},
        {kTypeMandel, 0,
         "3D.ObserverVAngle=30 3D.Drawmode=1 3D.ColorBlue=255 3D.Knotx2=11 3D.Knoty4=53.3 "
         "3D.Knotx5=-1e+10 3D.Knoty20=-1e+10"},
        {kTypePlasma, 0,
         "3D.ObserverVAngle=60 3D.BackMult=0.4 3D.Knotx1=-350 3D.Knoty8=325 3D.Knotx9=-1e+10"},
    };
    for (const auto& [type, subtype, rows] : cases) {
        const auto record = make(type, subtype);
        std::istringstream words{std::string(rows)};
        for (std::string word; words >> word;) {
            const bool is3D = word.starts_with("3D.");
            const std::string key = word.substr(is3D ? 3 : 0, word.find('=') - (is3D ? 3 : 0));
            const ConstBlockRef block =
                is3D ? std::as_const(*record).settings3D() : std::as_const(*record).params();
            EXPECT_EQ(displayValue(block, block.indexOf(key)), word.substr(word.find('=') + 1))
                << type << "/" << subtype << " " << key;
        }
    }
    EXPECT_EQ(make(kTypeFormula)->params().text("Palette3"), "< Default >");
    // Words beyond the tables: the compound selection word and the 3D view distances.
    auto compound = make(kTypeCompound);
    EXPECT_EQ(compound->displayDepth, 24);
    EXPECT_EQ(loadInt(compound->paramBlock.data() + 1714), -1);
    auto mandel = make(kTypeMandel);
    EXPECT_EQ(loadReal(mandel->settings3DBlock.data() + 552), 200.0);
    EXPECT_EQ(loadReal(mandel->settings3DBlock.data() + 568), 100.0);
}

TEST(RecordCreation, DisplayDepthNameAndComment) {
    RecordCreationContext context;
    context.displayDepth = 8;
    context.screenDepth = 8;
    context.defaultComment = "made by me";
    auto tiera = make(kTypeTieraMandel, 0, context);
    EXPECT_EQ(tiera->displayDepth, 24);
    EXPECT_EQ(tiera->trueColourOn8Bit, 1);
    EXPECT_EQ(tiera->name, "Mandel_Tiera");
    EXPECT_EQ(tiera->comment, "made by me");
    auto mandel = make(kTypeMandel, 0, context);
    EXPECT_EQ(mandel->displayDepth, 8);
    EXPECT_EQ(mandel->trueColourOn8Bit, 0);
    EXPECT_EQ(mandel->secondName, "Unnamed");
    EXPECT_EQ(mandel->numFrames, 10.0);
    EXPECT_EQ(mandel->colCycUp, 1);
    context.displayDepth = 24;
    context.screenDepth = 24;
    EXPECT_EQ(make(kTypeCompound, 0, context)->trueColourOn8Bit, 0);
}

TEST(RecordCreation, IdsWithoutATypeStayCleared) {
    auto record = make(17);
    EXPECT_TRUE(record->name.empty());
    EXPECT_FALSE(record->hasParams());
    EXPECT_TRUE(std::all_of(record->paramBlock.begin(), record->paramBlock.end(),
                            [](std::uint8_t b) { return b == 0; }));
    EXPECT_THROW(record->params(), std::logic_error);
    EXPECT_FALSE(maxIterationWarning(*record));
}

TEST(RecordClone, CopiesEverythingButTheWindow) {
    auto source = make(kTypeMandel, 16);
    source->name = "Seahorse";
    source->comment = "line one\nline two";
    source->pendingEntry = "{ Type=Mandel }";
    source->palName = "Fire";
    source->width = 640;
    source->height = 480;
    source->windowOpen = 1;
    source->entryKind = kEntryKeyFrame;
    source->params().setInteger("MaxIter", 777);
    source->settings3D().setReal("Ambient", 0.5);
    auto clone = cloneRecord(*source, RecordCreationContext{});
    EXPECT_EQ(clone->name, "Seahorse");
    EXPECT_EQ(clone->subtype, 16u);
    EXPECT_EQ(clone->palName, "Fire");
    EXPECT_EQ(clone->width, 640);
    EXPECT_EQ(clone->paramBlock, source->paramBlock);
    EXPECT_EQ(clone->settings3DBlock, source->settings3DBlock);
    EXPECT_EQ(clone->pendingEntry, source->pendingEntry);
    EXPECT_EQ(clone->windowOpen, 0);
    EXPECT_EQ(clone->view, nullptr);
    EXPECT_EQ(clone->entryKind, kEntryOrdinary);
    source->comment = "changed";
    EXPECT_EQ(clone->comment, "line one\nline two");
}

TEST(IterationWarning, LimitsPerType) {
    auto formula = make(kTypeFormula);
    formula->params().setInteger("MaxIter", 40000);
    EXPECT_FALSE(maxIterationWarning(*formula));
    formula->params().setInteger("MaxIter", 40001);
    auto text = maxIterationWarning(*formula);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->substr(0, 51), "This fractal has a maximum iteration count of 40001");
    EXPECT_NE(text->find("less than 40 000\nand then"), std::string::npos);
    EXPECT_NE(text->find("Although Vortimax\ncan handle"), std::string::npos);
    auto mandel24 = make(kTypeMandel24);
    mandel24->params().setInteger("MaxIter", 150000);
    EXPECT_FALSE(maxIterationWarning(*mandel24));
    for (std::uint32_t type : {5u, 6u, 7u, 8u, 9u, 10u, 13u}) {
        auto record = make(type);
        auto index = record->params().table().find("MaxIter");
        if (index)
            storeInt(record->params().field(*index), 2000000000);
        EXPECT_FALSE(maxIterationWarning(*record)) << "type " << type;
    }
}

} // namespace
