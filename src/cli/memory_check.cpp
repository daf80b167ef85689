#include "cli/memory_check.h"

#include <fstream>
#include <sstream>
#include <string>

namespace vortimax::cli {

std::optional<std::size_t> availableMemoryBytes() {
    std::ifstream meminfo("/proc/meminfo");
    std::string line;
    while (std::getline(meminfo, line)) {
        std::istringstream fields(line);
        std::string key, unit;
        std::size_t kilobytes = 0;
        if (fields >> key >> kilobytes >> unit && key == "MemAvailable:" && unit == "kB")
            return kilobytes * 1024;
    }
    return std::nullopt;
}

std::size_t megabytes(std::size_t bytes) {
    constexpr std::size_t kMegabyte = 1000 * 1000;
    return (bytes + kMegabyte - 1) / kMegabyte;
}

} // namespace vortimax::cli
