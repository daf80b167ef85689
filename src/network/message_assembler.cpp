#include "network/message_assembler.h"

#include "network/messages.h"

#include <algorithm>

namespace vortimax::net {

MessageAssembler::MessageAssembler(std::initializer_list<std::uint32_t> acceptedTypes)
    : accepted_(acceptedTypes) {}

bool MessageAssembler::accepts(std::uint32_t type) const {
    return std::find(accepted_.begin(), accepted_.end(), type) != accepted_.end();
}

void MessageAssembler::append(std::span<const std::uint8_t> bytes) {
    if (!problem_.empty())
        return;
    // Drop what was taken before the buffer grows again.
    if (start_ > 0) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start_));
        start_ = 0;
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

MessageAssembler::Status MessageAssembler::next(Message& message) {
    if (!problem_.empty())
        return Status::Invalid;
    const std::size_t waiting = buffer_.size() - start_;
    if (waiting < kHeaderSize)
        return Status::NeedMore;
    const Header header = decodeHeader(
        std::span<const std::uint8_t, kHeaderSize>(buffer_.data() + start_, kHeaderSize));
    const auto limit = payloadLimit(header.type);
    if (!accepts(header.type) || !limit) {
        problem_ = "a message of type " + std::to_string(header.type) + " is not expected here";
        return Status::Invalid;
    }
    if (header.size > *limit) {
        problem_ = "a message of type " + std::to_string(header.type) + " with " +
                   std::to_string(header.size) + " bytes, more than its " + std::to_string(*limit);
        return Status::Invalid;
    }
    if (waiting - kHeaderSize < header.size)
        return Status::NeedMore;
    const auto first = buffer_.begin() + static_cast<std::ptrdiff_t>(start_ + kHeaderSize);
    message.type = header.type;
    message.payload.assign(first, first + header.size);
    start_ += kHeaderSize + header.size;
    return Status::Message;
}

} // namespace vortimax::net
