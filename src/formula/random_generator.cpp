#include "formula/random_generator.h"

namespace vortimax {

namespace {

// Shift left with the count taken modulo 32 (as the original's 32-bit shift instructions do;
// a C++ shift by 32 or more would be undefined).
constexpr std::uint32_t shiftLeft(std::uint32_t value, std::uint32_t count) {
    return value << (count & 31u);
}

} // namespace

std::uint32_t nextRandom(std::uint32_t& seed) {
    const std::uint32_t s = seed;
    std::uint32_t t = shiftLeft(shiftLeft(s, 3u - s), s + 3u);
    t = s + 2u * t;
    t = shiftLeft(t, 4u - s);
    t = (2u * t + 3680u - s) & 0x7FFFFFFFu;
    seed = t - 1u;
    return t;
}

double randomToUnitRange(std::uint32_t t) {
    return 2.0 * static_cast<double>(t) / 2147483647.0 - 1.0;
}

} // namespace vortimax
