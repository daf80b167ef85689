#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vortimax {

class FractalRecord;

// Values that a parameter's range lets in but that its type cannot calculate with: a
// dynamic system whose Delta is 0 or below would never let its time advance. Parameter
// windows and the command line refuse such values with the reason; a calculation that
// meets one (read from a parameter file) reports the reason instead of running.

// Why `value` cannot be the value of parameter `key` of the type, or nothing when it can.
std::optional<std::string> refusedValue(std::uint32_t type, std::string_view key, double value);

// The reason for the first refused value among the record's parameters, if any.
std::optional<std::string> refusedValueOf(const FractalRecord& record);

} // namespace vortimax
