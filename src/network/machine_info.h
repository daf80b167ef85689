#pragma once

#include "network/messages.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vortimax::net {

// What a slave tells the master about its machine in its first handshake: 352 bytes of
// 32-bit little-endian words and fixed text fields.
struct MachineInfo {
    std::array<std::uint8_t, 4> address{}; // most significant octet first
    std::string computerName;              // at most 63 characters
    std::string systemDirectory;           // at most 127
    std::string userName;                  // at most 63
    std::int32_t screenWidth = 0;          // 0 without a display
    std::int32_t screenHeight = 0;
    std::int32_t bitsPerPixel = 0;
    std::int32_t osMajor = 0;
    std::int32_t osMinor = 0;
    std::int32_t build = 0;    // low 16 bits
    std::int32_t platform = 3; // 0..2 name the original platforms; anything else "undefined"
    std::uint32_t pageSize = 0;
    std::uint32_t memoryLoad = 0; // percent of the memory in use
    // Bytes, saturated at 4294967295: the fields are 32 bits wide, so a machine with 4 GiB
    // or more shows the largest value rather than a wrapped-around small one.
    std::uint32_t totalPhysical = 0;
    std::uint32_t availablePhysical = 0;
    std::uint32_t totalVirtual = 0;
    std::uint32_t availableVirtual = 0;
    std::uint32_t processorMask = 0;
    std::uint32_t processorCount = 0;
    std::uint32_t benchmarkMs = 0;
    std::uint32_t processorType = 0; // 386, 486, 586 or anything else ("Unknown")
    std::uint32_t allocationGranularity = 0;
    std::uint32_t processorLevel = 0;
    std::uint32_t processorRevision = 0;

    bool operator==(const MachineInfo&) const = default;
};

using InfoBlock = std::array<std::uint8_t, kInfoBlockSize>;
InfoBlock encodeMachineInfo(const MachineInfo& info);
// Nothing when one of the text fields has no terminator.
std::optional<MachineInfo> decodeMachineInfo(std::span<const std::uint8_t, kInfoBlockSize> block);

// A count of bytes in a 32-bit field: the largest value when it does not fit.
std::uint32_t saturatedBytes(std::uint64_t bytes);

// Figures of /proc/meminfo, in bytes.
struct MemoryFigures {
    std::uint64_t total = 0;
    std::uint64_t available = 0;
    std::uint64_t swapTotal = 0;
    std::uint64_t swapFree = 0;
};
MemoryFigures parseMeminfo(std::string_view text);
// Fills the memory fields of the block from the figures.
void applyMemoryFigures(const MemoryFigures& memory, MachineInfo& info);

// "6.1.0-18-amd64" gives 6, 1 and 0: the leading numbers of a kernel release.
void applyKernelRelease(std::string_view release, MachineInfo& info);

// The block of this machine: host name, kernel, memory, processors, the benchmark; the
// screen as given (0 when headless).
MachineInfo describeThisMachine(std::array<std::uint8_t, 4> address, int screenWidth,
                                int screenHeight, int bitsPerPixel);

// Iterates z -> z^2 + c with c = 0.1 + 0.1i from z = 0 until |z|^2 >= 1000 or 100000
// iterations; the elapsed milliseconds.
std::uint32_t runBenchmark();

} // namespace vortimax::net
