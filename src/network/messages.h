#pragma once

#include "model/image_buffers.h"
#include "model/record_wire.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vortimax {
class FractalRecord;
}

namespace vortimax::net {

// The port a master listens on and slaves connect to.
constexpr std::uint16_t kMasterPort = 13242;

// Every message after the handshakes: payload size (header not included), then type.
constexpr std::size_t kHeaderSize = 8;

enum MessageType : std::uint32_t {
    kDisconnect = 1, // either way, empty; answered with the same header
    kJobs = 3,       // master to slave: row numbers to calculate
    kFractal = 4,    // master to slave: the fractal block
    kResults = 6,    // slave to master: calculated rows
};

struct Header {
    std::uint32_t size = 0;
    std::uint32_t type = 0;
};

using HeaderBytes = std::array<std::uint8_t, kHeaderSize>;
HeaderBytes encodeHeader(std::uint32_t type, std::uint32_t size);
Header decodeHeader(std::span<const std::uint8_t, kHeaderSize> bytes);

// The rows a result message carries at most, and the slave's buffer for one message:
// five rows fit only up to 7497 values per row. A row too wide for the buffer travels
// alone in a message of its own size; the master bounds every message by the width of
// its fractal instead.
constexpr int kMostRowsPerResult = 5;
constexpr std::size_t kResultBufferSize = 150000;
// The most rows one job message may name: a slave never asks for more than 30 at once.
constexpr std::uint32_t kMostJobsPerMessage = 64;
// Values per row: the image width and the spare column.
constexpr std::uint32_t kMostRowValues = static_cast<std::uint32_t>(kMaxImageSide) + 1;

// The largest payload a message of the type may have, or nothing for a type this
// protocol does not know.
std::optional<std::size_t> payloadLimit(std::uint32_t type);

// --- Type 3: jobs ------------------------------------------------------------------------
std::vector<std::uint8_t> encodeJobs(std::span<const int> rows);
// Row numbers of a job payload; nothing when the count and the size disagree, the count is
// above kMostJobsPerMessage or a row number is negative.
std::optional<std::vector<int>> decodeJobs(std::span<const std::uint8_t> payload);

// --- Type 4: the fractal -------------------------------------------------------------------
std::vector<std::uint8_t> encodeFractal(const FractalRecord& record);
// The record a fractal payload describes, made for its type and subtype and then filled
// from the block. Refused (with the reason) when the payload is not one block, the type
// is not one calculated over the network, the subtype is not one of the type's, the size
// is outside 1 ... kMaxImageSide or a text field has no terminator.
struct DecodedFractal {
    std::unique_ptr<FractalRecord> record;
    std::string problem; // empty when the record is there
};
DecodedFractal decodeFractal(std::span<const std::uint8_t> payload);

// Whether the type's rows are calculated by slaves: Julia, Mandel, their true-colour forms
// and Formula.
bool isNetworkType(std::uint32_t type);

// --- Type 6: results -----------------------------------------------------------------------
struct ResultMessage {
    std::uint32_t generation = 0;
    std::uint32_t width = 0;   // values per row
    std::uint32_t request = 0; // rows the slave asks for
    std::vector<int> rows;
    std::vector<float> values; // rows.size() x width
};
std::vector<std::uint8_t> encodeResults(const ResultMessage& message);
// Refused (with the reason) unless 1 to 5 rows of 1 to kMostRowValues values exactly fill
// the payload and every value is a finite, non-zero number (zero marks a pixel not yet
// calculated).
struct DecodedResults {
    std::optional<ResultMessage> message;
    std::string problem;
};
DecodedResults decodeResults(std::span<const std::uint8_t> payload);

// How many rows of `width` values one result message takes: up to five while they fit
// the slave's buffer, and always at least one.
int rowsPerResult(std::uint32_t width);

// --- Handshakes ------------------------------------------------------------------------------
constexpr std::size_t kPeerNameSize = 64;
constexpr std::size_t kInfoBlockSize = 352;
constexpr std::size_t kResultHandshakeSize = 4 + kPeerNameSize;                   // 68
constexpr std::size_t kTaskHandshakeSize = kResultHandshakeSize + kInfoBlockSize; // 420
using PeerName = std::array<std::uint8_t, kPeerNameSize>;

// The kind word: the first connection of a slave (its task socket) says 1, the second
// (its result socket) 0.
enum HandshakeKind : std::uint32_t { kResultConnection = 0, kTaskConnection = 1 };

// A slave's name: its address as "a.b.c.d" ended by a zero byte. The bytes after the
// terminator are not read as text; this program puts a number there that tells two slaves
// of one machine apart, so the master pairs each one's two connections exactly.
PeerName makePeerName(std::string_view address, std::uint64_t token);
// The text of a name up to its terminator; nothing when it has none.
std::optional<std::string> peerNameText(const PeerName& name);

// The first 68 bytes of either handshake: kind and name.
struct Greeting {
    std::uint32_t kind = 0;
    PeerName name{};
};
std::array<std::uint8_t, kResultHandshakeSize> encodeGreeting(const Greeting& greeting);
Greeting decodeGreeting(std::span<const std::uint8_t, kResultHandshakeSize> bytes);

} // namespace vortimax::net
