#include "model/big_fixed.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace vortimax {

namespace {

__extension__ typedef unsigned __int128 Uint128;

// Largest number of significant digits the text conversion keeps, whatever the caller
// asks for: far beyond anything the 296 fraction bits can distinguish in practice, and
// it bounds the work a hostile caller-chosen limit could cause.
constexpr int kMaxDigitLimit = 1000;
// Exponent digits are accumulated only up to this magnitude; larger exponents behave
// the same (the value is zero or saturated long before).
constexpr std::int64_t kExponentClamp = 1000000000;
// A value below 10^-90 is less than half the last fraction bit (2^-297 ~ 3.93e-90).
constexpr std::int64_t kZeroDecimalOrder = -90;
// A value of 10^7 or more is beyond the range (2^23 = 8388608).
constexpr std::int64_t kSaturateDecimalOrder = 7;
// Bits of the largest representable magnitude (2^319 - 1 in fraction-bit units).
constexpr int kMagnitudeBits = 32 * BigFixed::kWords - 1;

// Unsigned arbitrary-length integer, 32-bit limbs least significant first. Only the
// handful of operations the conversions need.
class BigUint {
public:
    BigUint() = default;

    static BigUint fromWords(const BigFixed::Words& words) {
        BigUint result;
        result.limbs_.assign(words.begin(), words.end());
        result.trim();
        return result;
    }

    bool isZero() const { return limbs_.empty(); }

    int bitLength() const {
        if (limbs_.empty()) {
            return 0;
        }
        return static_cast<int>(32 * (limbs_.size() - 1)) + std::bit_width(limbs_.back());
    }

    // Lowest ten limbs as BigFixed words.
    BigFixed::Words lowWords() const {
        BigFixed::Words words{};
        for (std::size_t k = 0; k < words.size() && k < limbs_.size(); ++k) {
            words[k] = limbs_[k];
        }
        return words;
    }

    void mulSmall(std::uint64_t factor) {
        Uint128 carry = 0;
        for (std::uint32_t& limb : limbs_) {
            const Uint128 product = static_cast<Uint128>(limb) * factor + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        while (carry != 0) {
            limbs_.push_back(static_cast<std::uint32_t>(carry));
            carry >>= 32;
        }
        trim();
    }

    void addSmall(std::uint32_t addend) {
        std::uint64_t carry = addend;
        for (std::size_t k = 0; k < limbs_.size() && carry != 0; ++k) {
            const std::uint64_t sum = static_cast<std::uint64_t>(limbs_[k]) + carry;
            limbs_[k] = static_cast<std::uint32_t>(sum);
            carry = sum >> 32;
        }
        if (carry != 0) {
            limbs_.push_back(static_cast<std::uint32_t>(carry));
        }
    }

    // Divides in place (quotient truncated) and returns the remainder.
    std::uint64_t divSmall(std::uint64_t divisor) {
        Uint128 remainder = 0;
        for (std::size_t k = limbs_.size(); k-- > 0;) {
            const Uint128 current = (remainder << 32) | limbs_[k];
            limbs_[k] = static_cast<std::uint32_t>(current / divisor);
            remainder = current % divisor;
        }
        trim();
        return static_cast<std::uint64_t>(remainder);
    }

    void shiftLeft(int bits) {
        if (limbs_.empty() || bits <= 0) {
            return;
        }
        const std::size_t wordShift = static_cast<std::size_t>(bits) / 32;
        const int bitShift = bits % 32;
        std::vector<std::uint32_t> result(limbs_.size() + wordShift + 1, 0);
        for (std::size_t k = 0; k < limbs_.size(); ++k) {
            const std::uint64_t shifted = static_cast<std::uint64_t>(limbs_[k]) << bitShift;
            result[k + wordShift] |= static_cast<std::uint32_t>(shifted);
            result[k + wordShift + 1] |= static_cast<std::uint32_t>(shifted >> 32);
        }
        limbs_ = std::move(result);
        trim();
    }

    // Truncating shift.
    void shiftRight(int bits) {
        if (bits <= 0) {
            return;
        }
        const std::size_t wordShift = static_cast<std::size_t>(bits) / 32;
        const int bitShift = bits % 32;
        if (wordShift >= limbs_.size()) {
            limbs_.clear();
            return;
        }
        std::vector<std::uint32_t> result(limbs_.size() - wordShift, 0);
        for (std::size_t k = 0; k < result.size(); ++k) {
            std::uint64_t pair = limbs_[k + wordShift];
            if (k + wordShift + 1 < limbs_.size()) {
                pair |= static_cast<std::uint64_t>(limbs_[k + wordShift + 1]) << 32;
            }
            result[k] = static_cast<std::uint32_t>(pair >> bitShift);
        }
        limbs_ = std::move(result);
        trim();
    }

    void mulPow10(std::int64_t count) {
        for (; count >= 9; count -= 9) {
            mulSmall(1000000000u);
        }
        for (; count > 0; --count) {
            mulSmall(10u);
        }
    }

    // Truncating division by 10^count.
    void divPow10(std::int64_t count) {
        for (; count >= 9 && !isZero(); count -= 9) {
            divSmall(1000000000u);
        }
        for (; count > 0 && !isZero(); --count) {
            divSmall(10u);
        }
    }

    std::string toDecimal() const {
        if (limbs_.empty()) {
            return "0";
        }
        BigUint rest = *this;
        std::string reversed;
        while (!rest.isZero()) {
            std::uint64_t chunk = rest.divSmall(1000000000u);
            for (int digit = 0; digit < 9; ++digit) {
                reversed.push_back(static_cast<char>('0' + chunk % 10));
                chunk /= 10;
            }
        }
        while (reversed.size() > 1 && reversed.back() == '0') {
            reversed.pop_back();
        }
        return std::string(reversed.rbegin(), reversed.rend());
    }

private:
    void trim() {
        while (!limbs_.empty() && limbs_.back() == 0) {
            limbs_.pop_back();
        }
    }

    std::vector<std::uint32_t> limbs_;
};

BigFixed::Words negatedWords(BigFixed::Words words) {
    std::uint32_t carry = 1;
    for (std::uint32_t& word : words) {
        word = ~word + carry;
        carry = (carry != 0 && word == 0) ? 1u : 0u;
    }
    return words;
}

BigFixed::Words largestPositiveWords() {
    BigFixed::Words words;
    words.fill(0xFFFFFFFFu);
    words[BigFixed::kWords - 1] = 0x7FFFFFFFu;
    return words;
}

BigFixed saturated(bool negative) {
    const BigFixed::Words words = largestPositiveWords();
    return BigFixed::fromWords(negative ? negatedWords(words) : words);
}

// Magnitude of a value as an unsigned integer in units of the last fraction bit; the
// most negative value gives 2^319.
BigUint magnitudeOf(const BigFixed& value) {
    return BigUint::fromWords(value.isNegative() ? negatedWords(value.words()) : value.words());
}

// A magnitude (in units of the last fraction bit) with a sign, saturated when the
// magnitude is 2^23 or more.
BigFixed fromMagnitude(bool negative, const BigUint& magnitude) {
    if (magnitude.bitLength() > kMagnitudeBits) {
        return saturated(negative);
    }
    const BigFixed::Words words = magnitude.lowWords();
    return BigFixed::fromWords(negative ? negatedWords(words) : words);
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

BigFixed BigFixed::fromWords(const Words& words) {
    BigFixed result;
    result.words_ = words;
    return result;
}

BigFixed BigFixed::fromDouble(double value) {
    // "%+.15lf" prints "+inf"/"-inf"/"+nan", which hold no digit: infinities saturate by
    // their sign (as the largest finite doubles do), NaN gives zero.
    if (std::isnan(value)) {
        return BigFixed{};
    }
    if (std::isinf(value)) {
        return saturated(value < 0);
    }
    // Locale-independent "%+.15lf": std::to_chars writes the '-' of negative values
    // (also of -0.0) itself; a '+' is put in front of everything else.
    char buffer[400];
    buffer[0] = '+';
    const auto [end, error] =
        std::to_chars(buffer + 1, buffer + sizeof buffer, value, std::chars_format::fixed, 15);
    if (error != std::errc{}) {
        return BigFixed{};
    }
    const char* begin = buffer[1] == '-' ? buffer + 1 : buffer;
    return fromTextOrZero(std::string_view(begin, static_cast<std::size_t>(end - begin)),
                          kDoubleDigitLimit);
}

BigFixed BigFixed::fromInteger(long long value) {
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (error != std::errc{}) {
        return BigFixed{};
    }
    return fromTextOrZero(std::string_view(buffer, static_cast<std::size_t>(end - buffer)),
                          kFileDigitLimit);
}

std::optional<BigFixed> BigFixed::fromText(std::string_view text, int digitLimit) {
    const int limit = std::clamp(digitLimit, 1, kMaxDigitLimit);
    const std::size_t size = text.size();
    std::size_t pos = 0;
    while (pos < size && isBlank(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < size && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }

    // value = mantissa * 10^exponent, mantissa holding the first `limit` significant
    // digits; later digits count as zeros.
    BigUint mantissa;
    int kept = 0;
    std::int64_t exponent = 0;
    bool anyDigit = false;
    bool significant = false;
    // A digit before the point scales the value up once the limit is reached; a digit
    // after it scales down while it is kept (or while it is a leading zero).
    const auto takeDigits = [&](bool fraction) {
        while (pos < size && isDigit(text[pos])) {
            const int digit = text[pos++] - '0';
            anyDigit = true;
            significant = significant || digit != 0;
            if (significant && kept < limit) {
                mantissa.mulSmall(10);
                mantissa.addSmall(static_cast<std::uint32_t>(digit));
                ++kept;
                exponent -= fraction ? 1 : 0;
            } else if (significant) {
                exponent += fraction ? 0 : 1;
            } else {
                exponent -= fraction ? 1 : 0;
            }
        }
    };
    takeDigits(false);
    if (pos < size && text[pos] == '.') {
        ++pos;
        takeDigits(true);
    }
    if (!anyDigit) {
        return std::nullopt;
    }
    // The exponent belongs to the number only when at least one digit follows.
    if (pos < size && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t next = pos + 1;
        bool exponentNegative = false;
        if (next < size && (text[next] == '+' || text[next] == '-')) {
            exponentNegative = text[next] == '-';
            ++next;
        }
        if (next < size && isDigit(text[next])) {
            std::int64_t written = 0;
            while (next < size && isDigit(text[next])) {
                if (written < kExponentClamp) {
                    written = written * 10 + (text[next] - '0');
                }
                ++next;
            }
            exponent += exponentNegative ? -written : written;
            pos = next;
        }
    }

    if (mantissa.isZero()) {
        return BigFixed{};
    }
    // 10^(order - 1) <= value < 10^order.
    const std::int64_t order = kept + exponent;
    if (order - 1 >= kSaturateDecimalOrder) {
        return saturated(negative);
    }
    if (order <= kZeroDecimalOrder) {
        return BigFixed{};
    }
    if (exponent >= 0) {
        mantissa.mulPow10(exponent);
        mantissa.shiftLeft(kFractionBits);
    } else {
        // round(m * 2^296 / 10^k), half away from zero, is
        // floor((floor(m * 2^297 / 10^k) + 1) / 2).
        mantissa.shiftLeft(kFractionBits + 1);
        mantissa.divPow10(-exponent);
        mantissa.addSmall(1);
        mantissa.shiftRight(1);
    }
    return fromMagnitude(negative, mantissa);
}

BigFixed BigFixed::fromTextOrZero(std::string_view text, int digitLimit) {
    return fromText(text, digitLimit).value_or(BigFixed{});
}

std::string BigFixed::toText(int maxFractionDigits) const {
    // Every value has an exact decimal expansion of at most 296 fraction digits.
    const int digits = std::clamp(maxFractionDigits, 0, kFractionBits);
    BigUint scaled = magnitudeOf(*this);
    // round(x * 10^p / 2^296), half away from zero.
    scaled.mulPow10(digits);
    scaled.shiftRight(kFractionBits - 1);
    scaled.addSmall(1);
    scaled.shiftRight(1);

    std::string decimal = scaled.toDecimal();
    const std::size_t fractionLength = static_cast<std::size_t>(digits);
    if (decimal.size() < fractionLength + 1) {
        decimal.insert(0, fractionLength + 1 - decimal.size(), '0');
    }
    const std::size_t integerLength = decimal.size() - fractionLength;
    std::string fraction = decimal.substr(integerLength);
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.pop_back();
    }
    if (fraction.empty()) {
        fraction.push_back('0');
    }
    std::string result;
    if (isNegative() && !scaled.isZero()) {
        result.push_back('-');
    }
    result.append(decimal, 0, integerLength);
    result.push_back('.');
    result.append(fraction);
    return result;
}

double BigFixed::toDouble() const {
    const bool negative = isNegative();
    const Words magnitude = negative ? negatedWords(words_) : words_;
    // Words w10 down to w4 (indices 9..3), each exactly a double times its weight
    // 2^(32*(k-10)-8) for 1-based k, summed from the most significant term down.
    double sum = 0.0;
    for (int index = kWords - 1; index >= 3; --index) {
        const int weight = 32 * (index + 1 - kWords) - 8;
        sum += std::ldexp(static_cast<double>(magnitude[static_cast<std::size_t>(index)]), weight);
    }
    return negative ? -sum : sum;
}

bool BigFixed::isZero() const {
    return std::all_of(words_.begin(), words_.end(), [](std::uint32_t word) { return word == 0; });
}

BigFixed BigFixed::operator-() const {
    return fromWords(negatedWords(words_));
}

BigFixed BigFixed::operator+(const BigFixed& other) const {
    BigFixed result = *this;
    result += other;
    return result;
}

BigFixed BigFixed::operator-(const BigFixed& other) const {
    return *this + (-other);
}

BigFixed& BigFixed::operator+=(const BigFixed& other) {
    std::uint64_t carry = 0;
    for (std::size_t k = 0; k < words_.size(); ++k) {
        const std::uint64_t sum = static_cast<std::uint64_t>(words_[k]) + other.words_[k] + carry;
        words_[k] = static_cast<std::uint32_t>(sum);
        carry = sum >> 32;
    }
    // The carry out of the top word is dropped.
    return *this;
}

BigFixed& BigFixed::operator-=(const BigFixed& other) {
    return *this += -other;
}

BigFixed BigFixed::multipliedBy(double factor) const {
    const bool negative = isNegative() != std::signbit(factor);
    if (!std::isfinite(factor)) {
        return saturated(negative);
    }
    if (factor == 0.0 || isZero()) {
        return BigFixed{};
    }
    // |factor| = m * 2^e with an integer m below 2^53 (exact also for subnormals).
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(factor), &exponent);
    const auto m = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    exponent -= 53;

    BigUint product = magnitudeOf(*this);
    product.mulSmall(m);
    if (exponent >= 0) {
        if (product.bitLength() + exponent > kMagnitudeBits) {
            return saturated(negative);
        }
        product.shiftLeft(exponent);
    } else {
        product.shiftRight(-exponent); // truncation of the magnitude: toward zero
    }
    return fromMagnitude(negative, product);
}

BigFixed BigFixed::dividedBy(std::int64_t divisor) const {
    if (divisor == 0) {
        return BigFixed{};
    }
    const bool negative = isNegative() != (divisor < 0);
    const std::uint64_t magnitudeDivisor =
        divisor < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(divisor)
                    : static_cast<std::uint64_t>(divisor);
    BigUint quotient = magnitudeOf(*this);
    quotient.divSmall(magnitudeDivisor);
    return fromMagnitude(negative, quotient);
}

} // namespace vortimax
