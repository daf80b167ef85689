// Decimal text into the 320-bit fixed-point numbers of stored coordinates, and back.

#include "fuzz_input.h"
#include "model/big_fixed.h"

#include <cmath>
#include <cstdlib>

using vortimax::BigFixed;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vortimax::fuzz::asText(data, size);
    for (int limit : {BigFixed::kDoubleDigitLimit, BigFixed::kFileDigitLimit, 1000}) {
        const std::optional<BigFixed> value = BigFixed::fromText(text, limit);
        const BigFixed orZero = BigFixed::fromTextOrZero(text, limit);
        if (value ? *value != orZero : !orZero.isZero())
            std::abort();
        if (!value)
            continue;
        // Printing and reading back at full length lands within one unit of the last
        // printed digit; the sign and the double conversion agree with the value.
        const std::string printed = value->toText();
        const std::optional<BigFixed> reread = BigFixed::fromText(printed, 1000);
        if (!reread || reread->isNegative() != (value->isNegative() && !reread->isZero()))
            std::abort();
        const double asDouble = value->toDouble();
        if (!std::isfinite(asDouble) || (asDouble < 0.0 && !value->isNegative()) ||
            (asDouble > 0.0 && value->isNegative()))
            std::abort();
        (void)(-*value + *value);
        (void)value->multipliedBy(asDouble);
        (void)value->dividedBy(static_cast<std::int64_t>(size) - 7);
        (void)BigFixed::fromDouble(asDouble);
    }
    return 0;
}
