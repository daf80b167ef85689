#include "model/fractal_record.h"
#include "model/param_text.h"
#include "model/type_conversion.h"
#include "model/type_registry.h"

#include <gtest/gtest.h>

namespace vortimax {
namespace {

std::string value(const FractalRecord& record, std::string_view key) {
    return displayValue(record.params(), *record.params().table().find(key));
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

} // namespace
} // namespace vortimax
