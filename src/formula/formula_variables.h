#pragma once

// The user variables of the formula being compiled: names mapped to numbers 1, 2, 3, ... in
// order of first appearance (0 is never used). All statements of one formula share one list;
// IFS elements and merge formulas use a fresh list per expression.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vortimax {

// Longest identifier: a variable name is held in 80 characters with the terminator.
inline constexpr std::size_t kMaxIdentifierLength = 79;

class VariableList {
public:
    // The number of `name`, adding it when new.
    std::uint32_t numberOf(std::string_view name);
    // The number of `name`, 0 when it is not in the list.
    std::uint32_t find(std::string_view name) const;
    // The name of variable `number` (1 ... size()); empty for other numbers.
    std::string_view nameOf(std::uint32_t number) const;

    // Makes the reserved operand word `name` a user variable of this formula (a formula
    // that assigns to `pixel` or `bailout` has its own variable of that name, started from
    // the predefined value); returns its number.
    std::uint32_t shadow(std::string_view name);
    // Whether `name` was made a user variable by shadow().
    bool shadows(std::string_view name) const;

    std::size_t size() const { return names_.size(); }
    void clear();

private:
    std::vector<std::string> shadowed_;
    std::vector<std::string> names_;
    std::unordered_map<std::string, std::uint32_t> numbers_;
};

} // namespace vortimax
