#include "model/command_availability.h"
#include "model/fractal_record.h"
#include "model/param_text.h"
#include "model/type_conversion.h"
#include "model/type_registry.h"

#include <gtest/gtest.h>
#include <set>

namespace vortimax {
namespace {

std::string value(const FractalRecord& record, std::string_view key) {
    return displayValue(record.params(), *record.params().table().find(key));
}

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

TEST(TypeConversionTest, TwinsOnlyInTheirDirection) {
    using D = ConversionDirection;
    EXPECT_EQ(conversionTarget(kTypeJulia, D::ToTrueColour), kTypeJulia24);
    EXPECT_EQ(conversionTarget(kTypeMandel, D::ToTrueColour), kTypeMandel24);
    EXPECT_EQ(conversionTarget(kTypeJulia24, D::ToEscapeTime), kTypeJulia);
    EXPECT_EQ(conversionTarget(kTypeMandel24, D::ToEscapeTime), kTypeMandel);
    EXPECT_FALSE(conversionTarget(kTypeMandel, D::ToEscapeTime));
    EXPECT_FALSE(conversionTarget(kTypeMandel24, D::ToTrueColour));
    EXPECT_FALSE(conversionTarget(kTypeCompound, D::ToTrueColour));
    auto plasma = createRecord(kTypePlasma, 0, RecordCreationContext{});
    EXPECT_FALSE(convertFractalType(*plasma, D::ToTrueColour));
    EXPECT_EQ(plasma->type, kTypePlasma);
}

// Shared parameters keep their values both ways; the 3D settings are untouched.
TEST(TypeConversionTest, SharedParametersSurviveTheRoundTrip) {
    auto record = createRecord(kTypeJulia, 1, RecordCreationContext{});
    ASSERT_TRUE(setByKey(record->params(), "MaxIter", "4321"));
    ASSERT_TRUE(setByKey(record->params(), "TopLeftR", "-0.123456789012345678901234"));
    ASSERT_TRUE(setByKey(record->params(), "Cr", "0.31"));
    ASSERT_TRUE(setByKey(record->settings3D(), "YStretch", "2.5"));
    const std::string left = value(*record, "TopLeftR");
    ASSERT_TRUE(convertFractalType(*record, ConversionDirection::ToTrueColour));
    EXPECT_EQ(record->type, kTypeJulia24);
    EXPECT_EQ(record->subtype, 1u);
    EXPECT_EQ(value(*record, "MaxIter"), "4321");
    EXPECT_EQ(value(*record, "TopLeftR"), left);
    const FractalRecord& converted = *record;
    EXPECT_EQ(
        displayValue(converted.settings3D(), *converted.settings3D().table().find("YStretch")),
        "2.5");
    ASSERT_TRUE(convertFractalType(*record, ConversionDirection::ToEscapeTime));
    EXPECT_EQ(record->type, kTypeJulia);
    EXPECT_EQ(value(*record, "MaxIter"), "4321");
    EXPECT_EQ(value(*record, "TopLeftR"), left);
    EXPECT_EQ(value(*record, "Cr"), "0.31");
}

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
} // namespace
} // namespace vortimax
