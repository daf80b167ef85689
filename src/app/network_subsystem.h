#pragma once

#include "app/application.h"
#include "app/network_summary.h"
#include "network/master.h"
#include "network/slave.h"

#include <memory>
#include <optional>
#include <string>

namespace vortimax {

// The program's network calculation behind the menu commands: it is master, slave or
// neither. Lines for the message window go there from whatever thread writes them.
// Installed on construction (the network-mode drivers included), removed on destruction.
// Used from the interface thread.
class NetworkSubsystem : public NetworkControl {
public:
    explicit NetworkSubsystem(Application& app, net::MasterOptions options = {});
    ~NetworkSubsystem() override;
    NetworkSubsystem(const NetworkSubsystem&) = delete;
    NetworkSubsystem& operator=(const NetworkSubsystem&) = delete;

    bool isMaster() const override { return master_->active(); }
    bool isConnectedToMaster() const override { return slave_ && slave_->connected(); }
    NetworkSummary summary() const override;
    void startMaster() override;
    bool readyToConnect() override;
    void connectToMaster(const std::string& address) override;
    void stopMaster() override;
    void disconnectFromMaster() override;
    void restart() override;
    bool followConnection() override;

    net::Master& master() { return *master_; }

private:
    void log(const std::string& line);
    std::string lastLine() const;
    // A box with the network's last line: why starting or connecting failed.
    void showLastLine(std::string_view caption);

    Application& app_;
    net::MasterOptions options_;
    // Shared with the network-mode drivers, which may outlive this.
    std::shared_ptr<net::Master> master_;
    std::unique_ptr<net::Slave> slave_;
    // The address the master is reached at (its host name's, or the one it listens on),
    // and the master this program connected to as slave.
    net::Address ownAddress_{};
    net::Address masterAddress_{};
    std::uint16_t masterPort_ = 0;
    // Connected as slave when the timer last looked, or since connecting.
    bool wasConnected_ = false;
};

// "a.b.c.d" (four decimal octets) or "a.b.c.d:port" as typed in the connect dialog;
// nothing for anything else.
struct MasterAddress {
    std::string host;
    std::uint16_t port;
};
std::optional<MasterAddress> parseMasterAddress(std::string_view text);

} // namespace vortimax
