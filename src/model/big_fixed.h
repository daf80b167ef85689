#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vortimax {

// Signed 320-bit fixed-point number: ten 32-bit words, least significant first,
// two's complement over all ten words. Word k (1-based) weighs 2^(32*(k-10) - 8):
// the top word holds the sign bit, 23 integer bits and 8 fraction bits, the nine
// lower words 288 more fraction bits (296 in all). Holds every stored complex-plane
// coordinate and complex constant; per-pixel work converts it to a double.
class BigFixed {
public:
    static constexpr int kWords = 10;
    static constexpr int kFractionBits = 296;
    // Digit limits of the decimal conversion: values made from a double keep 20
    // significant digits, values read from parameter files 40.
    static constexpr int kDoubleDigitLimit = 20;
    static constexpr int kFileDigitLimit = 40;
    // Most fraction digits ever printed.
    static constexpr int kMaxPrintedFractionDigits = 85;

    using Words = std::array<std::uint32_t, kWords>;

    BigFixed() = default; // zero

    static BigFixed fromWords(const Words& words);
    const Words& words() const { return words_; }

    // Formats the value with "%+.15lf" and converts that text (digit limit 20).
    // Infinities saturate by their sign; NaN gives zero.
    static BigFixed fromDouble(double value);
    // Formats the integer as decimal text and converts that.
    static BigFixed fromInteger(long long value);

    // Decimal text: optional blanks, optional sign, digits with an optional point,
    // optional exponent ("e-015"). Significant digits past `digitLimit` are ignored.
    // Reading stops at the first character that does not belong to the number.
    // Returns nothing when the text holds no digit. The exact decimal value is rounded
    // to the nearest multiple of 2^-296, half away from zero. A magnitude of 2^23 or
    // more saturates at the largest representable magnitude with that sign,
    // +-(2^23 - 2^-296) (symmetric, so negating a saturated value never wraps).
    // `digitLimit` is clamped to 1..1000.
    static std::optional<BigFixed> fromText(std::string_view text, int digitLimit);
    // As fromText, but text without a number gives zero (the behaviour of "%lf"
    // reading into a cleared field).
    static BigFixed fromTextOrZero(std::string_view text, int digitLimit);

    // Optional minus sign, integer digits ("0" when none), a point, at most
    // `maxFractionDigits` fraction digits rounded half away from zero, trailing
    // zeros removed but one digit kept; never a plus sign ("-2.1", "0.7", "2.0").
    std::string toText(int maxFractionDigits = kMaxPrintedFractionDigits) const;

    // Words w10..w4 summed from the most significant term down, sign reapplied;
    // words w1..w3 do not take part.
    double toDouble() const;

    bool isNegative() const { return (words_[kWords - 1] & 0x80000000u) != 0; }
    bool isZero() const;

    BigFixed operator-() const;
    BigFixed operator+(const BigFixed& other) const;
    BigFixed operator-(const BigFixed& other) const;
    BigFixed& operator+=(const BigFixed& other);
    BigFixed& operator-=(const BigFixed& other);
    bool operator==(const BigFixed& other) const = default;

    // Exact product with a double, truncated toward zero at the last fraction bit.
    // Non-finite factors and products of magnitude 2^23 or more saturate like fromText,
    // with the sign of the product (value sign xor sign bit of the factor).
    BigFixed multipliedBy(double factor) const;
    // Exact quotient, truncated toward zero at the last fraction bit. Division by
    // zero gives zero; -2^23 / -1 saturates.
    BigFixed dividedBy(std::int64_t divisor) const;

private:
    Words words_{};
};

} // namespace vortimax
