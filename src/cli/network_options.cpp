#include "cli/network_options.h"

#include <algorithm>
#include <charconv>

namespace vortimax::cli {

std::optional<std::uint16_t> parsePort(std::string_view text, bool allowAny) {
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    unsigned value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    if (value > 65535 || (value == 0 && !allowAny))
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

} // namespace vortimax::cli
