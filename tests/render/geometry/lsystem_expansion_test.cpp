#include "render/geometry/lsystem_expansion.h"
#include "render/geometry/turtle.h"

#include <gtest/gtest.h>
#include <string>

namespace vortimax {
namespace {

// Writes down what the turtle is given: one letter per line drawn.
struct TextPen : TurtlePen {
    std::string drawn;
    void line(double, double, double, double, int index) override {
        drawn += static_cast<char>('a' + index);
    }
};

LSystemEntry entry(std::string axiom, std::vector<LSystemRule> rules) {
    return LSystemEntry{"", std::move(axiom), 8.0, std::move(rules)};
}

class LSystemExpansionTest : public ::testing::Test {
protected:
    // The lines drawn (as colour letters) and the characters walked.
    std::string expand(const LSystemEntry& system, std::int64_t depth) {
        const LSystemGrammar grammar(system);
        Turtle turtle(TurtleState{}, pen);
        LSystemWalk walk(grammar, system.axiom, depth, turtle);
        while (!walk.walk(3)) {
        }
        walked = walk.charactersWalked();
        measured = measureExpansion(grammar, system.axiom, depth).characters;
        return pen.drawn;
    }

    TextPen pen;
    std::uint64_t walked = 0;
    std::uint64_t measured = 0;
};

TEST_F(LSystemExpansionTest, DepthZeroInterpretsTheAxiomItself) {
    EXPECT_EQ(expand(entry("FC1F", {{'F', "FFF"}}), 0), "ab");
    EXPECT_EQ(walked, 4u);
    EXPECT_EQ(measured, 4u);
}

// The count without walking equals the walk, for rules that grow and for rules that
// settle long before the depth.
TEST_F(LSystemExpansionTest, MeasuresWhatTheWalkWalks) {
    expand(entry("F--F--F", {{'F', "F+F--F+F"}}), 5);
    EXPECT_EQ(measured, walked);
    EXPECT_EQ(pen.drawn.size(), 3072u); // the snowflake's 3 * 4^5 lines
    expand(entry("AB", {{'A', "B@2"}, {'B', "C1F"}, {'C', "+"}}), 40);
    EXPECT_EQ(measured, walked);
}

TEST_F(LSystemExpansionTest, RefusesExpansionsBeyondItsBounds) {
    const LSystemGrammar koch(entry("F", {{'F', "F+F--F+F"}}));
    // The axiom's F, then 8 + 4 * (characters of one replacement a level deeper).
    constexpr std::uint64_t kLevel12 = 1 + 8 * ((std::uint64_t{1} << 24) - 1) / 3;
    EXPECT_EQ(measureExpansion(koch, "F", 12).characters, kLevel12);
    EXPECT_GT(measureExpansion(koch, "F", 14).characters, kMostExpansionCharacters);
    EXPECT_GT(measureExpansion(koch, "F", 2'000'000'000).characters, kMostExpansionCharacters);
    // A rule that keeps one letter alive reaches every level: too deep past the bound,
    // however few characters that walks.
    const LSystemGrammar chain(entry("X", {{'X', "X"}}));
    EXPECT_FALSE(measureExpansion(chain, "X", kMostExpansionLevels).tooDeep);
    EXPECT_TRUE(measureExpansion(chain, "X", kMostExpansionLevels + 1).tooDeep);
    // Rules that lead nowhere settle: any depth is fine.
    const LSystemGrammar settles(entry("X", {{'X', "YF"}, {'Y', "F"}, {'Z', "Z"}}));
    const ExpansionSize deep = measureExpansion(settles, "X", 2'000'000'000);
    EXPECT_FALSE(deep.tooDeep);
    EXPECT_EQ(deep.characters, 4u);
    int asked = 0;
    EXPECT_TRUE(measureExpansion(chain, "X", 5000, [&] { return ++asked == 3; }).stopped);
}

// 491 "[" in a row: the last finds the stack full, which skips the rest of its own text
// only; the text around it goes on.
TEST_F(LSystemExpansionTest, DeepNestingTruncatesTheTextItStandsIn) {
    const LSystemEntry nested = entry("AC1F", {{'A', std::string(491, '[') + "C2F"}});
    EXPECT_EQ(expand(nested, 1), "b");
    EXPECT_EQ(expand(entry(std::string(490, '[') + "F", {}), 0), "ba");
}

} // namespace
} // namespace vortimax
