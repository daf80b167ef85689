#include "base/text_utils.h"
#include "model/descriptor_tables.h"
#include "model/param_block.h"
#include "model/type_registry.h"
#include "model/undo_labels.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <tuple>

using namespace vortimax;

namespace {

std::size_t offsetOf(const DescriptorTable& table, std::string_view key) {
    auto index = table.find(key);
    EXPECT_TRUE(index.has_value()) << key;
    return index ? table.offset(*index) : 0;
}

TEST(DescriptorTables, BlockSizesAndRowCountsOfEveryType) {
    struct Expected {
        std::uint32_t type;
        std::size_t rows;
        std::size_t bytes;
    };
    const Expected expected[] = {{0, 29, 556},  {1, 29, 556},  {2, 55, 912},  {3, 55, 912},
                                 {4, 59, 1168}, {5, 26, 546},  {6, 21, 440},  {7, 23, 448},
                                 {8, 29, 504},  {9, 20, 488},  {10, 27, 540}, {11, 51, 776},
                                 {12, 51, 776}, {13, 72, 1714}};
    for (const auto& e : expected) {
        const DescriptorTable* table = descriptorTable(e.type);
        ASSERT_NE(table, nullptr) << e.type;
        EXPECT_EQ(table->size(), e.rows) << "type " << e.type;
        EXPECT_EQ(table->blockSize(), e.bytes) << "type " << e.type;
        EXPECT_LE(table->blockSize(), kParamBlockSize);
    }
    EXPECT_EQ(settings3DTable().size(), 66u);
    EXPECT_EQ(settings3DTable().blockSize(), 544u);
    for (std::uint32_t type = 14; type <= 21; ++type)
        EXPECT_EQ(descriptorTable(type), nullptr);
}

TEST(DescriptorTables, SharedTablesAndCommonHead) {
    EXPECT_EQ(descriptorTable(0), descriptorTable(1));
    EXPECT_EQ(descriptorTable(2), descriptorTable(3));
    EXPECT_EQ(descriptorTable(11), descriptorTable(12));
    const DescriptorTable& reference = *descriptorTable(kTypeLyapunov);
    for (std::uint32_t type = 0; type < kFractalTypeCount; ++type) {
        const DescriptorTable& table = *descriptorTable(type);
        ASSERT_GT(table.size(), 18u);
        EXPECT_EQ(table.offset(18), 420u) << "type " << type;
        for (std::size_t i = 0; i < 18; ++i) {
            EXPECT_EQ(table.row(i).key, reference.row(i).key);
            EXPECT_EQ(table.row(i).kind, reference.row(i).kind);
        }
    }
}

TEST(DescriptorTables, KeyOffsetsUsedByKernelsAndFiles) {
    const std::tuple<const DescriptorTable*, std::string_view, std::size_t> cases[] = {
        {descriptorTable(kTypeJulia24), "Cr", 420},
        {descriptorTable(kTypeJulia24), "MaxIter", 508},
        {descriptorTable(kTypeJulia24), "DecFactor", 548},
        {descriptorTable(kTypeJulia), "Fn1", 420},
        {descriptorTable(kTypeJulia), "Cr", 460},
        {descriptorTable(kTypeJulia), "MaxIter", 636},
        {descriptorTable(kTypeJulia), "Palette2", 752},
        {descriptorTable(kTypeJulia), "BayFactor2", 904},
        {descriptorTable(kTypeFormula), "FormulaName", 828},
        {descriptorTable(kTypeCompound), "FormulaR", 1264},
        {&settings3DTable(), "OvlName", 144},
        {&settings3DTable(), "Knotx1", 224},
        {&settings3DTable(), "Knoty1", 384},
        {&settings3DTable(), "Knoty20", 536}};
    for (const auto& [table, key, offset] : cases)
        EXPECT_EQ(offsetOf(*table, key), offset);
}

TEST(DescriptorTables, KeysAreUniqueWithinEachTable) {
    // Lookups take the first matching key, so a repeated key would hide a field.
    auto check = [](const DescriptorTable& table, const std::string& what) {
        std::set<std::string> seen;
        for (const auto& row : table.rows()) {
            std::string folded;
            for (char c : row.key)
                folded += asciiLower(c);
            EXPECT_TRUE(seen.insert(folded).second) << what << ": " << row.key;
        }
    };
    for (std::uint32_t type = 0; type < kFractalTypeCount; ++type)
        check(*descriptorTable(type), "type " + std::to_string(type));
    check(settings3DTable(), "3D");
}

TEST(DescriptorTables, KeysAndLabelsKeepTheirFileSpelling) {
    const DescriptorTable& julia = *descriptorTable(kTypeJulia);
    struct Spelling {
        std::string_view key, label;
    };
    for (const auto& s :
         {Spelling{"TestForInfinify", "TestForInfinity"}, Spelling{"Decomp", "Decomposition"},
          Spelling{"PotSlope", "Potential Slope"}, Spelling{"Bailoutest", "BailoutCheck"}}) {
        auto index = julia.find(s.key);
        ASSERT_TRUE(index) << s.key;
        EXPECT_EQ(julia.row(*index).key, s.key);
        EXPECT_EQ(julia.row(*index).label, s.label);
    }
    EXPECT_FALSE(julia.find("TestForInfinity"));
    auto observer = settings3DTable().find("ObserverVAngle");
    EXPECT_EQ(settings3DTable().row(*observer).label, "Observer vert. angle");
}

TEST(DescriptorTables, RecolourOnlyRowsAreExactlyTheColouringAndIfsRows) {
    std::set<std::string_view> common = {"ColormodeType", "ColormodeSpeed", "ColormodeAccel",
                                         "ColorSmoothing"};
    std::set<std::string_view> ifs = {"Alpha", "Beta",  "Parm1",   "Parm2",
                                      "Parm3", "Parm4", "MaxIter", "Colormode"};
    for (std::uint32_t type = 0; type < kFractalTypeCount; ++type) {
        for (const auto& row : descriptorTable(type)->rows()) {
            bool expected = common.count(row.key) || (type == kTypeIfs && ifs.count(row.key)) ||
                            (type == kTypeLSystem && row.key == "MaxIter");
            EXPECT_EQ(!row.recalculation, expected) << "type " << type << " " << row.key;
        }
    }
    for (const auto& row : settings3DTable().rows())
        EXPECT_TRUE(row.recalculation) << row.key;
}

// Names and values beyond them (which SetByKey and DisplayValue use) by value.
TEST(DescriptorTables, ChoiceListsByValue) {
    const DescriptorTable& julia = *descriptorTable(kTypeJulia);
    const ParamDescriptor& outside = julia.row(*julia.find("Outside"));
    EXPECT_EQ(outside.maximum, 13.0); // every outside measure the colouring knows
    EXPECT_EQ(outside.choiceName(13), "pdist");
    EXPECT_FALSE(outside.choiceName(14));
    EXPECT_FALSE(outside.choiceName(-1));
    const ParamDescriptor& test = julia.row(*julia.find("Bailoutest"));
    EXPECT_EQ(test.maximum, 10.0); // more values than names: 7..10 have no name
    EXPECT_FALSE(test.choiceName(7));
    const DescriptorTable& julia24 = *descriptorTable(kTypeJulia24);
    EXPECT_EQ(julia24.row(*julia24.find("Outside")).choiceName(2), "Phase");
}

// The steps of these parameters carry names of their own; every table that has the
// parameter uses the name. Other rows are named by their label, or their key without one.
TEST(UndoLabels, ParametersWithStepNamesAndTheRest) {
    struct Case {
        std::uint32_t type;
        std::string_view key;
        std::string_view label;
    };
    const Case cases[] = {
        {kTypeMandel, "TestForInfinify", "Check for infinity"},
        {kTypeFormula, "TestForInfinify", "Check for infinity"},
        {kTypeMandel, "TestForFinite", "Finite attractor"},
        {kTypeJulia, "TestForCyclus", "Cyclus search"},
        {kTypeFormula, "TestForFormula", "Formula test"},
        {kTypeMandel, "Decomp", "Decomposition"},
        {kTypeMandel24, "Decomposition", "Decomposition"},
        {kTypeJulia, "Biomorphy", "Biomorphy"},
        {kTypeMandel, "InvCenterX", "Circle Inversion Center"},
        {kTypeMandel24, "InvCenterY", "Circle Inversion Center"},
        {kTypeLyapunov, "Chaos", "Color Chaos"},
        {kTypeMandel, "PotSlope", "Potential Slope"}, // the row's label
        {kTypeMandel, "MaxIter", "MaxIter"},          // the key
    };
    for (const Case& c : cases) {
        const DescriptorTable& table = *descriptorTable(c.type);
        const auto index = table.find(c.key);
        ASSERT_TRUE(index) << c.type << " " << c.key;
        EXPECT_EQ(undoLabel(table.row(*index)), c.label) << c.type << " " << c.key;
    }
}

} // namespace
