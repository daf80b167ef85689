#include "base/text_utils.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace vortimax;

namespace {

TEST(TextUtils, CaseFoldingIsAsciiOnly) {
    EXPECT_TRUE(equalsIgnoreCase("MaxIter", "maxiter"));
    EXPECT_FALSE(equalsIgnoreCase("MaxIter", "maxite"));
    // Bytes above 127 are compared as they are, whatever the locale thinks of them.
    EXPECT_FALSE(equalsIgnoreCase("\xC4", "\xE4"));
    EXPECT_LT(compareIgnoreCase("apple", "Banana"), 0);
    EXPECT_GT(compareIgnoreCase("b", "A"), 0);
    EXPECT_LT(compareIgnoreCase("ab", "ABC"), 0);
    EXPECT_LT(compareIgnoreCase("a", "\xE4"), 0); // unsigned byte order
}

TEST(TextUtils, ScanDoubleReadsLikePercentLf) {
    EXPECT_EQ(scanDouble("  +1.5e3xyz"), 1500.0);
    EXPECT_EQ(scanDouble("-.25"), -0.25);
    EXPECT_EQ(scanDouble("1e-015"), 1e-15);
    EXPECT_FALSE(scanDouble(""));
    EXPECT_FALSE(scanDouble("abc"));
    EXPECT_FALSE(scanDouble("+-1"));
    EXPECT_EQ(scanDouble("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(scanDouble("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(scanDouble("1e-999"), 0.0);
    std::string tinyWithoutExponent = "0." + std::string(400, '0') + "1";
    EXPECT_EQ(scanDouble(tinyWithoutExponent), 0.0);
    EXPECT_TRUE(std::isnan(*scanDouble("nan")));
}

TEST(TextUtils, ScanLongSaturatesInsteadOfWrapping) {
    EXPECT_EQ(scanLong(" +42"), 42);
    EXPECT_EQ(scanLong("-17abc"), -17);
    EXPECT_EQ(scanLong("99999999999999999999"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(scanLong("-99999999999999999999"), std::numeric_limits<std::int64_t>::min());
    EXPECT_FALSE(scanLong("x1"));
    EXPECT_FALSE(scanLong("-"));
}

TEST(TextUtils, FormattingIgnoresTheProcessLocale) {
    // A desktop with a comma as decimal separator must still write points.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous ? previous : "C";
    // Where no German locale is installed the checks run in the C locale.
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(formatFixed(-2.1, 15, true), "-2.100000000000000");
    EXPECT_EQ(formatFixed(0.5, 3), "0.500");
    EXPECT_EQ(formatFixed(0.0, 15, true), "+0.000000000000000");
    EXPECT_EQ(formatShortest(100.0), "100");
    EXPECT_EQ(scanDouble("0.5"), 0.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

} // namespace
