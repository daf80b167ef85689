#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vortimax {

// ASCII case folding; text is 8-bit bytes, never assumed to be UTF-8.
char asciiLower(char c);
bool equalsIgnoreCase(std::string_view a, std::string_view b);
// Negative, zero or positive like strcmp, comparing ASCII-folded bytes.
int compareIgnoreCase(std::string_view a, std::string_view b);

// Reads a number the way "%lf" does: leading blanks, an optional sign, decimal or
// exponent notation, "inf" and "nan". Reading stops at the first character that
// does not belong to the number. Locale-independent.
std::optional<double> scanDouble(std::string_view text);
// Reads a decimal integer the way "%ld" does (64-bit, saturating on overflow).
std::optional<std::int64_t> scanLong(std::string_view text);

// printf-style fixed notation without the process locale: "%.Nlf", and with
// forceSign "%+.Nlf".
std::string formatFixed(double value, int fractionDigits, bool forceSign = false);
// Shortest text that reads back as the same double ("100", "0.3", "1e+300").
std::string formatShortest(double value);

} // namespace vortimax
