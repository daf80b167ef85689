#include "model/fractal_record.h"
#include "model/type_registry.h"

#include <gtest/gtest.h>

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

TEST(RecordDefaults, SubtypeRowsSetFunctionsAndSecondConstant) {
    auto record = make(kTypeMandel, 17);
    EXPECT_EQ(record->params().integer("Fn2"), 5);
    EXPECT_EQ(record->params().bigFixed("Dr").toText(), "10.0");
    EXPECT_EQ(record->params().real("Bailout"), 64.0);
    auto julia = make(kTypeJulia, 22);
    EXPECT_EQ(julia->params().bigFixed("Cr").toText(), "-0.3");
    // Only the four families use the subtype table.
    auto julia24 = make(kTypeJulia24, 3);
    EXPECT_EQ(areaOf(*julia24), (Area{"-1.5", "1.5", "1.35", "-1.35"}));
}

TEST(RecordDefaults, TypeDefaultsOfEveryType) {
    auto formula = make(kTypeFormula);
    EXPECT_EQ(formula->params().text("FormulaName"), "Basic");
    EXPECT_EQ(formula->params().text("Palette3"), "< Default >");
    EXPECT_EQ(formula->params().integer("TestForFormula"), 1);
    EXPECT_EQ(formula->params().integer("TestForInfinify"), 0);
    auto lyapunov = make(kTypeLyapunov);
    EXPECT_EQ(lyapunov->params().bigFixed("A").toText(), "2.0");
    EXPECT_EQ(lyapunov->params().text("Sequence"), "BA");
    auto plasma = make(kTypePlasma);
    EXPECT_EQ(plasma->params().integer("Seed"), 1000);
    EXPECT_EQ(plasma->params().real("RotateX"), 0.0); // no area, no rotation centre
    EXPECT_EQ(plasma->params().real("ColormodeSpeed"), 1.0);
    EXPECT_EQ(make(kTypeDynamicSystem)->params().real("C"), 2.666);
    EXPECT_EQ(make(kTypeIfs)->params().text("Formula"), "Fern");
    EXPECT_EQ(make(kTypeLSystem)->params().integer("MaxIter"), 3);
    auto tiera = make(kTypeTieraJulia);
    EXPECT_EQ(tiera->params().real("PalStartGreen"), 58.0);
    EXPECT_EQ(tiera->params().integer("Colorseparation"), 1);
    for (std::uint32_t type : {kTypeJulia24, kTypeLSystem, kTypeIfs}) {
        auto record = make(type);
        EXPECT_EQ(record->params().real("RotateY"), 50.0);
        EXPECT_EQ(record->params().real("InvRadius"), 1.0);
    }
}

TEST(RecordDefaults, CompoundLayersAndSelectionWord) {
    auto record = make(kTypeCompound);
    EXPECT_EQ(record->displayDepth, 24);
    EXPECT_EQ(record->params().text("FormulaG"), "L0+L1");
    EXPECT_EQ(record->params().real("Factor9"), 100.0);
    EXPECT_EQ(record->params().integer("Left3"), 0);
    EXPECT_EQ(loadInt(record->paramBlock.data() + 1714), -1);
}

TEST(RecordDefaults, ThreeDBlocksForGeneralAndPlasma) {
    auto mandel = make(kTypeMandel);
    auto s = std::as_const(*mandel).settings3D();
    EXPECT_EQ(s.real("ObserverVAngle"), 30.0);
    EXPECT_EQ(s.integer("Drawmode"), 1);
    EXPECT_EQ(s.integer("ColorBlue"), 255);
    EXPECT_EQ(s.real("Knotx2"), 11.0);
    EXPECT_EQ(s.real("Knoty4"), 53.3);
    EXPECT_EQ(s.real("Knotx5"), -1e10);
    EXPECT_EQ(s.real("Knoty20"), -1e10);
    EXPECT_EQ(loadReal(mandel->settings3DBlock.data() + 552), 200.0);
    EXPECT_EQ(loadReal(mandel->settings3DBlock.data() + 568), 100.0);
    auto plasma = make(kTypePlasma);
    auto p = std::as_const(*plasma).settings3D();
    EXPECT_EQ(p.real("ObserverVAngle"), 60.0);
    EXPECT_EQ(p.real("BackMult"), 0.4);
    EXPECT_EQ(p.real("Knotx1"), -350.0);
    EXPECT_EQ(p.real("Knoty8"), 325.0);
    EXPECT_EQ(p.real("Knotx9"), -1e10);
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
