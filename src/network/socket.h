#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace vortimax::net {

// An IPv4 address, most significant octet first.
using Address = std::array<std::uint8_t, 4>;
std::string addressText(const Address& address); // "a.b.c.d"
// The first IPv4 address of a host name or dotted address; nothing when it has none.
std::optional<Address> resolveAddress(const std::string& host);

// One TCP socket, closed when it goes. Sends never raise SIGPIPE.
class Socket {
public:
    Socket() = default;
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket();
    Socket(Socket&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    bool valid() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // A listening socket on the port (0: any free one) of the address, or of every
    // address when `address` is empty. On failure the socket is invalid and `step` says
    // which call failed ("socket", "bind", "listen") with `error` its errno.
    static Socket listenOn(std::uint16_t port, const std::string& address, int backlog,
                           std::string& step, int& error);
    // A connected socket, or an invalid one with `error` set.
    static Socket connectTo(const Address& address, std::uint16_t port, int& error);

    // Waits up to `timeoutMs` for a connection; an invalid socket when none came or the
    // accept failed (`failed` then set).
    Socket accept(int timeoutMs, Address& peer, bool& failed);

    // Sends every byte; false when the connection failed or the send timed out.
    bool sendAll(std::span<const std::uint8_t> bytes);

    enum class Receive { Done, Closed, Failed, Stopped, TimedOut };
    // Receives exactly bytes.size() bytes. A peer that closes the connection ends the
    // wait (Closed), as does `stop` (looked at every 50 ms) and `timeoutMs` of waiting in
    // all (never when negative).
    Receive receiveExactly(std::span<std::uint8_t> bytes, const std::atomic<bool>& stop,
                           int timeoutMs = -1);
    // What is waiting, without blocking: the count received, 0 when the peer closed the
    // connection, -1 when nothing is waiting, -2 on failure.
    long receiveWaiting(std::span<std::uint8_t> bytes);

    void setBuffers(int receiveBytes, int sendBytes);
    void setSendTimeout(int milliseconds);
    std::uint16_t localPort() const;
    std::optional<Address> localAddress() const;
    // Ends both directions; a thread waiting on the socket wakes up.
    void shutdown();
    void close();

private:
    int fd_ = -1;
};

} // namespace vortimax::net
