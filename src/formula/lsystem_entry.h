#pragma once

// An L-system definition: an axiom, an angle divisor and rewriting rules, read from the body
// of a library entry.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

// Longest axiom, replacement or keyword field read; longer fields are cut.
inline constexpr std::size_t kMaxLSystemFieldLength = 510;
inline constexpr double kDefaultLSystemAngle = 8.0;

struct LSystemRule {
    char letter = 0;
    std::string replacement;

    friend bool operator==(const LSystemRule&, const LSystemRule&) = default;
};

struct LSystemEntry {
    std::string name;
    std::string axiom;
    double angle = kDefaultLSystemAngle;
    std::vector<LSystemRule> rules; // in file order, one per letter after reading
};

// Reads the keywords and rules of a body into `entry`. Only the first field of a line is
// examined (upper-cased):
// - "ANGLE=v" or "ANGLE v": the angle divisor (a finite number; anything else is ignored);
// - "AXIOM=text" or "AXIOM text": the axiom;
// - "X=text": a rule replacing the letter X by text;
// any other line is ignored. Rules for the same letter are merged afterwards.
void parseLSystemBody(std::string_view body, LSystemEntry& entry);

// Appends the replacement of every later rule of a letter to the first rule of that letter
// and removes the later one.
void mergeLSystemRules(std::vector<LSystemRule>& rules);

} // namespace vortimax
