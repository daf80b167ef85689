#pragma once

// The pseudo-random generator, drawn from by the formula word `rand`
// and by plasma clouds. Each user keeps its own 32-bit seed, so
// worker threads never share generator state.

#include <cstdint>

namespace vortimax {

// next-random: advances `seed` and returns the raw 31-bit value t (0 <= t <= 0x7FFFFFFF).
// In unsigned 32-bit arithmetic, every shift count taken modulo 32:
//   1. t = s << (3 - s), then t <<= (s + 3)
//   2. t = s + 2t
//   3. t <<= (4 - s)
//   4. t = (2t + 3680 - s) AND 0x7FFFFFFF
//   5. the seed becomes t - 1; the result is t.
std::uint32_t nextRandom(std::uint32_t& seed);

// The real part of the formula word `rand`: 2 t / 2147483647 - 1, in [-1, 1].
double randomToUnitRange(std::uint32_t t);

} // namespace vortimax
