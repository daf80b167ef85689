#pragma once

#include <cstddef>
#include <optional>

namespace vortimax::cli {

// The memory the machine can give a new process without swapping (MemAvailable of
// /proc/meminfo); nothing when the system does not say.
std::optional<std::size_t> availableMemoryBytes();

// Bytes as whole megabytes (MB of 10^6 bytes), rounded up.
std::size_t megabytes(std::size_t bytes);

} // namespace vortimax::cli
