#include "model/value_rules.h"

#include "base/text_utils.h"
#include "model/fractal_record.h"
#include "model/type_registry.h"

#include <cmath>

namespace vortimax {

namespace {

enum class Rule {
    Positive, // finite and greater than 0
    Finite,
};

struct ValueRule {
    std::uint32_t type;
    std::string_view key; // a real row of the type's table
    Rule rule;
    std::string_view reason;
};

constexpr ValueRule kRules[] = {
    {kTypeDynamicSystem, "Delta", Rule::Positive,
     "Delta must be greater than 0: it is the distance each step of the system aims for"},
    {kTypeDynamicSystem, "Time", Rule::Finite, "Time must be a finite number"},
};

bool holds(Rule rule, double value) {
    switch (rule) {
    case Rule::Positive:
        return std::isfinite(value) && value > 0.0;
    case Rule::Finite:
        return std::isfinite(value);
    }
    return true;
}

} // namespace

std::optional<std::string> refusedValue(std::uint32_t type, std::string_view key, double value) {
    for (const ValueRule& rule : kRules)
        if (rule.type == type && equalsIgnoreCase(rule.key, key) && !holds(rule.rule, value))
            return std::string(rule.reason);
    return std::nullopt;
}

std::optional<std::string> refusedValueOf(const FractalRecord& record) {
    if (!record.hasParams())
        return std::nullopt;
    for (const ValueRule& rule : kRules)
        if (rule.type == record.type && !holds(rule.rule, record.params().real(rule.key)))
            return std::string(rule.reason);
    return std::nullopt;
}

} // namespace vortimax
