#include "model/descriptor_tables.h"
#include "model/fractal_record.h"
#include "model/param_text.h"
#include "model/type_registry.h"

#include <gtest/gtest.h>
#include <limits>

using namespace vortimax;

namespace {

std::unique_ptr<FractalRecord> make(std::uint32_t type, std::uint32_t subtype = 0) {
    return createRecord(type, subtype, RecordCreationContext{});
}

TEST(SetByKey, ChoiceNamesAndTheRangeRule) {
    auto record = make(kTypeJulia);
    BlockRef params = record->params();
    EXPECT_TRUE(setByKey(params, "Outside", "POTENTIAL"));
    EXPECT_EQ(params.integer("Outside"), 7);
    EXPECT_TRUE(setByKey(params, "outside", "12"));
    EXPECT_EQ(params.integer("Outside"), 12);
    EXPECT_TRUE(setByKey(params, "outside", "14")); // above the maximum: the minimum
    EXPECT_EQ(params.integer("Outside"), 0);
    EXPECT_TRUE(setByKey(params, "Bailoutest", "manh"));
    EXPECT_EQ(params.integer("Bailoutest"), 5);
    EXPECT_TRUE(setByKey(params, "Bailoutest", "9")); // in range, no name
    EXPECT_EQ(params.integer("Bailoutest"), 9);
    EXPECT_TRUE(setByKey(params, "maxiter", "0"));
    EXPECT_EQ(params.integer("MaxIter"), 1);
    EXPECT_TRUE(setByKey(params, "MaxIter", "+2500"));
    EXPECT_EQ(params.integer("MaxIter"), 2500);
    // Flags take any value and are never clamped.
    EXPECT_TRUE(setByKey(params, "Biomorphy", "5"));
    EXPECT_EQ(params.integer("Biomorphy"), 5);
}

TEST(SetByKey, HugeIntegersNeverWrapIntoRange) {
    auto record = make(kTypePlasma);
    BlockRef params = record->params();
    EXPECT_TRUE(setByKey(params, "Seed", "99999999999999999999999"));
    EXPECT_EQ(params.integer("Seed"), std::numeric_limits<std::int32_t>::min());
    auto julia = make(kTypeJulia);
    // 2^32 + 5 would wrap to 5 in a 32-bit field; it is above the maximum instead.
    EXPECT_TRUE(setByKey(julia->params(), "Outside", "4294967301"));
    EXPECT_EQ(julia->params().integer("Outside"), 0);
}

TEST(SetByKey, RealsTextsAndHighPrecisionValues) {
    auto record = make(kTypeFormula);
    BlockRef params = record->params();
    EXPECT_TRUE(setByKey(params, "Bailout", " 1.5e3"));
    EXPECT_EQ(params.real("Bailout"), 1500.0);
    EXPECT_TRUE(setByKey(params, "Bailout", "rubbish")); // unreadable: unchanged
    EXPECT_EQ(params.real("Bailout"), 1500.0);
    EXPECT_TRUE(setByKey(params, "FormulaName", std::string(150, 'x')));
    EXPECT_EQ(params.text("FormulaName"), std::string(99, 'x'));
    EXPECT_TRUE(setByKey(params, "Cr", "-0.7453000000000000000000000000000000001"));
    EXPECT_EQ(params.bigFixed("Cr").toText(), "-0.7453000000000000000000000000000000001");
    EXPECT_TRUE(setByKey(params, "Ci", "+1.25e-002"));
    EXPECT_EQ(params.bigFixed("Ci").toText(), "0.0125");
}

TEST(SetByKey, UnknownKeysAndTheThreeDFallback) {
    auto record = make(kTypeMandel);
    EXPECT_FALSE(setByKey(record->params(), "YStretch", "2.5"));
    EXPECT_TRUE(setByKey(record->settings3D(), "YStretch", "2.5"));
    EXPECT_EQ(record->settings3D().real("YStretch"), 2.5);
    EXPECT_FALSE(setByKey(record->params(), "NoSuchKey", "1"));
    EXPECT_FALSE(setByKey(record->params(), "", "1"));
}

TEST(ValueDiffers, UsesTheFileComparisonRules) {
    auto record = make(kTypeJulia);
    auto defaults = make(kTypeJulia);
    const DescriptorTable& table = *descriptorTable(kTypeJulia);
    auto differs = [&](std::string_view key) {
        return valueDiffers(std::as_const(*record).params(), std::as_const(*defaults).params(),
                            *table.find(key));
    };
    record->params().setReal("Bailout", 4.0 + 1e-14);
    EXPECT_FALSE(differs("Bailout"));
    record->params().setReal("Bailout", 4.0 + 2e-13);
    EXPECT_TRUE(differs("Bailout"));
    record->params().setBigFixed("Cr", defaults->params().bigFixed("Cr"));
    EXPECT_FALSE(differs("Cr"));
    // The spare word in front of the value is not part of the value.
    record->paramBlock[table.offset(*table.find("Cr"))] = 0x55;
    EXPECT_FALSE(differs("Cr"));
    record->params().setText("Palette2", "Fire");
    EXPECT_TRUE(differs("Palette2"));
}

TEST(DisplayValue, ShowsValuesAsPeopleReadThem) {
    auto record = make(kTypeJulia);
    const FractalRecord& view = *record;
    const DescriptorTable& table = *descriptorTable(kTypeJulia);
    record->params().setInteger("Outside", 7);
    EXPECT_EQ(displayValue(view.params(), *table.find("Outside")), "potential");
    record->params().setInteger("Bailoutest", 9);
    EXPECT_EQ(displayValue(view.params(), *table.find("Bailoutest")), "9");
    EXPECT_EQ(displayValue(view.params(), *table.find("Bailout")), "4");
    EXPECT_EQ(displayValue(view.params(), *table.find("TopLeftR")), "-1.5");
}

} // namespace
