#include "render/geometry/turtle.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <string>
#include <vector>

namespace vortimax {
namespace {

struct Line {
    double x0, y0, x1, y1;
    int index;
};

struct RecordingPen : TurtlePen {
    std::vector<Line> lines;
    void line(double x0, double y0, double x1, double y1, int index) override {
        lines.push_back({x0, y0, x1, y1, index});
    }
};

class TurtleTest : public ::testing::Test {
protected:
    // Reads the whole text; returns whether a "[" asked to skip the rest.
    bool run(std::string_view text) {
        for (std::size_t pos = 0; pos < text.size();) {
            bool skipRest = false;
            pos += turtle.interpret(text, pos, skipRest);
            if (skipRest)
                return true;
        }
        return false;
    }
    const TurtleState& state() const { return turtle.state(); }

    RecordingPen pen;
    Turtle turtle{TurtleState{0, 0, 0, 0, 0, 1.0, std::numbers::pi / 2, false}, pen};
};

TEST_F(TurtleTest, DrawsAndMovesAlongBothDirections) {
    run("FG+F");
    ASSERT_EQ(pen.lines.size(), 2u);
    EXPECT_EQ(pen.lines[0].x1, 1.0);
    EXPECT_EQ(pen.lines[1].x0, 2.0); // G moved without drawing
    EXPECT_NEAR(pen.lines[1].y1, 1.0, 1e-12);
    EXPECT_NEAR(state().x, 2.0, 1e-12);
    // D and M follow the free direction b, turned by degrees with \ and /.
    run("\\90D/90/90M");
    ASSERT_EQ(pen.lines.size(), 3u);
    EXPECT_NEAR(pen.lines[2].y1 - pen.lines[2].y0, 1.0, 1e-12);
    EXPECT_NEAR(state().y, 1.0, 1e-12);
    EXPECT_NEAR(state().b, -std::numbers::pi / 2, 1e-12);
}

TEST_F(TurtleTest, ReversingSwapsTheSensesOfTheTurns) {
    run("+!+");
    EXPECT_NEAR(state().a, 0.0, 1e-12);
    run("-\\30");
    EXPECT_NEAR(state().a, std::numbers::pi / 2, 1e-12);
    EXPECT_NEAR(state().b, -30 * std::numbers::pi / 180, 1e-12);
    run("!|");
    EXPECT_NEAR(state().a, 1.5 * std::numbers::pi, 1e-12);
}

// Lines take trunc(c) modulo 252, counting down from 252 for negative colours.
TEST_F(TurtleTest, ColoursLinesWithTheColourModulo252) {
    run("C7.9F<250F>3.5F>300F");
    ASSERT_EQ(pen.lines.size(), 4u);
    EXPECT_EQ(pen.lines[0].index, 7);
    EXPECT_EQ(pen.lines[1].index, 5);   // 257.9
    EXPECT_EQ(pen.lines[2].index, 2);   // 254.4
    EXPECT_EQ(pen.lines[3].index, 207); // -45.6 -> -45
}

TEST_F(TurtleTest, ScalesTheStepWithTheAtCommand) {
    run("@2");
    EXPECT_EQ(state().s, 2.0);
    run("@I4");
    EXPECT_EQ(state().s, 0.5);
    run("@Q16");
    EXPECT_EQ(state().s, 2.0);
    run("@IQ4@QI.25");
    EXPECT_EQ(state().s, 2.0);
    run("@-.5");
    EXPECT_EQ(state().s, -1.0);
}

// Division by zero, roots of negative numbers and missing numbers are ignored with all
// the characters of the command, whatever follows.
TEST_F(TurtleTest, RefusesNumbersItCannotUse) {
    run("@I0@IQ0@Q-4@QI-1@@I@Q@IQ");
    EXPECT_EQ(state().s, 1.0);
    run("C5C<>\\/");
    EXPECT_EQ(state().c, 5.0);
    EXPECT_EQ(state().b, 0.0);
    run("@II2"); // a second I is no part of the command: "@I" lacks its number
    EXPECT_EQ(state().s, 1.0);
    run("C1e300C" + std::string(400, '9'));
    EXPECT_EQ(state().c, 1.0); // no exponent; beyond the range of a double
    EXPECT_TRUE(pen.lines.empty());
    EXPECT_EQ(commandLength("@IQ-2.5F", 0), 7u);
    EXPECT_EQ(commandLength("C-F", 0), 1u);
    EXPECT_EQ(commandLength("F12", 0), 1u);
}

TEST_F(TurtleTest, BracketsSaveAndRestoreTheWholeState) {
    run("[+C9@3!F]]]F");
    ASSERT_EQ(pen.lines.size(), 2u);
    EXPECT_EQ(pen.lines[1].x1, 1.0); // unturned, step 1, colour 0
    EXPECT_EQ(pen.lines[1].index, 0);
    EXPECT_FALSE(state().reversed);
    EXPECT_EQ(turtle.savedStates(), 0u);
}

// The stack holds 490 states: the 491st push writes nothing, empties the stack and skips
// the rest of the text.
TEST_F(TurtleTest, AFullStackIsEmptiedInsteadOfOverflowing) {
    EXPECT_FALSE(run(std::string(490, '[')));
    EXPECT_EQ(turtle.savedStates(), 490u);
    EXPECT_TRUE(run("[F"));
    EXPECT_EQ(turtle.savedStates(), 0u);
    EXPECT_TRUE(pen.lines.empty());
}

} // namespace
} // namespace vortimax
