#include "network/messages.h"

#include "model/fractal_record.h"
#include "model/param_block.h"
#include "model/type_registry.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vortimax::net {

namespace {

std::uint32_t loadWord(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(loadInt(bytes));
}

void storeWord(std::uint8_t* bytes, std::uint32_t value) {
    storeInt(bytes, static_cast<std::int32_t>(value));
}

void appendWord(std::vector<std::uint8_t>& out, std::uint32_t value) {
    std::uint8_t bytes[4];
    storeWord(bytes, value);
    out.insert(out.end(), bytes, bytes + 4);
}

std::vector<std::uint8_t> withHeader(std::uint32_t type, std::size_t payloadSize) {
    std::vector<std::uint8_t> message;
    message.reserve(kHeaderSize + payloadSize);
    const HeaderBytes header = encodeHeader(type, static_cast<std::uint32_t>(payloadSize));
    message.insert(message.end(), header.begin(), header.end());
    return message;
}

// Largest payload of each type.
struct PayloadLimit {
    std::uint32_t type;
    std::size_t most;
};
constexpr PayloadLimit kPayloadLimits[] = {
    {kDisconnect, 0},
    {kJobs, 4 + 4 * std::size_t{kMostJobsPerMessage}},
    {kFractal, kRecordWireSize},
    {kResults, 16 + 4 * std::size_t{kMostRowsPerResult} * (std::size_t{kMostRowValues} + 1)},
};

// The text fields of the fractal block a slave reads, with their sizes.
struct TextSpan {
    std::size_t offset;
    std::size_t size;
};
constexpr TextSpan kBlockTexts[] = {
    {wire::kName, wire::kNameSize},
    {wire::kPalName, 64},
    {wire::kSecondName, 64},
    {wire::kPalNameAnim, wire::kPalNameAnimSize},
};

bool terminated(const std::uint8_t* field, std::size_t size) {
    return std::find(field, field + size, std::uint8_t{0}) != field + size;
}

std::string checkFractalBlock(std::span<const std::uint8_t> payload) {
    if (payload.size() != kRecordWireSize)
        return "the fractal block has " + std::to_string(payload.size()) + " bytes, not " +
               std::to_string(kRecordWireSize);
    const std::uint32_t type = loadWord(payload.data() + wire::kType);
    const std::uint32_t subtype = loadWord(payload.data() + wire::kSubtype);
    if (!isNetworkType(type))
        return "fractal type " + std::to_string(type) + " is not calculated over the network";
    if (subtype > highestSubtype(type))
        return "subtype " + std::to_string(subtype) + " is not one of type " + std::to_string(type);
    const std::int32_t width = loadInt(payload.data() + wire::kWidth);
    const std::int32_t height = loadInt(payload.data() + wire::kHeight);
    if (width < 1 || width > kMaxImageSide || height < 1 || height > kMaxImageSide)
        return "image size " + std::to_string(width) + "x" + std::to_string(height) +
               " is not allowed";
    for (const TextSpan& text : kBlockTexts)
        if (!terminated(payload.data() + text.offset, text.size))
            return "a text field of the fractal block has no terminator";
    return {};
}

} // namespace

HeaderBytes encodeHeader(std::uint32_t type, std::uint32_t size) {
    HeaderBytes bytes{};
    storeWord(bytes.data(), size);
    storeWord(bytes.data() + 4, type);
    return bytes;
}

Header decodeHeader(std::span<const std::uint8_t, kHeaderSize> bytes) {
    return Header{loadWord(bytes.data()), loadWord(bytes.data() + 4)};
}

std::optional<std::size_t> payloadLimit(std::uint32_t type) {
    for (const PayloadLimit& limit : kPayloadLimits)
        if (limit.type == type)
            return limit.most;
    return std::nullopt;
}

bool isNetworkType(std::uint32_t type) {
    return type <= kTypeFormula;
}

std::vector<std::uint8_t> encodeJobs(std::span<const int> rows) {
    std::vector<std::uint8_t> message = withHeader(kJobs, 4 + 4 * rows.size());
    appendWord(message, static_cast<std::uint32_t>(rows.size()));
    for (int row : rows)
        appendWord(message, static_cast<std::uint32_t>(row));
    return message;
}

std::optional<std::vector<int>> decodeJobs(std::span<const std::uint8_t> payload) {
    if (payload.size() < 4)
        return std::nullopt;
    const std::uint32_t count = loadWord(payload.data());
    if (count > kMostJobsPerMessage || payload.size() != 4 + 4 * std::size_t{count})
        return std::nullopt;
    std::vector<int> rows(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::int32_t row = loadInt(payload.data() + 4 + 4 * i);
        if (row < 0)
            return std::nullopt;
        rows[i] = row;
    }
    return rows;
}

std::vector<std::uint8_t> encodeFractal(const FractalRecord& record) {
    const RecordWireBlock block = toWireBlock(record);
    std::vector<std::uint8_t> message = withHeader(kFractal, block.size());
    message.insert(message.end(), block.begin(), block.end());
    return message;
}

DecodedFractal decodeFractal(std::span<const std::uint8_t> payload) {
    DecodedFractal decoded;
    decoded.problem = checkFractalBlock(payload);
    if (!decoded.problem.empty())
        return decoded;
    const std::uint32_t type = loadWord(payload.data() + wire::kType);
    const std::uint32_t subtype = loadWord(payload.data() + wire::kSubtype);
    decoded.record = createRecord(type, subtype, RecordCreationContext{});
    fromWireBlock(payload, *decoded.record);
    return decoded;
}

std::vector<std::uint8_t> encodeResults(const ResultMessage& result) {
    const std::size_t count = result.rows.size();
    std::vector<std::uint8_t> message =
        withHeader(kResults, 16 + 4 * count * (std::size_t{result.width} + 1));
    appendWord(message, result.generation);
    appendWord(message, result.width);
    appendWord(message, static_cast<std::uint32_t>(count));
    appendWord(message, result.request);
    for (std::size_t i = 0; i < count; ++i) {
        appendWord(message, static_cast<std::uint32_t>(result.rows[i]));
        for (std::uint32_t x = 0; x < result.width; ++x) {
            std::uint32_t bits;
            std::memcpy(&bits, &result.values[i * result.width + x], 4);
            appendWord(message, bits);
        }
    }
    return message;
}

DecodedResults decodeResults(std::span<const std::uint8_t> payload) {
    DecodedResults decoded;
    if (payload.size() < 16) {
        decoded.problem = "a result message shorter than its fixed part";
        return decoded;
    }
    ResultMessage result;
    result.generation = loadWord(payload.data());
    result.width = loadWord(payload.data() + 4);
    const std::uint32_t count = loadWord(payload.data() + 8);
    result.request = loadWord(payload.data() + 12);
    if (count < 1 || count > kMostRowsPerResult) {
        decoded.problem = std::to_string(count) + " rows in a result message";
        return decoded;
    }
    if (result.width < 1 || result.width > kMostRowValues ||
        payload.size() != 16 + 4 * std::size_t{count} * (std::size_t{result.width} + 1)) {
        decoded.problem = "a result message whose size does not match its rows";
        return decoded;
    }
    result.rows.resize(count);
    result.values.resize(std::size_t{count} * result.width);
    const std::uint8_t* at = payload.data() + 16;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::int32_t row = loadInt(at);
        at += 4;
        if (row < 0) {
            decoded.problem = "a negative row number";
            return decoded;
        }
        result.rows[i] = row;
        for (std::uint32_t x = 0; x < result.width; ++x, at += 4) {
            const std::uint32_t bits = loadWord(at);
            float value;
            std::memcpy(&value, &bits, 4);
            if (!std::isfinite(value) || value == 0.0f) {
                decoded.problem = "a result value that is not a calculated value";
                return decoded;
            }
            result.values[std::size_t{i} * result.width + x] = value;
        }
    }
    decoded.message = std::move(result);
    return decoded;
}

int rowsPerResult(std::uint32_t width) {
    const std::size_t perRow = 4 * (std::size_t{width} + 1);
    const std::size_t fit = (kResultBufferSize - 16) / perRow;
    return static_cast<int>(std::clamp<std::size_t>(fit, 1, kMostRowsPerResult));
}

PeerName makePeerName(std::string_view address, std::uint64_t token) {
    PeerName name{};
    const std::size_t length = std::min(address.size(), kPeerNameSize - 9);
    std::copy_n(address.begin(), length, name.begin());
    // name[length] stays the terminator; the token follows it.
    for (int i = 0; i < 8; ++i)
        name[length + 1 + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(token >> (8 * i));
    return name;
}

std::optional<std::string> peerNameText(const PeerName& name) {
    const auto end = std::find(name.begin(), name.end(), std::uint8_t{0});
    if (end == name.end())
        return std::nullopt;
    return std::string(name.begin(), end);
}

std::array<std::uint8_t, kResultHandshakeSize> encodeGreeting(const Greeting& greeting) {
    std::array<std::uint8_t, kResultHandshakeSize> bytes{};
    storeWord(bytes.data(), greeting.kind);
    std::copy(greeting.name.begin(), greeting.name.end(), bytes.begin() + 4);
    return bytes;
}

Greeting decodeGreeting(std::span<const std::uint8_t, kResultHandshakeSize> bytes) {
    Greeting greeting;
    greeting.kind = loadWord(bytes.data());
    std::copy_n(bytes.begin() + 4, kPeerNameSize, greeting.name.begin());
    return greeting;
}

} // namespace vortimax::net
