#include "render/geometry/lsystem_expansion.h"

#include "render/geometry/turtle.h"

#include <algorithm>
#include <utility>

namespace vortimax {

namespace {

using Count = std::uint64_t;
constexpr Count kCap = kMostExpansionCharacters + 1;

// Sums and products that stop at kCap; the operands never exceed it.
Count plus(Count a, Count b) {
    return std::min(a + b, kCap);
}
Count times(Count a, Count b) {
    return b != 0 && a > kCap / b ? kCap : std::min(a * b, kCap);
}

// A text read at a level below the depth: the characters it walks itself (one per
// replaced letter, a command with its number for the others) and how often it replaces
// each letter.
struct Composition {
    Count own = 0;
    std::vector<std::pair<unsigned char, Count>> replaced;
};

Composition compose(const LSystemGrammar& grammar, std::string_view text) {
    std::array<Count, 256> counts{};
    Composition composition;
    for (std::size_t pos = 0; pos < text.size();) {
        if (grammar.replacement(text[pos]) != nullptr) {
            ++counts[static_cast<unsigned char>(text[pos])];
            composition.own = plus(composition.own, 1);
            ++pos;
        } else {
            const std::size_t length = commandLength(text, pos);
            composition.own = plus(composition.own, std::min<Count>(length, kCap));
            pos += length;
        }
    }
    for (std::size_t letter = 0; letter < counts.size(); ++letter)
        if (counts[letter] > 0)
            composition.replaced.emplace_back(static_cast<unsigned char>(letter),
                                              std::min(counts[letter], kCap));
    return composition;
}

// The letters with a rule that the expansion of `start` can reach, with their
// replacements composed.
std::array<std::optional<Composition>, 256> reachableRules(const LSystemGrammar& grammar,
                                                           const Composition& start) {
    std::array<std::optional<Composition>, 256> rules;
    std::vector<unsigned char> pending;
    auto visit = [&](const Composition& composition) {
        for (const auto& [letter, count] : composition.replaced)
            if (!rules[letter]) {
                rules[letter] = compose(grammar, *grammar.replacement(static_cast<char>(letter)));
                pending.push_back(letter);
            }
    };
    visit(start);
    while (!pending.empty()) {
        const unsigned char letter = pending.back();
        pending.pop_back();
        visit(*rules[letter]);
    }
    return rules;
}

Count walkedBy(const Composition& composition, const std::array<Count, 256>& perLetter) {
    Count total = composition.own;
    for (const auto& [letter, count] : composition.replaced)
        total = plus(total, times(count, perLetter[letter]));
    return total;
}

} // namespace

LSystemGrammar::LSystemGrammar(const LSystemEntry& entry) {
    for (const LSystemRule& rule : entry.rules)
        rules_[static_cast<unsigned char>(rule.letter)] = rule.replacement;
}

ExpansionSize measureExpansion(const LSystemGrammar& grammar, std::string_view axiom,
                               std::int64_t depth, const std::function<bool()>& stop) {
    if (depth <= 0)
        return {std::min<Count>(axiom.size(), kCap)};
    const Composition start = compose(grammar, axiom);
    const auto rules = reachableRules(grammar, start);
    // perLetter[L]: the characters walked for one replacement of L. Replaced at the last
    // level above the depth, L's replacement is read whole.
    std::array<Count, 256> perLetter{};
    for (std::size_t letter = 0; letter < rules.size(); ++letter)
        if (rules[letter])
            perLetter[letter] =
                std::min<Count>(grammar.replacement(static_cast<char>(letter))->size(), kCap);
    for (std::int64_t level = 1; level < depth; ++level) {
        if (walkedBy(start, perLetter) >= kCap)
            break;
        if (stop && stop())
            return {0, false, true};
        // Without a rule that leads back to itself the counts settle within one level per
        // letter; still changing here, the walk reaches the full depth.
        if (level >= kMostExpansionLevels)
            return {0, true, false};
        std::array<Count, 256> next{};
        for (std::size_t letter = 0; letter < rules.size(); ++letter)
            if (rules[letter])
                next[letter] = walkedBy(*rules[letter], perLetter);
        if (next == perLetter)
            break;
        perLetter = next;
    }
    return {walkedBy(start, perLetter)};
}

LSystemWalk::LSystemWalk(const LSystemGrammar& grammar, std::string_view axiom, std::int64_t depth,
                         Turtle& turtle)
    : grammar_(grammar), depth_(depth), turtle_(turtle) {
    frames_.push_back({axiom, 0, 0});
}

bool LSystemWalk::walk(std::uint64_t budget) {
    const std::uint64_t end = walked_ + budget;
    while (!frames_.empty() && walked_ < end) {
        Frame& frame = frames_.back();
        if (frame.pos >= frame.text.size()) {
            frames_.pop_back();
            continue;
        }
        const std::string* replacement =
            frame.level < depth_ ? grammar_.replacement(frame.text[frame.pos]) : nullptr;
        if (replacement != nullptr) {
            ++frame.pos;
            ++walked_;
            const std::int64_t level = frame.level + 1;
            frames_.push_back({*replacement, 0, level});
            continue;
        }
        bool skipRest = false;
        const std::size_t used = turtle_.interpret(frame.text, frame.pos, skipRest);
        walked_ += used;
        if (skipRest)
            frames_.pop_back();
        else
            frame.pos += used;
    }
    return frames_.empty();
}

} // namespace vortimax
