#include "app/menu_state.h"
#include "app/network_subsystem.h"
#include "app_fixture.h"

#include <gtest/gtest.h>

namespace vortimax::test {
namespace {

constexpr int kStartMaster = 29145;
constexpr int kConnectToMaster = 29146;
constexpr int kDisconnectFromMaster = 29147;
constexpr int kStopMaster = 29148;
constexpr int kServerInfo = 29118;

// Which of Start Master, Connect, Stop Master and Disconnect are offered, in that order.
std::string offered(const Application& app) {
    std::string shown;
    for (int id : {kStartMaster, kConnectToMaster, kStopMaster, kDisconnectFromMaster})
        shown += menuItemState(app, id).enabled ? '1' : '0';
    return shown;
}

bool hasMessage(const Application& app, std::string_view part) {
    for (const std::string& line : app.messages().messages())
        if (line.find(part) != std::string::npos)
            return true;
    return false;
}

using NetworkCommands = AppFixture;

TEST_F(NetworkCommands, MasterAndSlaveExcludeEachOther) {
    ASSERT_TRUE(start().ok);
    NetworkSubsystem masterSide(*app, net::MasterOptions{0, "127.0.0.1"});
    EXPECT_EQ(app->executeCommand(kStartMaster), CommandOutcome::Done);
    ASSERT_TRUE(masterSide.isMaster());
    // Acting as master, it cannot connect to another.
    masterSide.connectToMaster("127.0.0.1");
    ASSERT_FALSE(frontend.messageBoxes().empty());
    EXPECT_EQ(frontend.messageBoxes().back().caption, "Network subsystem");
    EXPECT_EQ(frontend.messageBoxes().back().text,
              "The network subsystem currently acts as master.\nIt can act either as master or "
              "as slave, so you\nhave to terminate the master first in order to connect\nto "
              "another master");
    EXPECT_FALSE(masterSide.isConnectedToMaster());
    EXPECT_EQ(app->executeCommand(kStopMaster), CommandOutcome::Done);
    EXPECT_FALSE(masterSide.isMaster());
    EXPECT_TRUE(hasMessage(*app, "Master terminated..."));
    EXPECT_EQ(app->executeCommand(kStopMaster), CommandOutcome::NotAvailable);
}

TEST_F(NetworkCommands, SlaveConnectsToAMasterOnThisMachineAndLeaves) {
    ASSERT_TRUE(start().ok);
    std::vector<std::string> masterLines;
    std::mutex lock;
    net::Master master([&](const std::string& line) {
        std::lock_guard guard(lock);
        masterLines.push_back(line);
    });
    ASSERT_TRUE(master.start(net::MasterOptions{0, "127.0.0.1"}));
    NetworkSubsystem slaveSide(*app);
    slaveSide.connectToMaster("127.0.0.1:" + std::to_string(master.port()));
    ASSERT_TRUE(slaveSide.isConnectedToMaster());
    ASSERT_TRUE(master.waitForMembers(1, {}));
    EXPECT_TRUE(hasMessage(*app, "Slave sockets successfully connected"));
    // As slave, it cannot be master too.
    slaveSide.startMaster();
    ASSERT_FALSE(frontend.messageBoxes().empty());
    EXPECT_NE(frontend.messageBoxes().back().text.find("Subsystem already connected to another "
                                                       "master."),
              std::string::npos);
    EXPECT_EQ(app->executeCommand(kDisconnectFromMaster), CommandOutcome::Done);
    EXPECT_FALSE(slaveSide.isConnectedToMaster());
    EXPECT_TRUE(hasMessage(*app, "Disconnected..."));
    EXPECT_TRUE(testing::waitFor([&] { return master.memberCount() == 0; }));
}

// Neither master nor slave: start or connect; master: only stop (slave: only disconnect,
// seen in the desktop test).
TEST_F(NetworkCommands, MenusFollowTheRole) {
    ASSERT_TRUE(start().ok);
    for (int id : {kStartMaster, kConnectToMaster, kServerInfo})
        EXPECT_FALSE(menuItemState(*app, id).enabled) << "no network: " << id;
    NetworkSubsystem network(*app, net::MasterOptions{0, "127.0.0.1"});
    EXPECT_EQ(offered(*app), "1100");
    EXPECT_EQ(networkHeading(network.summary()), "- undefined -");

    ASSERT_EQ(app->executeCommand(kStartMaster), CommandOutcome::Done);
    ASSERT_TRUE(network.isMaster());
    EXPECT_EQ(offered(*app), "0010");
    EXPECT_TRUE(menuItemState(*app, kServerInfo).enabled);
    const NetworkSummary summary = network.summary();
    EXPECT_EQ(summary.role, NetworkRole::Master);
    EXPECT_EQ(summary.address, (net::Address{127, 0, 0, 1}));
    EXPECT_EQ(summary.port, network.master().port());
    // Started again, it refuses with the reason instead of starting twice.
    EXPECT_EQ(app->executeCommand(kStartMaster), CommandOutcome::Done);
    ASSERT_FALSE(frontend.messageBoxes().empty());
    EXPECT_EQ(frontend.messageBoxes().back().text,
              "Master processes for network subsystem already up and running");
    EXPECT_FALSE(network.readyToConnect());
    EXPECT_EQ(frontend.messageBoxes().back().caption, "Network subsystem");
    EXPECT_EQ(app->executeCommand(kStopMaster), CommandOutcome::Done);
    EXPECT_EQ(offered(*app), "1100");
    EXPECT_EQ(network.summary().role, NetworkRole::None);
}

// A master that cannot listen and a master that is not there are told in a box.
TEST_F(NetworkCommands, FailuresToStartOrConnectAreShown) {
    ASSERT_TRUE(start().ok);
    net::Master first([](const std::string&) {});
    ASSERT_TRUE(first.start(net::MasterOptions{0, "127.0.0.1"}));
    const std::uint16_t taken = first.port();
    {
        NetworkSubsystem second(*app, net::MasterOptions{taken, "127.0.0.1"});
        EXPECT_EQ(app->executeCommand(kStartMaster), CommandOutcome::Done);
        EXPECT_FALSE(second.isMaster());
        ASSERT_EQ(frontend.messageBoxes().size(), 1u);
        EXPECT_EQ(frontend.messageBoxes().back().caption, "CreateSocket");
        EXPECT_EQ(frontend.messageBoxes().back().text.rfind("Could not bind socket to a name", 0),
                  0u);
        EXPECT_EQ(offered(*app), "1100");
    }
    first.stop(); // nothing listens on the port any more
    NetworkSubsystem slaveSide(*app);
    slaveSide.connectToMaster("127.0.0.1:" + std::to_string(taken));
    EXPECT_FALSE(slaveSide.isConnectedToMaster());
    ASSERT_EQ(frontend.messageBoxes().size(), 2u);
    EXPECT_EQ(frontend.messageBoxes().back().caption, "ConnectSlaveSockets");
    EXPECT_EQ(frontend.messageBoxes().back().text.rfind("Connection to master program failed.\n"
                                                        "Please ensure, that master program has "
                                                        "been started on computer\n127.0.0.1 on "
                                                        "port " +
                                                            std::to_string(taken),
                                                        0),
              0u);
    EXPECT_EQ(offered(*app), "1100");
    slaveSide.connectToMaster("127.0.0.1:port");
    ASSERT_EQ(frontend.messageBoxes().size(), 3u);
    EXPECT_EQ(frontend.messageBoxes().back().text,
              "\"127.0.0.1:port\" is not an address of four numbers from 0 to 255 (a.b.c.d)");
}

// The timer notices a connection that ended without a command: a master saying goodbye
// changes only the menus, a master that vanishes is reported once.
TEST_F(NetworkCommands, EndedConnectionsAreNoticedByTheTimer) {
    ASSERT_TRUE(start().ok);
    NetworkSubsystem network(*app);
    int menuChanges = 0;
    app->setChangeListener([&](ApplicationChange change) {
        menuChanges += change == ApplicationChange::Menus ? 1 : 0;
    });
    net::Master master([](const std::string&) {});
    ASSERT_TRUE(master.start(net::MasterOptions{0, "127.0.0.1"}));
    network.connectToMaster("127.0.0.1:" + std::to_string(master.port()));
    ASSERT_TRUE(network.isConnectedToMaster());
    ASSERT_TRUE(master.waitForMembers(1, {}));
    app->onTimer(kMainTimer);
    EXPECT_EQ(menuChanges, 0);
    master.stop();
    ASSERT_TRUE(testing::waitFor([&] { return !network.isConnectedToMaster(); }));
    app->onTimer(kMainTimer);
    EXPECT_EQ(menuChanges, 1);
    EXPECT_TRUE(frontend.messageBoxes().empty());

    // A "master" that takes both connections and drops them.
    std::string step;
    int error = 0;
    net::Socket listener = net::Socket::listenOn(0, "127.0.0.1", 5, step, error);
    ASSERT_TRUE(listener.valid());
    network.connectToMaster("127.0.0.1:" + std::to_string(listener.localPort()));
    ASSERT_TRUE(network.isConnectedToMaster());
    for (int connection = 0; connection < 2; ++connection) {
        net::Address peer{};
        bool failed = false;
        net::Socket accepted = listener.accept(5000, peer, failed);
        ASSERT_TRUE(accepted.valid());
    }
    ASSERT_TRUE(testing::waitFor([&] { return !network.isConnectedToMaster(); }));
    app->onTimer(kMainTimer);
    app->onTimer(kMainTimer);
    EXPECT_EQ(menuChanges, 2);
    ASSERT_EQ(frontend.messageBoxes().size(), 1u);
    EXPECT_EQ(frontend.messageBoxes().back().caption, "Error");
    EXPECT_EQ(frontend.messageBoxes().back().text.rfind("Network subsystem failed.\n", 0), 0u);
    app->setChangeListener({});
}

TEST(NetworkAddress, FourOctetsAndAnOptionalPort) {
    auto address = parseMasterAddress("192.168.1.20");
    ASSERT_TRUE(address);
    EXPECT_EQ(address->host, "192.168.1.20");
    EXPECT_EQ(address->port, 13242);
    address = parseMasterAddress("127.0.0.1:4000");
    ASSERT_TRUE(address);
    EXPECT_EQ(address->port, 4000);
    for (std::string_view bad : {"", "0.0.0", "1.2.3.4.5", "256.1.1.1", "a.b.c.d",
                                 "1.2.3.4:", "1.2.3.4:0", "1.2.3.4:70000", "1..2.3", "-1.2.3.4"})
        EXPECT_FALSE(parseMasterAddress(bad)) << bad;
}

} // namespace
} // namespace vortimax::test
