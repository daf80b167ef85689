#include "model/typed_value.h"

#include <gtest/gtest.h>

namespace vortimax {
namespace {

ParamDescriptor row(ParamKind kind, double minimum, double maximum) {
    ParamDescriptor r;
    r.key = "Key";
    r.kind = kind;
    r.minimum = minimum;
    r.maximum = maximum;
    return r;
}

TEST(TypedValue, IntegersReadWholeWithinTheirRangeAndField) {
    const ParamDescriptor count = row(ParamKind::Integer, 1, 1e13);
    for (std::string_view good : {"1", "+7", "500", "2147483647", "007"})
        EXPECT_TRUE(acceptsTypedValue(count, good)) << good;
    for (std::string_view bad : {"1e3", "abc", "-5", "0", "2147483648", "12x", " 5", "5 ", "", "+",
                                 "-", "1.0", "99999999999999999999"})
        EXPECT_FALSE(acceptsTypedValue(count, bad)) << bad;
    EXPECT_EQ(typedValueRange(count), "a whole number from 1 to 2147483647");

    static constexpr std::string_view kNames[] = {"iter", "real", "imag"};
    ParamDescriptor named = row(ParamKind::Integer, 0, 2);
    named.choices = kNames;
    EXPECT_TRUE(acceptsTypedValue(named, "REAL"));
    EXPECT_TRUE(acceptsTypedValue(named, "2"));
    EXPECT_FALSE(acceptsTypedValue(named, "3"));
    EXPECT_FALSE(acceptsTypedValue(named, "reals"));
    EXPECT_EQ(typedValueRange(named), "a whole number from 0 to 2 or one of iter, real, imag");

    // A flag's table range says nothing; any value of its field is taken.
    const ParamDescriptor flag = row(ParamKind::Flag, 0, 0);
    EXPECT_TRUE(acceptsTypedValue(flag, "-2147483648"));
    EXPECT_FALSE(acceptsTypedValue(flag, "2147483648"));
    EXPECT_FALSE(acceptsTypedValue(flag, "yes"));
}

TEST(TypedValue, RealsAreFiniteDecimalNumbersWithinTheirRange) {
    for (ParamKind kind : {ParamKind::Real, ParamKind::BigFixed}) {
        const ParamDescriptor bailout = row(kind, 0, 1e300);
        for (std::string_view good : {"4", "1e5", "+2.5", ".5", "3.", "1E+300", "0"})
            EXPECT_TRUE(acceptsTypedValue(bailout, good)) << good;
        for (std::string_view bad : {"1e999", "1e301", "-1", "inf", "nan", "0x10", "4abc", "1e",
                                     ".", "e5", "", " 4", "4 ", "--4", "1e-999"})
            EXPECT_FALSE(acceptsTypedValue(bailout, bad)) << bad;
        EXPECT_EQ(typedValueRange(bailout), "a number from 0 to 1e+300");
    }
}

TEST(TypedValue, TextsFitTheirFieldAndArePrintable) {
    ParamDescriptor name = row(ParamKind::Text, 0, 0);
    name.length = 4;
    EXPECT_TRUE(acceptsTypedValue(name, "abc"));
    EXPECT_TRUE(acceptsTypedValue(name, ""));
    EXPECT_FALSE(acceptsTypedValue(name, "abcd"));
    EXPECT_FALSE(acceptsTypedValue(name, "a\nb"));
    EXPECT_EQ(typedValueRange(name), "a text of at most 3 printable characters");
}

} // namespace
} // namespace vortimax
