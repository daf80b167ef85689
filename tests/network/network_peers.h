#pragma once

#include "network/machine_info.h"
#include "network/message_assembler.h"
#include "network/messages.h"
#include "network/socket.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vortimax::net::testing {

// Lines logged by a master or slave, from any thread.
class LogLines {
public:
    std::function<void(const std::string&)> sink() {
        return [this](const std::string& line) {
            std::lock_guard lock(mutex_);
            lines_.push_back(line);
        };
    }
    std::vector<std::string> lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    bool has(std::string_view part) const {
        std::lock_guard lock(mutex_);
        return std::any_of(lines_.begin(), lines_.end(), [&](const std::string& line) {
            return line.find(part) != std::string::npos;
        });
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

inline const std::atomic<bool> kNeverStop{false};

// Reads one message off a socket within 20 s; nothing when the connection ended first.
inline std::optional<Message> readMessage(Socket& socket) {
    HeaderBytes bytes{};
    if (socket.receiveExactly(bytes, kNeverStop, 20000) != Socket::Receive::Done)
        return std::nullopt;
    const Header header = decodeHeader(bytes);
    if (header.size > 1'000'000)
        return std::nullopt;
    Message message{header.type, std::vector<std::uint8_t>(header.size)};
    if (socket.receiveExactly(message.payload, kNeverStop, 20000) != Socket::Receive::Done)
        return std::nullopt;
    return message;
}

// A slave written by hand, byte by byte, to behave in ways a real one never does.
struct RawPeer {
    Socket task;
    Socket result;
    PeerName name;

    explicit RawPeer(std::uint64_t token = 77) : name(makePeerName("127.0.0.1", token)) {}

    static Socket connect(std::uint16_t port) {
        int error = 0;
        Socket socket = Socket::connectTo(Address{127, 0, 0, 1}, port, error);
        EXPECT_TRUE(socket.valid()) << error;
        return socket;
    }
    void openTask(std::uint16_t port) {
        task = connect(port);
        MachineInfo info;
        info.computerName = "raw-peer";
        const auto greeting = encodeGreeting(Greeting{kTaskConnection, name});
        const InfoBlock block = encodeMachineInfo(info);
        std::vector<std::uint8_t> bytes(greeting.begin(), greeting.end());
        bytes.insert(bytes.end(), block.begin(), block.end());
        ASSERT_TRUE(task.sendAll(bytes));
    }
    void openResult(std::uint16_t port) {
        result = connect(port);
        ASSERT_TRUE(result.sendAll(encodeGreeting(Greeting{kResultConnection, name})));
    }
    void join(std::uint16_t port) {
        openTask(port);
        openResult(port);
    }
};

} // namespace vortimax::net::testing
