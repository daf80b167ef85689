#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vortimax::cli {

// A port number from 1 to 65535 (0 too when `allowAny`: the system picks one).
std::optional<std::uint16_t> parsePort(std::string_view text, bool allowAny);

} // namespace vortimax::cli
