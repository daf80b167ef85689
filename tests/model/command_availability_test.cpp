#include "model/command_availability.h"
#include "model/fractal_record.h"
#include "model/type_registry.h"

#include <gtest/gtest.h>
#include <set>

using namespace vortimax;

namespace {

using Types = std::set<std::uint32_t>;

// The types for which the command is available with `subtype`.
Types typesFor(int command, std::uint32_t subtype = 0) {
    Types types;
    for (std::uint32_t type = 0; type < kFractalTypeCount; ++type) {
        FractalRecord record;
        record.type = type;
        record.subtype = subtype;
        if (isCommandAvailable(command, &record))
            types.insert(type);
    }
    return types;
}

Types allBut(const Types& excluded) {
    Types types;
    for (std::uint32_t type = 0; type < kFractalTypeCount; ++type)
        if (!excluded.count(type))
            types.insert(type);
    return types;
}

} // namespace

TEST(CommandAvailability, EachCommandForTheTypesThatCanUseIt) {
    for (int command : {command::kProportional, command::kSelect, command::kSelectAll,
                        command::kDeselect, command::kBoxZoomIn, command::kBoxZoomOut})
        EXPECT_EQ(typesFor(command), allBut({kTypePlasma, kTypeCompound})) << command;
    EXPECT_EQ(typesFor(command::k3DTransformation),
              allBut({kTypeBifurcation, kTypeDynamicSystem, kTypeLSystem, kTypeIfs}));
    EXPECT_EQ(typesFor(command::k256Colors), allBut({kTypeCompound}));
    // Conversion: only the two lowest escape formulas have a true-colour counterpart.
    for (std::uint32_t subtype : {0u, 1u})
        EXPECT_EQ(typesFor(command::kToTrueColourType, subtype), (Types{kTypeJulia, kTypeMandel}));
    EXPECT_TRUE(typesFor(command::kToTrueColourType, 2).empty());
    EXPECT_EQ(typesFor(command::kToEscapeType, 7), (Types{kTypeJulia24, kTypeMandel24}));
}

TEST(CommandAvailability, NoCurrentFractalOrUnknownTypeGreysEveryRuleCommand) {
    FractalRecord unknown;
    unknown.type = kFractalTypeCount;
    std::set<int> ids;
    for (const CommandRule& rule : commandRules()) {
        EXPECT_TRUE(ids.insert(rule.commandId).second) << rule.commandId;
        EXPECT_FALSE(isCommandAvailable(rule.commandId, nullptr)) << rule.label;
        EXPECT_FALSE(isCommandAvailable(rule.commandId, &unknown)) << rule.label;
    }
    EXPECT_EQ(ids.size(), 10u);
    EXPECT_TRUE(isCommandAvailable(29026, nullptr)); // commands without a rule
}
