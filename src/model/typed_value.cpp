#include "model/typed_value.h"

#include "base/text_utils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace vortimax {

namespace {

constexpr double kInt32Lowest = std::numeric_limits<std::int32_t>::min();
constexpr double kInt32Highest = std::numeric_limits<std::int32_t>::max();

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t digitsAt(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    return end - pos;
}

// Whether the whole text is [sign] digits [. digits] [e [sign] digits] with at least one
// digit before the exponent: no blanks, no "inf" or "nan", no hexadecimal.
bool isDecimalNumber(std::string_view text) {
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
    std::size_t mantissaDigits = digitsAt(text, pos);
    pos += mantissaDigits;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t fraction = digitsAt(text, pos + 1);
        mantissaDigits += fraction;
        pos += 1 + fraction;
    }
    if (mantissaDigits == 0)
        return false;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
            ++pos;
        const std::size_t exponent = digitsAt(text, pos);
        if (exponent == 0)
            return false;
        pos += exponent;
    }
    return pos == text.size();
}

// The finite value of a decimal number; nothing for other text or a value beyond the
// range of a double (either end).
std::optional<double> decimalValue(std::string_view text) {
    if (!isDecimalNumber(text))
        return std::nullopt;
    if (text.front() == '+')
        text.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The value of [sign] digits; nothing for other text or beyond 64 bits.
std::optional<std::int64_t> wholeValue(std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || (text.front() == '-' && text.size() == 1))
        return std::nullopt;
    const std::size_t digitsStart = text.front() == '-' ? 1 : 0;
    if (digitsAt(text, digitsStart) != text.size() - digitsStart)
        return std::nullopt;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

bool isChoice(const ParamDescriptor& row, std::string_view text) {
    return std::any_of(row.choices.begin(), row.choices.end(),
                       [text](std::string_view name) { return equalsIgnoreCase(name, text); });
}

// The range an integer row's values may take: its own, within the 32-bit field.
std::pair<std::int64_t, std::int64_t> integerBounds(const ParamDescriptor& row) {
    if (row.kind == ParamKind::Flag)
        return {static_cast<std::int64_t>(kInt32Lowest), static_cast<std::int64_t>(kInt32Highest)};
    return {static_cast<std::int64_t>(std::ceil(std::max(row.minimum, kInt32Lowest))),
            static_cast<std::int64_t>(std::floor(std::min(row.maximum, kInt32Highest)))};
}

bool acceptsInteger(const ParamDescriptor& row, std::string_view text) {
    if (isChoice(row, text))
        return true;
    const auto value = wholeValue(text);
    const auto [lowest, highest] = integerBounds(row);
    return value && *value >= lowest && *value <= highest;
}

bool acceptsText(const ParamDescriptor& row, std::string_view text) {
    const bool printable = std::all_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 32 && c != 127;
    });
    return printable && row.length > 0 && text.size() < row.length;
}

std::string choiceNames(const ParamDescriptor& row) {
    std::string names;
    for (std::string_view name : row.choices)
        names += (names.empty() ? "" : ", ") + std::string(name);
    return names;
}

} // namespace

bool acceptsTypedValue(const ParamDescriptor& row, std::string_view text) {
    switch (row.kind) {
    case ParamKind::Real:
    case ParamKind::BigFixed: {
        const auto value = decimalValue(text);
        return value && *value >= row.minimum && *value <= row.maximum;
    }
    case ParamKind::Integer:
    case ParamKind::Flag:
        return acceptsInteger(row, text);
    case ParamKind::Text:
        return acceptsText(row, text);
    }
    return false;
}

std::string typedValueRange(const ParamDescriptor& row) {
    switch (row.kind) {
    case ParamKind::Real:
    case ParamKind::BigFixed:
        return "a number from " + formatShortest(row.minimum) + " to " +
               formatShortest(row.maximum);
    case ParamKind::Integer:
    case ParamKind::Flag: {
        const auto [lowest, highest] = integerBounds(row);
        std::string range =
            "a whole number from " + std::to_string(lowest) + " to " + std::to_string(highest);
        if (!row.choices.empty())
            range += " or one of " + choiceNames(row);
        return range;
    }
    case ParamKind::Text:
        return "a text of at most " + std::to_string(row.length > 0 ? row.length - 1 : 0) +
               " printable characters";
    }
    return {};
}

} // namespace vortimax
