#include "base/text_utils.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace vortimax {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view skipBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return text.substr(i);
}

// Splits an optional leading sign off; returns true for a minus sign.
bool takeSign(std::string_view& text) {
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        bool negative = text[0] == '-';
        text.remove_prefix(1);
        return negative;
    }
    return false;
}

} // namespace

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && compareIgnoreCase(a, b) == 0;
}

int compareIgnoreCase(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto ca = static_cast<unsigned char>(asciiLower(a[i]));
        auto cb = static_cast<unsigned char>(asciiLower(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::optional<double> scanDouble(std::string_view text) {
    text = skipBlanks(text);
    bool negative = takeSign(text);
    // from_chars rejects a second sign, as "%lf" does.
    if (!text.empty() && (text[0] == '+' || text[0] == '-'))
        return std::nullopt;
    double value = 0.0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (end == text.data())
        return std::nullopt;
    if (error == std::errc::result_out_of_range) {
        // "%lf" gives an infinity on overflow and a denormal or zero on underflow;
        // strtod in the "C" locale tells which.
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
        std::string number(text.data(), end);
        value = std::fabs(strtod_l(number.c_str(), nullptr, cLocale));
    }
    return negative ? -value : value;
}

std::optional<std::int64_t> scanLong(std::string_view text) {
    text = skipBlanks(text);
    bool negative = takeSign(text);
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
        ++digits;
    if (digits == 0)
        return std::nullopt;
    std::uint64_t magnitude = 0;
    constexpr std::uint64_t limit = static_cast<std::uint64_t>(INT64_MAX) + 1;
    for (std::size_t i = 0; i < digits; ++i) {
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(text[i] - '0');
        if (magnitude >= limit) {
            magnitude = limit;
            break;
        }
    }
    if (negative)
        return magnitude >= limit ? INT64_MIN : -static_cast<std::int64_t>(magnitude);
    return magnitude >= limit ? INT64_MAX : static_cast<std::int64_t>(magnitude);
}

std::string formatFixed(double value, int fractionDigits, bool forceSign) {
    char buffer[400];
    char* out = buffer;
    if (forceSign && !std::signbit(value) && !std::isnan(value))
        *out++ = '+';
    auto result =
        std::to_chars(out, buffer + sizeof buffer, value, std::chars_format::fixed, fractionDigits);
    if (result.ec != std::errc())
        return forceSign ? "+0" : "0";
    return std::string(buffer, result.ptr);
}

std::string formatShortest(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace vortimax
