// Tests of the pseudo-random generator.

#include "formula/random_generator.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace vortimax {
namespace {

// Sequences worked out by hand (unsigned 32-bit, every shift count modulo 32). The second
// step from seed 1 (seed 5742, % 32 = 14) wraps in every step; seed 15 catches step 1's two
// shifts merged into one shift by 6 (that would give 0x63C00E51); seed 0x80000000 is masked
// down to 3680 and then follows the sequence of seed 0. Every result has 31 bits and becomes
// the seed less one.
TEST(RandomGenerator, KnownSequences) {
    const struct {
        std::uint32_t start;
        std::vector<std::uint32_t> values;
    } cases[] = {{0, {3680, 30373825, 798723744}},
                 {1, {5743, 922744818}},
                 {15, {62918225}},
                 {0x80000000u, {3680, 30373825}},
                 {0xFFFFFFFFu, {}}};
    for (const auto& [start, values] : cases) {
        std::uint32_t seed = start;
        for (std::size_t i = 0; i < 1000; ++i) {
            const std::uint32_t t = nextRandom(seed);
            if (i < values.size()) {
                EXPECT_EQ(t, values[i]) << "start " << start;
            }
            ASSERT_LE(t, 0x7FFFFFFFu) << "start " << start << " step " << i;
            ASSERT_EQ(seed, t - 1u) << "start " << start << " step " << i;
        }
    }
}

TEST(RandomGenerator, UnitRangeOfRand) {
    EXPECT_EQ(randomToUnitRange(0), -1.0);
    EXPECT_EQ(randomToUnitRange(0x7FFFFFFFu), 1.0);
    // 2 t / 2147483647 - 1 exactly: (2 t - 2147483647) / 2147483647 differs in the last bit.
    EXPECT_EQ(randomToUnitRange(798723744u), -0.2561305459850144);
    EXPECT_EQ(randomToUnitRange(1073741823u), -4.656612873077393e-10);
}

} // namespace
} // namespace vortimax
