#pragma once

// The turtle that draws an L-system: it reads commands one at a time and draws lines on
// the plane of the area.

#include <cstddef>
#include <string_view>
#include <vector>

namespace vortimax {

// Where the turtle's lines go: from (x0, y0) to (x1, y1) on the plane, in palette entry
// `index` (0 ... 251).
class TurtlePen {
public:
    virtual ~TurtlePen() = default;
    virtual void line(double x0, double y0, double x1, double y1, int index) = 0;
};

struct TurtleState {
    double x = 0.0, y = 0.0; // position
    double a = 0.0;          // direction (radians)
    double b = 0.0;          // free direction (radians), for D and M
    double c = 0.0;          // colour; lines use trunc(c) modulo 252
    double s = 1.0;          // step length
    double delta = 0.0;      // angle step (radians) of + and -
    bool reversed = false;   // swaps the senses of +, -, backslash and /
};

// Commands (numbers n follow the command character directly):
//   F draw a step along a, G move a step along a, D draw a step along b, M move along b;
//   + and - turn a by delta, | turns a by pi, ! swaps the senses of the turns;
//   \n and /n turn b by n degrees; Cn sets the colour, <n adds to it, >n subtracts;
//   @n multiplies the step length by n, @In by 1/n, @Qn by the square root of n, @IQn
//   (or @QIn) by the square root of 1/n;
//   [ saves the state, ] takes back the last state saved (nothing when none is saved);
//   every other character does nothing.
// A number is written as decimal digits with an optional fraction ("30", "1.5", ".5"),
// and may start with a minus sign directly followed by a digit or a point; nothing
// else (no plus sign, no exponent). Digits after a command that takes no number are
// characters of their own. A command whose number is missing or out of range is ignored,
// and so are @I0 and @IQ0 (no division by zero) and @Q or @IQ of a negative number (no
// root of a negative number); the characters of the ignored command are consumed.
class Turtle {
public:
    // States "[" may save. The push that finds all of them in use saves nothing: the
    // saved states are dropped and the rest of the text being read is skipped.
    static constexpr std::size_t kStackCapacity = 490;

    Turtle(const TurtleState& start, TurtlePen& pen) : state_(start), pen_(pen) {
        stack_.reserve(kStackCapacity);
    }

    // Carries out the command at text[pos] with its number. Returns how many characters
    // it took (at least 1); sets `skipRest` when the rest of the text must be skipped.
    std::size_t interpret(std::string_view text, std::size_t pos, bool& skipRest);

    const TurtleState& state() const { return state_; }
    std::size_t savedStates() const { return stack_.size(); }

private:
    void step(double direction, bool draw);

    TurtleState state_;
    TurtlePen& pen_;
    std::vector<TurtleState> stack_;
};

// The characters of the command at text[pos] with its number, as the turtle reads it.
std::size_t commandLength(std::string_view text, std::size_t pos);

} // namespace vortimax
