// The messages of the master/slave protocol as either side receives them: the first
// byte picks the side (even: the master reading a result connection, odd: a slave reading
// its task connection), the second how the rest arrives in pieces. The rest is the byte
// stream: a handshake's 420 bytes first, then messages. Whatever is accepted must
// encode back to what was read.

#include "model/fractal_record.h"
#include "network/machine_info.h"
#include "network/message_assembler.h"
#include "network/messages.h"

#include <cstdlib>
#include <cstring>

namespace {

using namespace vortimax;
using namespace vortimax::net;

void check(bool condition) {
    if (!condition)
        std::abort();
}

void handshake(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kTaskHandshakeSize)
        return;
    const Greeting greeting = decodeGreeting(bytes.first<kResultHandshakeSize>());
    const auto back = encodeGreeting(greeting);
    check(std::memcmp(back.data(), bytes.data(), back.size()) == 0);
    if (auto info = decodeMachineInfo(bytes.subspan<kResultHandshakeSize, kInfoBlockSize>()))
        check(decodeMachineInfo(encodeMachineInfo(*info)) == info);
}

void masterSide(const Message& message) {
    if (message.type != kResults)
        return;
    const DecodedResults decoded = decodeResults(message.payload);
    if (!decoded.message)
        return;
    const std::vector<std::uint8_t> again = encodeResults(*decoded.message);
    check(again.size() == kHeaderSize + message.payload.size());
    check(std::equal(message.payload.begin(), message.payload.end(), again.begin() + kHeaderSize));
}

void slaveSide(const Message& message) {
    if (message.type == kJobs) {
        if (auto rows = decodeJobs(message.payload)) {
            const std::vector<std::uint8_t> again = encodeJobs(*rows);
            check(std::equal(message.payload.begin(), message.payload.end(),
                             again.begin() + kHeaderSize));
        }
    } else if (message.type == kFractal) {
        const DecodedFractal decoded = decodeFractal(message.payload);
        if (!decoded.record)
            return;
        const std::vector<std::uint8_t> again = encodeFractal(*decoded.record);
        const DecodedFractal reread = decodeFractal(std::span(again).subspan(kHeaderSize));
        check(reread.record != nullptr);
        check(reread.record->type == decoded.record->type &&
              reread.record->subtype == decoded.record->subtype &&
              reread.record->width == decoded.record->width &&
              reread.record->paramBlock == decoded.record->paramBlock);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const bool master = data[0] % 2 == 0;
    const std::size_t piece = std::size_t{data[1]} + 1;
    std::span<const std::uint8_t> stream(data + 2, size - 2);
    handshake(stream);
    if (stream.size() >= kTaskHandshakeSize)
        stream = stream.subspan(kTaskHandshakeSize);
    MessageAssembler assembler = master ? MessageAssembler{kDisconnect, kResults}
                                        : MessageAssembler{kDisconnect, kJobs, kFractal};
    Message message;
    for (std::size_t at = 0; at < stream.size(); at += piece) {
        assembler.append(stream.subspan(at, std::min(piece, stream.size() - at)));
        MessageAssembler::Status status;
        while ((status = assembler.next(message)) == MessageAssembler::Status::Message) {
            check(message.payload.size() <= *payloadLimit(message.type));
            master ? masterSide(message) : slaveSide(message);
        }
        if (status == MessageAssembler::Status::Invalid)
            break;
    }
    return 0;
}
