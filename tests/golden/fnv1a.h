#pragma once

#include <cstdint>
#include <span>

namespace vortimax::golden {

// 64-bit FNV-1a, fed in pieces: enough to tell two pictures apart, and the same on every
// machine.
class Fnv1a {
public:
    void add(std::span<const std::uint8_t> bytes) {
        for (std::uint8_t byte : bytes) {
            hash_ ^= byte;
            hash_ *= 0x100000001b3ULL;
        }
    }
    // A number as four little-endian bytes, so that the hash does not depend on the host.
    void addUint32(std::uint32_t value) {
        const std::uint8_t bytes[] = {
            static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
        add(bytes);
    }
    std::uint64_t value() const { return hash_; }

private:
    std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

} // namespace vortimax::golden
