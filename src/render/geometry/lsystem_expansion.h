#pragma once

// Expanding an L-system to a depth: every character that has a rule is replaced by its
// replacement, expanded one level deeper, until the depth is reached; the characters met
// on the way are handed to the turtle in order. The text is never built: the walk keeps
// one place per level.

#include "formula/lsystem_entry.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

class Turtle;

// The rules of an L-system by letter.
class LSystemGrammar {
public:
    explicit LSystemGrammar(const LSystemEntry& entry);

    // The replacement of a letter, or null when it has none.
    const std::string* replacement(char letter) const {
        const auto& rule = rules_[static_cast<unsigned char>(letter)];
        return rule ? &*rule : nullptr;
    }

private:
    std::array<std::optional<std::string>, 256> rules_;
};

// How much an expansion walks: every character replaced and every character handed to
// the turtle counts once (a command's number counts with it).
struct ExpansionSize {
    // Characters walked, or kMostExpansionCharacters + 1 when there are more.
    std::uint64_t characters = 0;
    // The walk would go deeper than kMostExpansionLevels levels.
    bool tooDeep = false;
    // The count was abandoned because `stop` said so.
    bool stopped = false;
};

// Bounds of what an L-system fractal may ask for: beyond them it is refused at once
// instead of drawing for hours or exhausting memory. 10^8 characters take a few seconds.
inline constexpr std::uint64_t kMostExpansionCharacters = 100'000'000;
inline constexpr std::int64_t kMostExpansionLevels = 10'000;

// Counts the characters of the expansion of `axiom` to `depth` without walking it: per
// letter and level, from the deepest level up. Letters whose rules lead back to them
// make the levels count; others settle after at most one level per letter. `stop` is
// asked once per level.
ExpansionSize measureExpansion(const LSystemGrammar& grammar, std::string_view axiom,
                               std::int64_t depth, const std::function<bool()>& stop = {});

// The walk of the expansion of `axiom` to `depth`, handed to `turtle` a slice at a time.
// At a level below the depth a character with a rule is replaced; every other character
// is interpreted at once with its number; at the depth the text is interpreted whole.
// A "[" that finds the turtle's stack full skips the rest of the text it stands in.
class LSystemWalk {
public:
    LSystemWalk(const LSystemGrammar& grammar, std::string_view axiom, std::int64_t depth,
                Turtle& turtle);

    // Walks about `budget` more characters; true once the walk is complete.
    bool walk(std::uint64_t budget);
    bool complete() const { return frames_.empty(); }
    std::uint64_t charactersWalked() const { return walked_; }

private:
    struct Frame {
        std::string_view text;
        std::size_t pos;
        std::int64_t level;
    };

    const LSystemGrammar& grammar_;
    std::int64_t depth_;
    Turtle& turtle_;
    std::vector<Frame> frames_;
    std::uint64_t walked_ = 0;
};

} // namespace vortimax
