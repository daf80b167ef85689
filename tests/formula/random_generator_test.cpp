// Tests of the pseudo-random generator.

#include "formula/random_generator.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace vortimax {
namespace {

// Expected values worked out by hand from the algorithm (unsigned 32-bit, shift counts
// modulo 32):
//
// seed 0:
//   1. counts (3-0)%32 = 3 and (0+3)%32 = 3: t = 0 << 3 << 3 = 0
//   2. t = 0 + 2*0 = 0;  3. count (4-0)%32 = 4: t = 0
//   4. t = (0 + 3680 - 0) & 0x7FFFFFFF = 3680;  5. seed 3679, result 3680
// seed 3679 (= 0xE5F, 3679 % 32 = 31):
//   1. counts (3-31)%32 = 4, (31+3)%32 = 2: t = 3679 << 6 = 235456
//   2. t = 3679 + 470912 = 474591
//   3. count (4-31)%32 = 5: t = 474591 * 32 = 15186912
//   4. t = 30373824 + 3680 - 3679 = 30373825;  seed 30373824 (= 0x01CF77C0, % 32 = 0)
// seed 30373824:
//   1. counts 3 and 3: t = 30373824 << 6 = 1943924736 (no wrap)
//   2. t = 30373824 + 3887849472 = 3918223296 = 0xE98B57C0
//   3. count 4: t = 0xE98B57C0 << 4 = 0x98B57C00 (top nibble dropped)
//   4. 2t = 0x316AF800 (bit 32 dropped); + 0xE60 = 0x316B0660; - 0x01CF77C0 = 0x2F9B8EA0
//      = 798723744 (bit 31 clear already)
// seed 1:
//   1. counts (3-1) = 2 and (1+3) = 4: t = 1 << 6 = 64
//   2. t = 1 + 128 = 129;  3. count 3: t = 1032
//   4. t = 2064 + 3680 - 1 = 5743;  seed 5742 (= 0x166E, 5742 % 32 = 14)
// seed 5742:
//   1. counts (3-14)%32 = 21 and (14+3) = 17: 0x166E << 21 = 0xCDC00000 (wrapped),
//      << 17 = 0 (all bits shifted out: two counts of 38 in total, each taken modulo 32
//      separately, not as one shift by 6)
//   2. t = 5742 + 0 = 5742
//   3. count (4-14)%32 = 22: 0x166E << 22 = 0x9B800000 (wrapped)
//   4. 2t = 0x37000000 (wrapped); + 3680 - 5742 = 0x37000000 - 2062 = 0x36FFF7F2 = 922744818
// seed 15 (odd, % 32 = 15): the two shifts of step 1 must not be merged into one shift by 6
//   1. counts (3-15)%32 = 20 and (15+3) = 18: 15 << 20 = 0x00F00000, << 18 = 0 (shifted out)
//   2. t = 15 + 0 = 15;  3. count (4-15)%32 = 21: t = 15 << 21 = 0x01E00000 = 31457280
//   4. t = 62914560 + 3680 - 15 = 62918225;  seed 62918224
//   (a single shift by 6 would give t = 15 + 2*960 = 1935, 1935 << 21 = 0xF1E00000,
//   2t + 3665 masked = 0x63C00E51: a different value)
// seed 0x80000000 (% 32 = 0):
//   1. counts 3 and 3: t = 0x80000000 << 6 = 0
//   2. t = 0x80000000;  3. count 4: t = 0 (wrapped)
//   4. (0 + 3680 - 0x80000000) mod 2^32 = 0x80000E60, AND 0x7FFFFFFF = 3680; seed 3679 -
//      from here on the same sequence as from seed 0.

TEST(RandomGenerator, FirstValuesFromSeedZero) {
    std::uint32_t seed = 0;
    EXPECT_EQ(nextRandom(seed), 3680u);
    EXPECT_EQ(seed, 3679u);
    EXPECT_EQ(nextRandom(seed), 30373825u);
    EXPECT_EQ(seed, 30373824u);
    EXPECT_EQ(nextRandom(seed), 798723744u);
    EXPECT_EQ(seed, 798723743u);
}

TEST(RandomGenerator, FirstValuesFromSeedOne) {
    std::uint32_t seed = 1;
    EXPECT_EQ(nextRandom(seed), 5743u);
    EXPECT_EQ(seed, 5742u);
    EXPECT_EQ(nextRandom(seed), 922744818u);
    EXPECT_EQ(seed, 922744817u);
}

TEST(RandomGenerator, StepOneShiftsTwiceEachModulo32) {
    std::uint32_t seed = 15;
    EXPECT_EQ(nextRandom(seed), 62918225u);
    EXPECT_EQ(seed, 62918224u);
}

TEST(RandomGenerator, WrapAroundAndMaskFromHighSeed) {
    std::uint32_t seed = 0x80000000u;
    EXPECT_EQ(nextRandom(seed), 3680u);
    EXPECT_EQ(seed, 3679u);
    EXPECT_EQ(nextRandom(seed), 30373825u);
}

TEST(RandomGenerator, SeedBecomesResultMinusOneAndResultHas31Bits) {
    // Every residue of the seed modulo 32 (every combination of shift counts), high seeds,
    // and long runs from each.
    std::vector<std::uint32_t> starts;
    for (std::uint32_t s = 0; s < 64; ++s) {
        starts.push_back(s);
        starts.push_back(0xFFFFFFFFu - s);
        starts.push_back(0x7FFFFFF0u + s);
        starts.push_back(s * 0x9E3779B9u);
    }
    for (const std::uint32_t start : starts) {
        std::uint32_t seed = start;
        for (int i = 0; i < 1000; ++i) {
            const std::uint32_t t = nextRandom(seed);
            ASSERT_LE(t, 0x7FFFFFFFu) << "start " << start << " step " << i;
            ASSERT_EQ(seed, t - 1u) << "start " << start << " step " << i;
        }
    }
}

TEST(RandomGenerator, SameSeedSameSequence) {
    for (const std::uint32_t start : {0u, 1u, 12345u, 0xDEADBEEFu}) {
        std::uint32_t a = start;
        std::uint32_t b = start;
        std::vector<std::uint32_t> first;
        for (int i = 0; i < 200; ++i) {
            first.push_back(nextRandom(a));
        }
        for (int i = 0; i < 200; ++i) {
            EXPECT_EQ(nextRandom(b), first[static_cast<std::size_t>(i)]);
        }
    }
}

TEST(RandomGenerator, IndependentSeedsDoNotInterfere) {
    std::uint32_t formulaSeed = 1;
    std::uint32_t plasmaSeed = 0;
    EXPECT_EQ(nextRandom(plasmaSeed), 3680u);
    EXPECT_EQ(nextRandom(formulaSeed), 5743u);
    EXPECT_EQ(nextRandom(plasmaSeed), 30373825u);
    EXPECT_EQ(nextRandom(formulaSeed), 922744818u);
}

TEST(RandomGenerator, UnitRangeOfRand) {
    EXPECT_EQ(randomToUnitRange(0), -1.0);
    EXPECT_EQ(randomToUnitRange(0x7FFFFFFFu), 1.0);
    EXPECT_EQ(randomToUnitRange(3680), 2.0 * 3680.0 / 2147483647.0 - 1.0);
    EXPECT_NEAR(randomToUnitRange(1073741824u), 0.0, 1e-9);
    std::uint32_t seed = 42;
    for (int i = 0; i < 1000; ++i) {
        const double r = randomToUnitRange(nextRandom(seed));
        ASSERT_GE(r, -1.0);
        ASSERT_LE(r, 1.0);
    }
}

} // namespace
} // namespace vortimax
