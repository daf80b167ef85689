#include "network/message_assembler.h"
#include "network/messages.h"

#include <gtest/gtest.h>

namespace vortimax::net {
namespace {

using Status = MessageAssembler::Status;

std::vector<std::uint8_t> jobsMessage(std::vector<int> rows) {
    return encodeJobs(rows);
}

TEST(MessageAssembler, MessagesArriveWhateverTheirPieces) {
    std::vector<std::uint8_t> stream = jobsMessage({1, 2, 3});
    const HeaderBytes bye = encodeHeader(kDisconnect, 0);
    stream.insert(stream.end(), bye.begin(), bye.end());
    const std::vector<std::uint8_t> more = jobsMessage({42});
    stream.insert(stream.end(), more.begin(), more.end());

    MessageAssembler assembler{kJobs, kDisconnect};
    std::vector<Message> taken;
    Message message;
    for (std::uint8_t byte : stream) { // one byte at a time
        assembler.append(std::span(&byte, 1));
        while (assembler.next(message) == Status::Message)
            taken.push_back(message);
    }
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[0].type, kJobs);
    EXPECT_EQ(decodeJobs(taken[0].payload), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(taken[1].type, kDisconnect);
    EXPECT_TRUE(taken[1].payload.empty());
    EXPECT_EQ(decodeJobs(taken[2].payload), (std::vector<int>{42}));
    EXPECT_EQ(assembler.next(message), Status::NeedMore);

    MessageAssembler whole{kJobs, kDisconnect};
    whole.append(stream);
    int count = 0;
    while (whole.next(message) == Status::Message)
        ++count;
    EXPECT_EQ(count, 3);
}

TEST(MessageAssembler, TypesNotExpectedOnTheConnectionMakeItInvalid) {
    MessageAssembler assembler{kDisconnect, kResults};
    assembler.append(jobsMessage({1}));
    Message message;
    EXPECT_EQ(assembler.next(message), Status::Invalid);
    EXPECT_NE(assembler.problem().find("type 3"), std::string::npos);
    // Nothing that follows makes it valid again.
    const HeaderBytes bye = encodeHeader(kDisconnect, 0);
    assembler.append(bye);
    EXPECT_EQ(assembler.next(message), Status::Invalid);

    MessageAssembler unknown{kDisconnect, kResults, 9};
    unknown.append(encodeHeader(9, 0));
    EXPECT_EQ(unknown.next(message), Status::Invalid);
}

TEST(MessageAssembler, OversizedPayloadIsRefusedBeforeItArrives) {
    MessageAssembler assembler{kResults, kDisconnect};
    // The header alone decides: nothing of the claimed 100 MB is waited for.
    assembler.append(encodeHeader(kResults, 100'000'000));
    Message message;
    EXPECT_EQ(assembler.next(message), Status::Invalid);

    MessageAssembler goodbye{kDisconnect};
    goodbye.append(encodeHeader(kDisconnect, 4));
    EXPECT_EQ(goodbye.next(message), Status::Invalid);

    MessageAssembler largest{kResults};
    largest.append(encodeHeader(kResults, static_cast<std::uint32_t>(*payloadLimit(kResults))));
    EXPECT_EQ(largest.next(message), Status::NeedMore);
}

} // namespace
} // namespace vortimax::net
