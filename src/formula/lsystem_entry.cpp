#include "formula/lsystem_entry.h"

#include "base/text_utils.h"
#include "formula/library_body.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>

namespace vortimax {

namespace {

constexpr std::string_view kAngleKeyword = "ANGLE";
constexpr std::string_view kAxiomKeyword = "AXIOM";
// "ANGLE=" and "AXIOM=": the keyword's value follows its sixth character.
constexpr std::size_t kKeywordValueMark = 5;

std::string_view cutField(std::string_view field) {
    return field.substr(0, kMaxLSystemFieldLength);
}

// The value of a keyword line: the text after "KEYWORD=", otherwise the second field.
std::optional<std::string_view> keywordValue(const BodyLine& line) {
    const std::string_view first = cutField(line.front());
    if (first.size() > kKeywordValueMark && first[kKeywordValueMark] == '=') {
        return first.substr(kKeywordValueMark + 1);
    }
    if (line.size() > 1) {
        return cutField(line[1]);
    }
    return std::nullopt;
}

void readAngle(const BodyLine& line, LSystemEntry& entry) {
    const auto value = keywordValue(line);
    if (!value) {
        return;
    }
    const std::optional<double> angle = scanDouble(*value);
    if (angle && std::isfinite(*angle)) {
        entry.angle = *angle;
    }
}

void readAxiom(const BodyLine& line, LSystemEntry& entry) {
    if (const auto value = keywordValue(line)) {
        entry.axiom = std::string(*value);
    }
}

void readRule(const BodyLine& line, LSystemEntry& entry) {
    const std::string_view field = cutField(line.front());
    entry.rules.push_back({field[0], std::string(field.substr(2))});
}

using LineReaderFn = void (*)(const BodyLine&, LSystemEntry&);

struct LineKind {
    bool (*matches)(std::string_view field);
    LineReaderFn read;
};

// Tried in order; the first that matches reads the line.
constexpr std::array<LineKind, 3> kLineKinds{{
    {[](std::string_view field) { return field.starts_with(kAngleKeyword); }, readAngle},
    {[](std::string_view field) { return field.starts_with(kAxiomKeyword); }, readAxiom},
    {[](std::string_view field) { return field.size() >= 2 && field[1] == '='; }, readRule},
}};

} // namespace

void parseLSystemBody(std::string_view body, LSystemEntry& entry) {
    for (const BodyLine& line : bodyLines(body)) {
        for (const LineKind& kind : kLineKinds) {
            if (kind.matches(line.front())) {
                kind.read(line, entry);
                break;
            }
        }
    }
    mergeLSystemRules(entry.rules);
}

void mergeLSystemRules(std::vector<LSystemRule>& rules) {
    std::vector<LSystemRule> merged;
    std::array<std::size_t, 256> firstOf{};
    firstOf.fill(SIZE_MAX);
    for (LSystemRule& rule : rules) {
        std::size_t& first = firstOf[static_cast<unsigned char>(rule.letter)];
        if (first == SIZE_MAX) {
            first = merged.size();
            merged.push_back(std::move(rule));
        } else {
            merged[first].replacement += rule.replacement;
        }
    }
    rules = std::move(merged);
}

} // namespace vortimax
