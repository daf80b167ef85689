#include "render/geometry/turtle.h"

#include "render/geometry/figure_canvas.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace vortimax {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kRadiansPerDegree = kPi / 180.0;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool takesNumber(char command) {
    switch (command) {
    case '\\':
    case '/':
    case 'C':
    case '<':
    case '>':
    case '@':
        return true;
    default:
        return false;
    }
}

// The length of the number at text[pos] (0 when there is none).
std::size_t numberLength(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    if (end < text.size() && text[end] == '-')
        ++end;
    const std::size_t digits = end;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    bool any = end > digits;
    if (end + 1 < text.size() && text[end] == '.' && isDigit(text[end + 1])) {
        for (++end; end < text.size() && isDigit(text[end]);)
            ++end;
        any = true;
    }
    return any ? end - pos : 0;
}

// A command with what follows it: the I and Q letters of "@" and the number.
struct Command {
    char letter = 0;
    std::size_t length = 1;
    bool inverse = false;
    bool root = false;
    std::optional<double> number;
};

Command readCommand(std::string_view text, std::size_t pos) {
    Command command;
    command.letter = text[pos];
    if (!takesNumber(command.letter))
        return command;
    std::size_t at = pos + 1;
    if (command.letter == '@') {
        for (int k = 0; k < 2 && at < text.size(); ++k, ++at) {
            if (text[at] == 'I' && !command.inverse)
                command.inverse = true;
            else if (text[at] == 'Q' && !command.root)
                command.root = true;
            else
                break;
        }
    }
    const std::size_t digits = numberLength(text, at);
    if (digits > 0) {
        double value = 0.0;
        const auto [end, error] = std::from_chars(text.data() + at, text.data() + at + digits,
                                                  value, std::chars_format::fixed);
        if (error == std::errc{} && end == text.data() + at + digits && std::isfinite(value))
            command.number = value;
    }
    command.length = at + digits - pos;
    return command;
}

// The factor of "@": n, 1/n, sqrt(n) or sqrt(1/n); nothing when that is no number.
std::optional<double> stepFactor(const Command& command) {
    double factor = *command.number;
    if (command.inverse) {
        if (factor == 0.0)
            return std::nullopt;
        factor = 1.0 / factor;
    }
    if (command.root) {
        if (factor < 0.0)
            return std::nullopt;
        factor = std::sqrt(factor);
    }
    return factor;
}

} // namespace

std::size_t commandLength(std::string_view text, std::size_t pos) {
    return readCommand(text, pos).length;
}

void Turtle::step(double direction, bool draw) {
    const double x = state_.x + state_.s * std::cos(direction);
    const double y = state_.y + state_.s * std::sin(direction);
    if (draw)
        pen_.line(state_.x, state_.y, x, y, paletteIndexOf(state_.c));
    state_.x = x;
    state_.y = y;
}

std::size_t Turtle::interpret(std::string_view text, std::size_t pos, bool& skipRest) {
    const Command command = readCommand(text, pos);
    TurtleState& t = state_;
    const double sense = t.reversed ? -1.0 : 1.0;
    if (takesNumber(command.letter) && !command.number)
        return command.length;
    switch (command.letter) {
    case 'F':
        step(t.a, true);
        break;
    case 'G':
        step(t.a, false);
        break;
    case 'D':
        step(t.b, true);
        break;
    case 'M':
        step(t.b, false);
        break;
    case '+':
        t.a += sense * t.delta;
        break;
    case '-':
        t.a -= sense * t.delta;
        break;
    case '|':
        t.a += kPi;
        break;
    case '!':
        t.reversed = !t.reversed;
        break;
    case '\\':
        t.b += sense * *command.number * kRadiansPerDegree;
        break;
    case '/':
        t.b -= sense * *command.number * kRadiansPerDegree;
        break;
    case 'C':
        t.c = *command.number;
        break;
    case '<':
        t.c += *command.number;
        break;
    case '>':
        t.c -= *command.number;
        break;
    case '@':
        if (const auto factor = stepFactor(command))
            t.s *= *factor;
        break;
    case '[':
        if (stack_.size() < kStackCapacity) {
            stack_.push_back(t);
        } else {
            stack_.clear();
            skipRest = true;
        }
        break;
    case ']':
        if (!stack_.empty()) {
            t = stack_.back();
            stack_.pop_back();
        }
        break;
    default:
        break;
    }
    return command.length;
}

} // namespace vortimax
