#pragma once

#include "model/big_fixed.h"

#include <optional>
#include <string_view>

namespace vortimax {

// Quotient of two high-precision values, truncated toward zero at the last fraction bit;
// a magnitude of 2^23 or more saturates like BigFixed's other operations. Nothing when
// the divisor is zero.
std::optional<BigFixed> divideBigFixed(const BigFixed& dividend, const BigFixed& divisor);

// The area a centre-magnification description stands for: top-left and bottom-right
// corners, and with `stretch` also the top-right corner (a turned or skewed area).
struct CenterMagArea {
    BigFixed topLeftR, topLeftI;
    BigFixed bottomRightR, bottomRightI;
    BigFixed topRightR, topRightI;
    bool stretch = false;
};

// "x/y/magnification[/x-magnification/rotation/skew]" as other programs write it: the
// centre, the magnification (half the image height is 1 / magnification) and the width
// factor as decimal text, rotation and skew as degrees. Nothing when the centre or the
// magnification does not read or the magnification is zero.
std::optional<CenterMagArea> centerMagArea(std::string_view value);

} // namespace vortimax
