#include "model/descriptor_tables.h"
#include "model/type_registry.h"
#include "model/undo_labels.h"

#include <gtest/gtest.h>

using namespace vortimax;

namespace {

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
