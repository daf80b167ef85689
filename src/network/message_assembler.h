#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

namespace vortimax::net {

// One message taken off a connection: its type and payload.
struct Message {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> payload;
};

// Cuts the bytes of one connection into messages as they arrive, in any pieces. Only
// the types it was made for are accepted, and no payload larger than its type allows is
// ever buffered: a header that breaks either rule makes the connection invalid at once.
class MessageAssembler {
public:
    explicit MessageAssembler(std::initializer_list<std::uint32_t> acceptedTypes);

    enum class Status { NeedMore, Message, Invalid };

    void append(std::span<const std::uint8_t> bytes);
    // The next complete message, when there is one. Once Invalid, always Invalid.
    Status next(Message& message);
    // Why the connection is invalid.
    const std::string& problem() const { return problem_; }

private:
    bool accepts(std::uint32_t type) const;

    std::vector<std::uint32_t> accepted_;
    std::vector<std::uint8_t> buffer_;
    std::size_t start_ = 0; // first byte of buffer_ not taken yet
    std::string problem_;
};

} // namespace vortimax::net
