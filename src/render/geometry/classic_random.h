#pragma once

#include <cstdint>

namespace vortimax {

// The pseudo-random sequence of the classic C library generator: a 32-bit linear
// congruential step, next = next * 214013 + 2531011 (modulo 2^32), of which bits 16 to 30
// are handed out, so every value lies in 0 ... 32767. The IFS chaos game draws from it so
// that a definition gives the same image on every machine and compiler, which the
// standard library's own rand() does not promise. It is not the generator of the formula
// word `rand` (formula/random_generator.h).
class ClassicRandom {
public:
    static constexpr int kMax = 32767;

    explicit ClassicRandom(std::uint32_t seed) : next_(seed) {}

    int next() {
        next_ = next_ * 214013u + 2531011u;
        return static_cast<int>((next_ >> 16) & 0x7FFFu);
    }

private:
    std::uint32_t next_;
};

} // namespace vortimax
