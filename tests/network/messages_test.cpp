#include "model/fractal_record.h"
#include "model/param_block.h"
#include "model/type_registry.h"
#include "network/messages.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

namespace vortimax::net {
namespace {

std::span<const std::uint8_t> payloadOf(const std::vector<std::uint8_t>& message) {
    return std::span(message).subspan(kHeaderSize);
}

TEST(NetworkMessages, HeaderIsSizeThenTypeLittleEndian) {
    const HeaderBytes bytes = encodeHeader(kResults, 0x01020304);
    EXPECT_EQ(bytes, (HeaderBytes{4, 3, 2, 1, 6, 0, 0, 0}));
    const Header header = decodeHeader(bytes);
    EXPECT_EQ(header.size, 0x01020304u);
    EXPECT_EQ(header.type, kResults);
}

TEST(NetworkMessages, JobsCarryCountAndRowsAndRefuseInconsistentCounts) {
    const std::vector<int> rows{7, 0, 4095};
    const std::vector<std::uint8_t> message = encodeJobs(rows);
    ASSERT_EQ(message.size(), kHeaderSize + 4 + 4 * rows.size());
    EXPECT_EQ(
        decodeHeader(std::span<const std::uint8_t, kHeaderSize>(message.data(), kHeaderSize)).size,
        16u);
    EXPECT_EQ(decodeJobs(payloadOf(message)), rows);

    std::vector<std::uint8_t> payload(payloadOf(message).begin(), payloadOf(message).end());
    storeInt(payload.data(), 4); // says four rows, holds three
    EXPECT_FALSE(decodeJobs(payload));
    storeInt(payload.data(), 3);
    storeInt(payload.data() + 8, -1);
    EXPECT_FALSE(decodeJobs(payload));
    std::vector<std::uint8_t> many(4 + 4 * (kMostJobsPerMessage + 1), 0);
    storeInt(many.data(), static_cast<std::int32_t>(kMostJobsPerMessage + 1));
    EXPECT_FALSE(decodeJobs(many));
    EXPECT_FALSE(decodeJobs(std::vector<std::uint8_t>{1, 0}));
}

TEST(NetworkMessages, FractalBlockRoundTripsIntoARecordOfItsType) {
    auto record = createRecord(kTypeJulia, 5, RecordCreationContext{});
    record->width = 123;
    record->height = 45;
    record->name = "Net test";
    record->paramBlock[17] = 0x5a;
    const std::vector<std::uint8_t> message = encodeFractal(*record);
    ASSERT_EQ(message.size(), kHeaderSize + kRecordWireSize);
    const DecodedFractal decoded = decodeFractal(payloadOf(message));
    ASSERT_TRUE(decoded.record) << decoded.problem;
    EXPECT_EQ(decoded.record->type, kTypeJulia);
    EXPECT_EQ(decoded.record->subtype, 5u);
    EXPECT_EQ(decoded.record->width, 123);
    EXPECT_EQ(decoded.record->height, 45);
    EXPECT_EQ(decoded.record->name, "Net test");
    EXPECT_EQ(decoded.record->paramBlock, record->paramBlock);
}

TEST(NetworkMessages, FractalBlocksOutsideTheNetworkTypesOrSizesAreRefused) {
    auto record = createRecord(kTypeMandel, 0, RecordCreationContext{});
    record->width = 64;
    record->height = 48;
    const std::vector<std::uint8_t> message = encodeFractal(*record);
    const std::vector<std::uint8_t> good(payloadOf(message).begin(), payloadOf(message).end());
    const auto refused = [](std::vector<std::uint8_t> block) {
        return decodeFractal(block).record == nullptr;
    };
    EXPECT_FALSE(refused(good));
    auto changed = [&](std::size_t offset, std::int32_t value) {
        std::vector<std::uint8_t> block = good;
        storeInt(block.data() + offset, value);
        return block;
    };
    EXPECT_TRUE(refused(changed(wire::kType, kTypeLyapunov)));
    EXPECT_TRUE(refused(changed(wire::kType, 99)));
    EXPECT_TRUE(refused(changed(wire::kSubtype, 25)));
    EXPECT_TRUE(refused(changed(wire::kWidth, 0)));
    EXPECT_TRUE(refused(changed(wire::kHeight, kMaxImageSide + 1)));
    EXPECT_TRUE(refused(changed(wire::kWidth, -5)));
    std::vector<std::uint8_t> unterminated = good;
    for (std::size_t i = 0; i < wire::kNameSize; ++i)
        unterminated.at(wire::kName + i) = 'A';
    EXPECT_TRUE(refused(unterminated));
    EXPECT_TRUE(refused(std::vector<std::uint8_t>(good.begin(), good.end() - 1)));
}

ResultMessage twoRows() {
    ResultMessage result;
    result.generation = 7;
    result.width = 3;
    result.request = 10;
    result.rows = {4, 9};
    result.values = {1.5f, -2.0f, 3.25f, 0.001f, -1.0f, 100.0f};
    return result;
}

TEST(NetworkMessages, ResultsRoundTripWithTheSizeOfTheirRows) {
    const ResultMessage result = twoRows();
    const std::vector<std::uint8_t> message = encodeResults(result);
    EXPECT_EQ(message.size(), kHeaderSize + 16 + 4 * 2 * (3 + 1));
    const DecodedResults decoded = decodeResults(payloadOf(message));
    ASSERT_TRUE(decoded.message) << decoded.problem;
    EXPECT_EQ(decoded.message->generation, 7u);
    EXPECT_EQ(decoded.message->width, 3u);
    EXPECT_EQ(decoded.message->request, 10u);
    EXPECT_EQ(decoded.message->rows, result.rows);
    EXPECT_EQ(decoded.message->values, result.values);
}

TEST(NetworkMessages, ResultsThatCannotBeCalculatedValuesAreRefused) {
    const std::vector<std::uint8_t> message = encodeResults(twoRows());
    const std::vector<std::uint8_t> good(payloadOf(message).begin(), payloadOf(message).end());
    const auto refused = [](const std::vector<std::uint8_t>& payload) {
        return !decodeResults(payload).message;
    };
    auto changed = [&](std::size_t offset, std::int32_t value) {
        std::vector<std::uint8_t> payload = good;
        storeInt(payload.data() + offset, value);
        return payload;
    };
    EXPECT_TRUE(refused(changed(8, 3)));   // three rows said, two there
    EXPECT_TRUE(refused(changed(8, 0)));   // no rows
    EXPECT_TRUE(refused(changed(4, 4)));   // width disagrees with the size
    EXPECT_TRUE(refused(changed(16, -1))); // negative row
    const auto withValue = [&](float value) {
        std::vector<std::uint8_t> payload = good;
        std::int32_t bits;
        std::memcpy(&bits, &value, 4);
        storeInt(payload.data() + 20, bits);
        return payload;
    };
    EXPECT_TRUE(refused(withValue(0.0f)));
    EXPECT_TRUE(refused(withValue(std::numeric_limits<float>::quiet_NaN())));
    EXPECT_TRUE(refused(withValue(std::numeric_limits<float>::infinity())));
    EXPECT_FALSE(refused(withValue(-7.5f)));
    EXPECT_TRUE(refused(std::vector<std::uint8_t>(12, 0)));
    // Six rows never travel in one message.
    std::vector<std::uint8_t> six(16 + 4 * 6 * 2, 0);
    storeInt(six.data() + 4, 1);
    storeInt(six.data() + 8, 6);
    EXPECT_TRUE(refused(six));
}

TEST(NetworkMessages, FiveRowsFitTheResultBufferUpTo7497PixelsWide) {
    // Values per row are the width and the spare column.
    EXPECT_EQ(rowsPerResult(7497 + 1), 5);
    EXPECT_EQ(rowsPerResult(7498 + 1), 4);
    EXPECT_EQ(rowsPerResult(321), 5);
    // A row wider than the buffer still travels, alone.
    EXPECT_EQ(rowsPerResult(kMostRowValues), 1);
    for (std::uint32_t width : {100u, 7498u, 12000u, 30000u, 37495u})
        EXPECT_LE(16 + 4 * rowsPerResult(width) * (width + 1), kResultBufferSize) << width;
}

TEST(NetworkMessages, PayloadLimitsFollowTheTypes) {
    EXPECT_EQ(payloadLimit(kDisconnect), 0u);
    EXPECT_EQ(payloadLimit(kFractal), kRecordWireSize);
    EXPECT_EQ(payloadLimit(kJobs), 4 + 4 * kMostJobsPerMessage);
    EXPECT_EQ(payloadLimit(kResults), 16 + 4 * 5 * (kMostRowValues + 1));
    EXPECT_FALSE(payloadLimit(2));
    EXPECT_FALSE(payloadLimit(5));
}

TEST(NetworkMessages, PeerNamesEndAtTheirTerminatorAndStillTellSlavesApart) {
    const PeerName first = makePeerName("127.0.0.1", 1);
    const PeerName second = makePeerName("127.0.0.1", 2);
    EXPECT_EQ(peerNameText(first), "127.0.0.1");
    EXPECT_EQ(peerNameText(second), "127.0.0.1");
    EXPECT_NE(first, second);
    PeerName unterminated;
    unterminated.fill('x');
    EXPECT_FALSE(peerNameText(unterminated));

    const Greeting greeting{kTaskConnection, first};
    const auto bytes = encodeGreeting(greeting);
    EXPECT_EQ(bytes.size(), 68u);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[4], '1');
    const Greeting back = decodeGreeting(bytes);
    EXPECT_EQ(back.kind, kTaskConnection);
    EXPECT_EQ(back.name, first);
    EXPECT_EQ(kTaskHandshakeSize, 420u);
}

} // namespace
} // namespace vortimax::net
