// A slave facing a master written by hand.

#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "network/row_calculator.h"
#include "network/slave.h"
#include "network_peers.h"
#include "support/view_test_support.h"

#include <gtest/gtest.h>
#include <map>
#include <numeric>
#include <thread>

namespace vortimax::net {
namespace {

using testing::LogLines;
using testing::readMessage;

// Listens on a free loopback port and takes a slave's two connections.
struct FakeMaster {
    Socket listener;
    Socket task;
    Socket result;
    std::optional<MachineInfo> info;
    std::string name;

    FakeMaster() {
        std::string step;
        int error = 0;
        listener = Socket::listenOn(0, "127.0.0.1", 5, step, error);
        EXPECT_TRUE(listener.valid()) << step << ' ' << error;
    }
    std::uint16_t port() const { return listener.localPort(); }

    Socket acceptOne() {
        Address peer{};
        bool failed = false;
        for (int i = 0; i < 200; ++i)
            if (Socket socket = listener.accept(100, peer, failed); socket.valid())
                return socket;
        ADD_FAILURE() << "no connection";
        return {};
    }
    // Takes both handshakes.
    void acceptSlave() {
        task = acceptOne();
        std::array<std::uint8_t, kTaskHandshakeSize> first{};
        ASSERT_EQ(task.receiveExactly(first, testing::kNeverStop, 20000), Socket::Receive::Done);
        const Greeting greeting =
            decodeGreeting(std::span<const std::uint8_t, kResultHandshakeSize>(first.data(), 68));
        EXPECT_EQ(greeting.kind, kTaskConnection);
        name = peerNameText(greeting.name).value_or("");
        info = decodeMachineInfo(
            std::span<const std::uint8_t, kInfoBlockSize>(first.data() + 68, kInfoBlockSize));
        result = acceptOne();
        std::array<std::uint8_t, kResultHandshakeSize> second{};
        ASSERT_EQ(result.receiveExactly(second, testing::kNeverStop, 20000), Socket::Receive::Done);
        const Greeting again = decodeGreeting(second);
        EXPECT_EQ(again.kind, kResultConnection);
        EXPECT_EQ(again.name, greeting.name); // token and all
    }
    void sendFractal(std::uint32_t type, int width, int height, std::uint32_t generation) {
        auto record = createRecord(type, 0, RecordCreationContext{});
        record->width = width;
        record->height = height;
        record->networkGeneration = generation;
        ASSERT_TRUE(task.sendAll(encodeFractal(*record)));
    }
    void sendJobs(int first, int count) {
        std::vector<int> rows(static_cast<std::size_t>(count));
        std::iota(rows.begin(), rows.end(), first);
        ASSERT_TRUE(task.sendAll(encodeJobs(rows)));
    }
};

struct TestSlave {
    LogLines log;
    Slave slave{[](const FractalRecord& record) { return makeRowCalculator(record, {}); },
                log.sink()};
};

TEST(SlaveProtocol, HandshakeDescribesTheSlaveAndItsHeadlessScreen) {
    FakeMaster master;
    TestSlave slave;
    std::thread accepting([&] { master.acceptSlave(); });
    ASSERT_TRUE(slave.slave.connect("127.0.0.1", master.port()));
    accepting.join();
    EXPECT_EQ(master.name, "127.0.0.1");
    ASSERT_TRUE(master.info);
    EXPECT_EQ(master.info->screenWidth, 0);
    EXPECT_EQ(master.info->address, (Address{127, 0, 0, 1}));
    EXPECT_TRUE(
        slave.log.has("Searching for master at 127.0.0.1:" + std::to_string(master.port())));
    EXPECT_TRUE(slave.log.has("Slave sockets successfully connected"));
}

TEST(SlaveProtocol, ResultMessagesNeverMixFractals) {
    FakeMaster master;
    TestSlave slave;
    std::thread accepting([&] { master.acceptSlave(); });
    ASSERT_TRUE(slave.slave.connect("127.0.0.1", master.port()));
    accepting.join();
    // A fractal, its rows, and at once another one of a different width.
    master.sendFractal(kTypeMandel, 40, 30, 1);
    master.sendJobs(0, 20);
    master.sendFractal(kTypeMandel, 60, 30, 2);
    master.sendJobs(5, 12);
    std::map<int, int> newRows;
    int requested = 0;
    while (newRows.size() < 12) {
        auto message = readMessage(master.result);
        ASSERT_TRUE(message);
        ASSERT_EQ(message->type, kResults);
        const DecodedResults decoded = decodeResults(message->payload);
        ASSERT_TRUE(decoded.message) << decoded.problem;
        const ResultMessage& result = *decoded.message;
        ASSERT_TRUE(result.generation == 1 || result.generation == 2);
        EXPECT_EQ(result.width, result.generation == 1 ? 41u : 61u);
        EXPECT_LE(result.rows.size(), 5u);
        if (result.generation == 2) {
            for (int row : result.rows)
                ++newRows[row];
            requested += static_cast<int>(result.request);
        }
    }
    for (const auto& [row, times] : newRows) {
        EXPECT_GE(row, 5);
        EXPECT_LT(row, 17);
        EXPECT_EQ(times, 1);
    }
    // Running dry, it asked for more.
    EXPECT_GT(requested, 0);
    // The master says goodbye; the slave answers on the same connection.
    ASSERT_TRUE(master.task.sendAll(encodeHeader(kDisconnect, 0)));
    auto answer = readMessage(master.task);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->type, kDisconnect);
    EXPECT_TRUE(slave.slave.waitUntilDisconnected({}));
    EXPECT_TRUE(slave.slave.endedGracefully());
    EXPECT_TRUE(slave.log.has("Disconnecting network subsystem from master."));
}

// Each ends the connection with a line saying why.
struct Hostile {
    const char* what;
    std::function<void(FakeMaster&)> send;
    const char* logged;
};

TEST(SlaveProtocol, HostileMasterMessagesEndTheConnection) {
    const std::vector<Hostile> cases = {
        {"type outside the network types",
         [](FakeMaster& m) { m.sendFractal(kTypeLyapunov, 40, 30, 1); }, "not valid"},
        {"rows before a fractal", [](FakeMaster& m) { m.sendJobs(0, 3); },
         "rows before any fractal"},
        {"row outside the image",
         [](FakeMaster& m) {
             m.sendFractal(kTypeMandel, 40, 30, 1);
             m.sendJobs(29, 2);
         },
         "a row outside the image"},
        {"oversized fractal",
         [](FakeMaster& m) { m.task.sendAll(encodeHeader(kFractal, 1'000'000)); }, "not valid"},
        {"results sent to a slave",
         [](FakeMaster& m) { m.task.sendAll(encodeHeader(kResults, 16)); }, "not valid"},
    };
    for (const Hostile& hostile : cases) {
        FakeMaster master;
        TestSlave slave;
        std::thread accepting([&] { master.acceptSlave(); });
        ASSERT_TRUE(slave.slave.connect("127.0.0.1", master.port()));
        accepting.join();
        hostile.send(master);
        EXPECT_TRUE(slave.slave.waitUntilDisconnected({})) << hostile.what;
        EXPECT_FALSE(slave.slave.endedGracefully()) << hostile.what;
        EXPECT_TRUE(slave.log.has(hostile.logged)) << hostile.what;
    }
}

TEST(SlaveProtocol, LosingTheMasterIsReported) {
    FakeMaster master;
    TestSlave slave;
    std::thread accepting([&] { master.acceptSlave(); });
    ASSERT_TRUE(slave.slave.connect("127.0.0.1", master.port()));
    accepting.join();
    // Half a header, then gone.
    const HeaderBytes header = encodeHeader(kJobs, 8);
    master.task.sendAll(std::span(header).first(3));
    master.task.close();
    master.result.close();
    EXPECT_TRUE(slave.slave.waitUntilDisconnected({}));
    EXPECT_TRUE(slave.log.has("Connection to master program no longer available."));
    EXPECT_TRUE(slave.log.has("Network subsystem disconnected gracefully"));
}

TEST(SlaveProtocol, NoMasterListeningIsReported) {
    std::uint16_t port = 0;
    {
        FakeMaster closed; // a port that was free a moment ago
        port = closed.port();
    }
    TestSlave slave;
    EXPECT_FALSE(slave.slave.connect("127.0.0.1", port));
    EXPECT_TRUE(slave.log.has("Connection to master program failed."));
    EXPECT_FALSE(slave.slave.connected());
}

} // namespace
} // namespace vortimax::net
