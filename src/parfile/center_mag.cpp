#include "parfile/center_mag.h"

#include "base/text_utils.h"
#include "parfile/value_list.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace vortimax {

namespace {

// The value of pi the conversion of degrees uses.
constexpr double kPi = 3.1415926535;

constexpr std::size_t kWords = BigFixed::kWords;
constexpr std::size_t kWideWords = 2 * kWords;

using Words = BigFixed::Words;
using WideWords = std::array<std::uint32_t, kWideWords>;
// A remainder is below the divisor (< 2^320) before it is doubled: one word more holds it.
using RemainderWords = std::array<std::uint32_t, kWords + 1>;

Words negated(Words words) {
    std::uint32_t carry = 1;
    for (std::uint32_t& word : words) {
        word = ~word + carry;
        carry = (carry != 0 && word == 0) ? 1u : 0u;
    }
    return words;
}

// Two's complement magnitude; the most negative value gives 2^319, which still fits.
Words magnitude(const BigFixed& value) {
    return value.isNegative() ? negated(value.words()) : value.words();
}

bool bitOf(const WideWords& words, std::size_t bit) {
    return ((words[bit / 32] >> (bit % 32)) & 1u) != 0;
}

void shiftInBit(RemainderWords& words, bool bit) {
    std::uint32_t carry = bit ? 1u : 0u;
    for (std::uint32_t& word : words) {
        std::uint32_t next = word >> 31;
        word = (word << 1) | carry;
        carry = next;
    }
}

bool notBelow(const RemainderWords& remainder, const Words& divisor) {
    if (remainder[kWords] != 0)
        return true;
    for (std::size_t k = kWords; k-- > 0;)
        if (remainder[k] != divisor[k])
            return remainder[k] > divisor[k];
    return true;
}

void subtract(RemainderWords& remainder, const Words& divisor) {
    std::int64_t borrow = 0;
    for (std::size_t k = 0; k <= kWords; ++k) {
        std::int64_t d = k < kWords ? divisor[k] : 0;
        std::int64_t diff = static_cast<std::int64_t>(remainder[k]) - d - borrow;
        borrow = diff < 0 ? 1 : 0;
        remainder[k] = static_cast<std::uint32_t>(diff + (borrow << 32));
    }
}

// floor(numerator / divisor) by binary long division.
WideWords divideMagnitudes(const WideWords& numerator, const Words& divisor) {
    WideWords quotient{};
    RemainderWords remainder{};
    for (std::size_t bit = 32 * kWideWords; bit-- > 0;) {
        shiftInBit(remainder, bitOf(numerator, bit));
        if (notBelow(remainder, divisor)) {
            subtract(remainder, divisor);
            quotient[bit / 32] |= 1u << (bit % 32);
        }
    }
    return quotient;
}

// The dividend's magnitude scaled by 2^296, so that the quotient keeps the fraction bits.
WideWords scaledDividend(const Words& words) {
    WideWords wide{};
    constexpr std::size_t kShift = BigFixed::kFractionBits;
    for (std::size_t k = 0; k < kWords; ++k) {
        std::uint64_t shifted = static_cast<std::uint64_t>(words[k]) << (kShift % 32);
        std::size_t at = k + kShift / 32;
        wide[at] |= static_cast<std::uint32_t>(shifted);
        wide[at + 1] |= static_cast<std::uint32_t>(shifted >> 32);
    }
    return wide;
}

BigFixed withSign(const Words& magnitudeWords, bool negative) {
    return BigFixed::fromWords(negative ? negated(magnitudeWords) : magnitudeWords);
}

// The largest magnitude a value can have, 2^319 - 1 in units of the last fraction bit.
Words largestMagnitude() {
    Words words;
    words.fill(0xFFFFFFFFu);
    words[kWords - 1] = 0x7FFFFFFFu;
    return words;
}

// A magnitude of 2^319 or more does not fit.
bool fitsSigned(const WideWords& quotient) {
    for (std::size_t k = kWords; k < kWideWords; ++k)
        if (quotient[k] != 0)
            return false;
    return (quotient[kWords - 1] & 0x80000000u) == 0;
}

struct Offset {
    BigFixed x, y;
};

// Turns an offset by the angle whose cosine and sine are given (the sense the area uses)
// and moves it to the centre.
Offset turnedAndMoved(const Offset& offset, double c, double s, const Offset& centre) {
    BigFixed x = offset.x.multipliedBy(c) + offset.y.multipliedBy(s);
    BigFixed y = offset.y.multipliedBy(c) - offset.x.multipliedBy(s);
    return {x + centre.x, y + centre.y};
}

// Degrees, or 0 when the text is missing or holds no finite number.
double degreesAt(const std::vector<std::string_view>& parts, std::size_t index) {
    if (index >= parts.size())
        return 0.0;
    std::optional<double> value = scanDouble(parts[index]);
    return value && std::isfinite(*value) ? *value : 0.0;
}

CenterMagArea rectangle(const Offset& centre, const BigFixed& w, const BigFixed& h) {
    CenterMagArea area;
    area.topLeftR = centre.x - w;
    area.topLeftI = centre.y + h;
    area.bottomRightR = centre.x + w;
    area.bottomRightI = centre.y - h;
    return area;
}

CenterMagArea turnedArea(const Offset& centre, const BigFixed& w, const BigFixed& h,
                         double rotation, double skew) {
    BigFixed ht = h.multipliedBy(std::tan(skew * kPi / 180.0));
    double r = rotation * kPi / 180.0;
    double c = std::cos(r), s = std::sin(r);
    Offset topLeft = turnedAndMoved({-w + ht, h}, c, s, centre);
    Offset bottomRight = turnedAndMoved({w - ht, -h}, c, s, centre);
    Offset bottomLeft = turnedAndMoved({-w - ht, -h}, c, s, centre);
    CenterMagArea area;
    area.stretch = true;
    area.topLeftR = topLeft.x;
    area.topLeftI = topLeft.y;
    area.bottomRightR = bottomRight.x;
    area.bottomRightI = bottomRight.y;
    area.topRightR = topLeft.x + bottomRight.x - bottomLeft.x;
    area.topRightI = topLeft.y + bottomRight.y - bottomLeft.y;
    return area;
}

} // namespace

std::optional<BigFixed> divideBigFixed(const BigFixed& dividend, const BigFixed& divisor) {
    if (divisor.isZero())
        return std::nullopt;
    bool negative = dividend.isNegative() != divisor.isNegative();
    WideWords quotient = divideMagnitudes(scaledDividend(magnitude(dividend)), magnitude(divisor));
    if (!fitsSigned(quotient))
        return withSign(largestMagnitude(), negative);
    Words low{};
    for (std::size_t k = 0; k < kWords; ++k)
        low[k] = quotient[k];
    return withSign(low, negative);
}

std::optional<CenterMagArea> centerMagArea(std::string_view value) {
    constexpr int kDigits = BigFixed::kFileDigitLimit;
    std::vector<std::string_view> parts = splitValues(value, 6);
    if (parts.size() < 3)
        return std::nullopt;
    std::optional<BigFixed> x = BigFixed::fromText(parts[0], kDigits);
    std::optional<BigFixed> y = BigFixed::fromText(parts[1], kDigits);
    std::optional<BigFixed> magnification = BigFixed::fromText(parts[2], kDigits);
    if (!x || !y || !magnification)
        return std::nullopt;
    BigFixed widthFactor = BigFixed::fromInteger(1);
    if (parts.size() > 3) {
        std::optional<BigFixed> k = BigFixed::fromText(parts[3], kDigits);
        if (k && !k->isZero())
            widthFactor = *k;
    }
    std::optional<BigFixed> h = divideBigFixed(BigFixed::fromInteger(1), *magnification);
    if (!h)
        return std::nullopt;
    std::optional<BigFixed> w = divideBigFixed(*h, widthFactor.multipliedBy(0.75));
    if (!w)
        return std::nullopt;
    double rotation = degreesAt(parts, 4);
    double skew = degreesAt(parts, 5);
    Offset centre{*x, *y};
    if (rotation == 0.0 && skew == 0.0)
        return rectangle(centre, *w, *h);
    return turnedArea(centre, *w, *h, rotation, skew);
}

} // namespace vortimax
