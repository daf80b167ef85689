#include "app/network_subsystem.h"

#include "app/formula_libraries.h"
#include "network/messages.h"
#include "network/network_drivers.h"
#include "network/row_calculator.h"

#include <array>
#include <charconv>
#include <unistd.h>

namespace vortimax {

namespace {

constexpr std::string_view kCaption = "Network subsystem";
constexpr std::string_view kAlreadyMaster =
    "Master processes for network subsystem already up and running";
constexpr std::string_view kConnectedElsewhere =
    "Subsystem already connected to another master.\nYou have to disconnect from that master "
    "first in\norder to start up the master on this machine...";
constexpr std::string_view kAlreadyConnected = "You are already connected to a master program";
constexpr std::string_view kActingAsMaster =
    "The network subsystem currently acts as master.\nIt can act either as master or as slave, "
    "so you\nhave to terminate the master first in order to connect\nto another master";

constexpr std::string_view kConnectCaption = "ConnectSlaveSockets";
constexpr std::string_view kLostCaption = "Error";
constexpr std::string_view kLostText =
    "Network subsystem failed.\nConnection to master program no longer available.\nMost "
    "probably master has been shut down.\nIt is recommended that you restart the whole program.";

// The caption of the box telling why the master did not start, by the start of its text.
struct FailureCaption {
    std::string_view start;
    std::string_view caption;
};
constexpr FailureCaption kStartFailures[] = {
    {"Could not create MasterSocket", "CreateSocket"},
    {"Could not bind socket", "CreateSocket"},
    {"Error: ", "Listener"},
};

std::string_view failureCaption(std::string_view line) {
    for (const FailureCaption& failure : kStartFailures)
        if (line.starts_with(failure.start))
            return failure.caption;
    return kCaption;
}

// A decimal number up to `highest`, digits only.
std::optional<unsigned> decimal(std::string_view text, unsigned highest) {
    unsigned value = 0;
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > highest)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<MasterAddress> parseMasterAddress(std::string_view text) {
    MasterAddress address{{}, net::kMasterPort};
    if (const auto colon = text.find(':'); colon != std::string_view::npos) {
        const auto port = decimal(text.substr(colon + 1), 65535);
        if (!port || *port == 0)
            return std::nullopt;
        address.port = static_cast<std::uint16_t>(*port);
        text = text.substr(0, colon);
    }
    address.host = std::string(text);
    for (int octet = 0; octet < 4; ++octet) {
        const auto dot = octet < 3 ? text.find('.') : text.size();
        if (dot == std::string_view::npos || !decimal(text.substr(0, dot), 255))
            return std::nullopt;
        text.remove_prefix(std::min(text.size(), dot + 1));
    }
    return address;
}

namespace {

// Where slaves reach this machine: the address it listens on when it is restricted to
// one, else the first address of its host name.
net::Address ownAddress(const std::string& bindAddress) {
    if (!bindAddress.empty())
        if (auto address = net::resolveAddress(bindAddress))
            return *address;
    std::array<char, 256> host{};
    if (gethostname(host.data(), host.size() - 1) == 0)
        if (auto address = net::resolveAddress(host.data()))
            return *address;
    return net::Address{127, 0, 0, 1};
}

} // namespace

NetworkSubsystem::NetworkSubsystem(Application& app, net::MasterOptions options)
    : app_(app), options_(std::move(options)),
      master_(std::make_shared<net::Master>([this](const std::string& line) { log(line); })) {
    net::installNetworkDrivers(app_.views().drivers, master_);
    app_.setNetworkControl(this);
}

NetworkSubsystem::~NetworkSubsystem() {
    restart();
    app_.setNetworkControl(nullptr);
}

void NetworkSubsystem::log(const std::string& line) {
    app_.messages().add(line);
}

void NetworkSubsystem::startMaster() {
    if (isMaster()) {
        app_.frontend().messageBox(kCaption, kAlreadyMaster, MessageButtons::Ok,
                                   MessageIcon::Information);
        return;
    }
    if (isConnectedToMaster()) {
        app_.frontend().messageBox(kCaption, kConnectedElsewhere, MessageButtons::Ok,
                                   MessageIcon::Warning);
        return;
    }
    if (master_->start(options_))
        ownAddress_ = ownAddress(options_.bindAddress);
    else
        showLastLine(failureCaption(lastLine()));
}

// The line the network wrote last; a failure to start or connect is written on this
// thread before the call returns, with no network thread running yet.
std::string NetworkSubsystem::lastLine() const {
    const std::vector<std::string> lines = app_.messages().messages();
    return lines.empty() ? std::string() : lines.back();
}

void NetworkSubsystem::showLastLine(std::string_view caption) {
    app_.frontend().messageBox(caption, lastLine(), MessageButtons::Ok, MessageIcon::Error);
}

bool NetworkSubsystem::readyToConnect() {
    if (isConnectedToMaster()) {
        app_.frontend().messageBox(kCaption, kAlreadyConnected, MessageButtons::Ok,
                                   MessageIcon::Information);
        return false;
    }
    if (isMaster()) {
        app_.frontend().messageBox(kCaption, kActingAsMaster, MessageButtons::Ok,
                                   MessageIcon::Warning);
        return false;
    }
    return true;
}

NetworkSummary NetworkSubsystem::summary() const {
    NetworkSummary summary;
    if (isMaster()) {
        summary.role = NetworkRole::Master;
        summary.address = ownAddress_;
        summary.port = master_->port();
        summary.members = master_->members();
    } else if (isConnectedToMaster()) {
        summary.role = NetworkRole::Slave;
        summary.address = masterAddress_;
        summary.port = masterPort_;
    }
    return summary;
}

void NetworkSubsystem::connectToMaster(const std::string& text) {
    if (!readyToConnect())
        return;
    const std::optional<MasterAddress> address = parseMasterAddress(text);
    if (!address) {
        log("\"" + text + "\" is not an address of four numbers from 0 to 255 (a.b.c.d)");
        showLastLine(kCaption);
        return;
    }
    slave_.reset();
    FormulaLibraries& formulas = app_.formulaLibraries();
    slave_ = std::make_unique<net::Slave>(
        [&formulas](const FractalRecord& record) {
            return net::makeRowCalculator(record, [&formulas](std::string_view name) {
                return formulas.compiledFormula(name);
            });
        },
        [this](const std::string& line) { log(line); });
    const ScreenInfo& screen = app_.screen();
    if (slave_->connect(address->host, address->port,
                        net::SlaveIdentity{screen.width, screen.height, screen.bitsPerPixel})) {
        masterAddress_ = net::resolveAddress(address->host).value_or(net::Address{});
        masterPort_ = address->port;
        wasConnected_ = true;
    } else {
        showLastLine(kConnectCaption);
    }
}

void NetworkSubsystem::stopMaster() {
    master_->stop();
}

void NetworkSubsystem::disconnectFromMaster() {
    wasConnected_ = false; // left by command: nothing to report
    if (slave_)
        slave_->disconnect();
}

bool NetworkSubsystem::followConnection() {
    if (!wasConnected_ || isConnectedToMaster())
        return false;
    wasConnected_ = false;
    if (!slave_->endedGracefully())
        app_.frontend().messageBox(kLostCaption, kLostText, MessageButtons::Ok, MessageIcon::Error);
    return true;
}

void NetworkSubsystem::restart() {
    disconnectFromMaster();
    stopMaster();
}

} // namespace vortimax
