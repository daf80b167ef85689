// A master and its slaves on the loopback interface, in this process: real slaves and
// slaves written by hand that leave, hang up or lie.

#include "model/fractal_record.h"
#include "model/param_block.h"
#include "model/type_registry.h"
#include "network/master.h"
#include "network/network_drivers.h"
#include "network/row_calculator.h"
#include "network/slave.h"
#include "network_peers.h"
#include "render/driver_view.h"
#include "support/view_test_support.h"

#include <gtest/gtest.h>
#include <thread>

namespace vortimax::net {
namespace {

using testing::LogLines;
using testing::RawPeer;
using testing::readMessage;
using Image = std::pair<std::vector<float>, std::vector<std::uint8_t>>;

constexpr int kWidth = 96;
constexpr int kHeight = 64;

// Counts the rows a slave calculates.
class CountingCalculator : public RowCalculator {
public:
    CountingCalculator(std::unique_ptr<RowCalculator> inner, std::atomic<int>& rows)
        : inner_(std::move(inner)), rows_(rows) {}
    void computeRow(int row, std::span<float> values, const std::function<bool()>& stop) override {
        inner_->computeRow(row, values, stop);
        ++rows_;
    }

private:
    std::unique_ptr<RowCalculator> inner_;
    std::atomic<int>& rows_;
};

struct CountedSlave {
    std::atomic<int> rows{0};
    LogLines log;
    Slave slave{[this](const FractalRecord& record) {
                    MadeCalculator made = makeRowCalculator(record, {});
                    if (made.calculator)
                        made.calculator =
                            std::make_unique<CountingCalculator>(std::move(made.calculator), rows);
                    return made;
                },
                log.sink()};
};

// The generation a fractal message carries.
std::uint32_t generationOf(const Message& fractal) {
    return static_cast<std::uint32_t>(loadInt(fractal.payload.data() + wire::kNetworkGeneration));
}

// Answers the master's jobs honestly, one row a message, until `rowsBeforeLeaving` rows
// were sent (then it hangs up in the middle of a message) or the master says goodbye.
void serveRows(RawPeer& peer, int rowsBeforeLeaving) {
    std::unique_ptr<FractalRecord> record;
    std::unique_ptr<RowCalculator> calculator;
    std::uint32_t generation = 0;
    int sent = 0;
    while (auto message = readMessage(peer.task)) {
        if (message->type == kDisconnect) {
            peer.task.sendAll(encodeHeader(kDisconnect, 0));
            return;
        }
        if (message->type == kFractal) {
            record = decodeFractal(message->payload).record;
            ASSERT_TRUE(record);
            calculator = makeRowCalculator(*record, {}).calculator;
            generation = generationOf(*message);
            continue;
        }
        const std::vector<int> rows = decodeJobs(message->payload).value_or(std::vector<int>{});
        for (int row : rows) {
            if (sent == rowsBeforeLeaving) {
                const HeaderBytes half = encodeHeader(kResults, 1000);
                peer.result.sendAll(std::span(half).first(5));
                peer.result.close();
                peer.task.close();
                return;
            }
            ResultMessage result{generation,
                                 static_cast<std::uint32_t>(record->width + 1),
                                 10,
                                 {row},
                                 std::vector<float>(record->width + 1)};
            calculator->computeRow(row, result.values, {});
            peer.result.sendAll(encodeResults(result));
            ++sent;
        }
    }
}

class MasterSlave : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(master.start(MasterOptions{0, "127.0.0.1"})); }

    std::unique_ptr<FractalRecord> newRecord() const {
        auto record = createRecord(type, 0, RecordCreationContext{});
        record->displayDepth = type == kTypeJulia24 ? 24 : 8;
        return record;
    }
    Image localImage() {
        auto record = newRecord();
        test::DriverView local(*record, kWidth, kHeight);
        local.calculate();
        return local.image();
    }
    Image networkImage() {
        auto record = newRecord();
        record->networkMode = 1;
        test::DriverView remote(*record, kWidth, kHeight);
        installNetworkDrivers(remote.environment.drivers, masterPointer);
        remote.calculate();
        EXPECT_EQ(remote.uncalculated(), 0);
        return remote.image();
    }
    void connect(Slave& slave) { ASSERT_TRUE(slave.connect("127.0.0.1", master.port())); }

    std::uint32_t type = kTypeMandel;
    LogLines masterLog;
    std::shared_ptr<Master> masterPointer = std::make_shared<Master>(masterLog.sink());
    Master& master = *masterPointer;
};

TEST_F(MasterSlave, TwoSlavesGiveTheImageOfALocalCalculation) {
    for (std::uint32_t tested : {kTypeMandel, kTypeJulia24}) {
        type = tested;
        CountedSlave first, second;
        connect(first.slave);
        connect(second.slave);
        ASSERT_TRUE(master.waitForMembers(2, {}));
        EXPECT_EQ(networkImage(), localImage()) << type;
        // Every row came from a slave.
        EXPECT_EQ(first.rows + second.rows, kHeight);
        first.slave.disconnect();
        second.slave.disconnect();
        ASSERT_TRUE(vortimax::testing::waitFor([&] { return master.memberCount() == 0; }));
    }
    EXPECT_TRUE(masterLog.has("Listener is accepting a connection"));
    EXPECT_TRUE(masterLog.has(" created"));
    EXPECT_TRUE(masterLog.has(" integrated"));
    EXPECT_TRUE(masterLog.has("is no longer available. 0 member(s) remaining"));
}

TEST_F(MasterSlave, OnlySlaveHangingUpMidMessageLeavesTheRestToTheMaster) {
    RawPeer peer;
    peer.join(master.port());
    ASSERT_TRUE(master.waitForMembers(1, {}));
    std::thread behaviour([&] { serveRows(peer, 3); });
    const Image image = networkImage();
    behaviour.join();
    EXPECT_EQ(image, localImage());
    EXPECT_TRUE(masterLog.has("Member raw-peer is no longer available. 0 member(s) remaining"));
    EXPECT_EQ(master.memberCount(), 0u);
}

TEST_F(MasterSlave, RowsOfALeavingSlaveGoToTheOthers) {
    // The peer comes first, so that it has rows before the real slave could take them all.
    RawPeer peer;
    peer.join(master.port());
    ASSERT_TRUE(master.waitForMembers(1, {}));
    CountedSlave real;
    connect(real.slave);
    ASSERT_TRUE(master.waitForMembers(2, {}));
    std::thread behaviour([&] { serveRows(peer, 4); });
    const Image image = networkImage();
    behaviour.join();
    EXPECT_EQ(image, localImage());
    EXPECT_TRUE(masterLog.has("Member raw-peer is no longer available. 1 member(s) remaining"));
    // The real slave calculated everything the peer did not return.
    EXPECT_GE(real.rows, kHeight - 4);
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + '\n';
    return text;
}

// Each of these ends the connection of the peer that sends it, and only that one.
struct Lie {
    const char* what;
    std::function<std::vector<std::uint8_t>(std::uint32_t generation, int row)> message;
};

std::vector<std::uint8_t> resultsOf(std::uint32_t generation, std::uint32_t width,
                                    std::vector<int> rows) {
    ResultMessage result{generation, width, 10, rows,
                         std::vector<float>(rows.size() * width, 1.0f)};
    return encodeResults(result);
}

TEST_F(MasterSlave, HostileMessageEndsOnlyItsConnection) {
    const std::vector<Lie> lies = {
        {"oversized",
         [](std::uint32_t, int) {
             const HeaderBytes header = encodeHeader(kResults, 200'000'000);
             return std::vector<std::uint8_t>(header.begin(), header.end());
         }},
        {"unknown type",
         [](std::uint32_t, int) {
             const HeaderBytes header = encodeHeader(2, 0);
             return std::vector<std::uint8_t>(header.begin(), header.end());
         }},
        {"wrong width", [](std::uint32_t g, int row) { return resultsOf(g, kWidth, {row}); }},
        {"row outside", [](std::uint32_t g, int) { return resultsOf(g, kWidth + 1, {kHeight}); }},
        {"future generation",
         [](std::uint32_t g, int row) { return resultsOf(g + 1, kWidth + 1, {row}); }},
    };
    for (const Lie& lie : lies) {
        // The peer comes first, so that it has rows before the real slave could take them all.
        RawPeer peer;
        peer.join(master.port());
        ASSERT_TRUE(master.waitForMembers(1, {})) << lie.what;
        CountedSlave real;
        connect(real.slave);
        ASSERT_TRUE(master.waitForMembers(2, {})) << lie.what;
        std::thread behaviour([&] {
            auto fractal = readMessage(peer.task);
            auto jobs = readMessage(peer.task);
            ASSERT_TRUE(fractal && jobs);
            peer.result.sendAll(
                lie.message(generationOf(*fractal), decodeJobs(jobs->payload)->at(0)));
            // The master closes the connection.
            std::array<std::uint8_t, 1> byte{};
            const std::atomic<bool> never{false};
            EXPECT_NE(peer.result.receiveExactly(byte, never, 20000), Socket::Receive::TimedOut);
        });
        EXPECT_EQ(networkImage(), localImage()) << lie.what;
        behaviour.join();
        EXPECT_TRUE(masterLog.has("sent a message that is not valid")) << lie.what;
        ASSERT_TRUE(vortimax::testing::waitFor([&] { return master.memberCount() == 1; }))
            << lie.what << ": " << master.memberCount() << "\n"
            << joined(masterLog.lines());
        EXPECT_TRUE(real.slave.connected());
        real.slave.disconnect();
        ASSERT_TRUE(vortimax::testing::waitFor([&] { return master.memberCount() == 0; }));
    }
}

TEST_F(MasterSlave, ResultsOfAnOlderFractalAreIgnored) {
    RawPeer peer;
    peer.join(master.port());
    ASSERT_TRUE(master.waitForMembers(1, {}));
    std::thread behaviour([&] {
        auto fractal = readMessage(peer.task);
        auto jobs = readMessage(peer.task);
        ASSERT_TRUE(fractal && jobs);
        const std::uint32_t generation = generationOf(*fractal);
        const int row = decodeJobs(jobs->payload)->at(0);
        // Values that no calculation gives: applied, they would show in the image.
        peer.result.sendAll(resultsOf(generation - 1, kWidth + 1, {row}));
        // Then leave, so that the master finishes the image itself.
        peer.result.sendAll(encodeHeader(kDisconnect, 0));
        auto answer = readMessage(peer.result);
        EXPECT_TRUE(answer && answer->type == kDisconnect);
    });
    const Image image = networkImage();
    behaviour.join();
    EXPECT_EQ(image, localImage());
    EXPECT_FALSE(masterLog.has("not valid"));
    EXPECT_TRUE(masterLog.has("Member raw-peer is no longer available. 0 member(s) remaining"));
}

TEST(MasterSilence, SlaveThatKeepsItsRowsWithoutAnsweringIsDropped) {
    LogLines log;
    auto master = std::make_shared<Master>(log.sink());
    ASSERT_TRUE(master->start(MasterOptions{0, "127.0.0.1", std::chrono::milliseconds(300)}));
    RawPeer peer;
    peer.join(master->port());
    ASSERT_TRUE(master->waitForMembers(1, {}));
    auto netRecord = createRecord(kTypeMandel, 0, RecordCreationContext{});
    netRecord->networkMode = 1;
    test::DriverView remote(*netRecord, kWidth, kHeight);
    installNetworkDrivers(remote.environment.drivers, master);
    // The peer takes its rows and keeps the connection open without a word.
    remote.calculate();
    EXPECT_EQ(remote.uncalculated(), 0);
    auto localRecord = createRecord(kTypeMandel, 0, RecordCreationContext{});
    test::DriverView local(*localRecord, kWidth, kHeight);
    local.calculate();
    EXPECT_EQ(remote.image(), local.image());
    EXPECT_TRUE(log.has("Member raw-peer returned nothing for 0.3 s; its connection is closed. 0 "
                        "member(s) remaining"));
}

TEST_F(MasterSlave, StoppingTheMasterDisconnectsEverySlave) {
    CountedSlave first, second;
    connect(first.slave);
    connect(second.slave);
    ASSERT_TRUE(master.waitForMembers(2, {}));
    master.stop();
    for (CountedSlave* counted : {&first, &second}) {
        EXPECT_TRUE(counted->slave.waitUntilDisconnected({}));
        EXPECT_TRUE(counted->slave.endedGracefully());
        EXPECT_TRUE(counted->log.has("Disconnecting network subsystem from master."));
        EXPECT_TRUE(counted->log.has("Network subsystem disconnected gracefully"));
    }
    EXPECT_FALSE(master.active());
}

TEST_F(MasterSlave, SecondConnectionWithoutAFirstIsClosed) {
    RawPeer peer;
    peer.openResult(master.port());
    ASSERT_TRUE(vortimax::testing::waitFor([&] { return masterLog.has("matches no member"); }));
    EXPECT_EQ(master.memberCount(), 0u);
    // A name without a terminator is refused too.
    RawPeer nameless;
    nameless.name.fill('x');
    nameless.openTask(master.port());
    ASSERT_TRUE(vortimax::testing::waitFor([&] { return masterLog.has("without a terminator"); }));
    EXPECT_TRUE(master.members().empty());
}

TEST_F(MasterSlave, SlavesOfOneMachinePairTheirOwnConnections) {
    RawPeer first(1), second(2);
    first.openTask(master.port());
    second.openTask(master.port());
    ASSERT_TRUE(vortimax::testing::waitFor([&] { return master.members().size() == 2; }));
    // The second slave's result connection comes first.
    second.openResult(master.port());
    ASSERT_TRUE(master.waitForMembers(1, {}));
    const std::vector<MemberSummary> members = master.members();
    ASSERT_EQ(members.size(), 2u);
    EXPECT_FALSE(members[0].complete);
    EXPECT_TRUE(members[1].complete);
}

} // namespace
} // namespace vortimax::net
