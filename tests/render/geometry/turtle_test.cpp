#include "render/geometry/turtle.h"

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

// Lines take trunc(c) modulo 252, counting down from 252 for negative colours; "@" scales
// the step by n, 1/n, sqrt(n) or sqrt(1/n).
TEST_F(TurtleTest, ColoursAndStepLengths) {
    run("C7.9F<250F>3.5F>300F");
    ASSERT_EQ(pen.lines.size(), 4u);
    EXPECT_EQ(pen.lines[0].index, 7);
    EXPECT_EQ(pen.lines[1].index, 5);   // 257.9
    EXPECT_EQ(pen.lines[2].index, 2);   // 254.4
    EXPECT_EQ(pen.lines[3].index, 207); // -45.6
    run("@2@I4@Q16@IQ4@QI.25@-.5");
    EXPECT_EQ(state().s, -1.0);
}

// Division by zero, roots of negative numbers and missing or unreadable numbers are
// ignored with all the characters of the command.
TEST_F(TurtleTest, RefusesNumbersItCannotUse) {
    run("@I0@IQ0@Q-4@QI-1@@I@Q@IQ@II2");
    EXPECT_EQ(state().s, 1.0);
    run("C5C<>\\/C1e300C" + std::string(400, '9'));
    EXPECT_EQ(state().c, 1.0); // no exponent; beyond the range of a double
    EXPECT_EQ(state().b, 0.0);
    EXPECT_TRUE(pen.lines.empty());
    EXPECT_EQ(commandLength("@IQ-2.5F", 0), 7u);
    EXPECT_EQ(commandLength("C-F", 0), 1u);
    EXPECT_EQ(commandLength("F12", 0), 1u);
}

// "]" restores the whole state; the stack holds 490 states, and the 491st push writes
// nothing: it empties the stack and skips the rest of the text.
TEST_F(TurtleTest, TheStackRestoresAndNeverOverflows) {
    run("[+C9@3!F]]]F");
    EXPECT_EQ(pen.lines.back().x1, 1.0);
    EXPECT_EQ(pen.lines.back().index, 0);
    EXPECT_FALSE(state().reversed);
    EXPECT_FALSE(run(std::string(490, '[')));
    EXPECT_EQ(turtle.savedStates(), 490u);
    EXPECT_TRUE(run("[F"));
    EXPECT_EQ(turtle.savedStates(), 0u);
    EXPECT_EQ(pen.lines.size(), 2u);
}

} // namespace
} // namespace vortimax
