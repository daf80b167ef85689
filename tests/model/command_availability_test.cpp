#include "model/command_availability.h"
#include "model/fractal_record.h"
#include "model/type_registry.h"

#include <gtest/gtest.h>
#include <set>

using namespace vortimax;

namespace {

using Types = std::set<std::uint32_t>;

// The types whose availability of the command with `subtype` is `available`.
Types typesWhere(bool available, int command, std::uint32_t subtype = 0) {
    Types types;
    FractalRecord record;
    record.subtype = subtype;
    for (record.type = 0; record.type < kFractalTypeCount; ++record.type)
        if (isCommandAvailable(command, &record) == available)
            types.insert(record.type);
    return types;
}

} // namespace

TEST(CommandAvailability, EachCommandForTheTypesThatCanUseIt) {
    for (int command : {command::kProportional, command::kSelect, command::kSelectAll,
                        command::kDeselect, command::kBoxZoomIn, command::kBoxZoomOut})
        EXPECT_EQ(typesWhere(false, command), (Types{kTypePlasma, kTypeCompound})) << command;
    EXPECT_EQ(typesWhere(false, command::k3DTransformation),
              (Types{kTypeBifurcation, kTypeDynamicSystem, kTypeLSystem, kTypeIfs}));
    EXPECT_EQ(typesWhere(false, command::k256Colors), (Types{kTypeCompound}));
    // Conversion: only the two lowest escape formulas have a true-colour counterpart.
    for (std::uint32_t subtype : {0u, 1u})
        EXPECT_EQ(typesWhere(true, command::kToTrueColourType, subtype),
                  (Types{kTypeJulia, kTypeMandel}));
    EXPECT_TRUE(typesWhere(true, command::kToTrueColourType, 2).empty());
    EXPECT_EQ(typesWhere(true, command::kToEscapeType, 7), (Types{kTypeJulia24, kTypeMandel24}));
}

TEST(CommandAvailability, NoCurrentFractalOrUnknownTypeGreysEveryRuleCommand) {
    FractalRecord unknown;
    unknown.type = kFractalTypeCount;
    for (const CommandRule& rule : commandRules()) {
        EXPECT_FALSE(isCommandAvailable(rule.commandId, nullptr)) << rule.label;
        EXPECT_FALSE(isCommandAvailable(rule.commandId, &unknown)) << rule.label;
    }
    EXPECT_TRUE(isCommandAvailable(29026, nullptr)); // commands without a rule
}
