#include "network/socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vortimax::net {

namespace {

sockaddr_in socketAddress(const Address& address, std::uint16_t port) {
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(port);
    std::memcpy(&at.sin_addr.s_addr, address.data(), 4);
    return at;
}

Address addressOf(const sockaddr_in& at) {
    Address address{};
    std::memcpy(address.data(), &at.sin_addr.s_addr, 4);
    return address;
}

// Waits for the socket to become readable: 1 readable, 0 timed out, -1 failed.
int waitReadable(int fd, int timeoutMs) {
    pollfd entry{fd, POLLIN, 0};
    const int ready = ::poll(&entry, 1, timeoutMs);
    if (ready < 0)
        return errno == EINTR ? 0 : -1;
    return ready;
}

} // namespace

std::string addressText(const Address& address) {
    return std::to_string(address[0]) + "." + std::to_string(address[1]) + "." +
           std::to_string(address[2]) + "." + std::to_string(address[3]);
}

std::optional<Address> resolveAddress(const std::string& host) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        return std::nullopt;
    sockaddr_in at{};
    std::memcpy(&at, found->ai_addr, sizeof(at));
    ::freeaddrinfo(found);
    return addressOf(at);
}

Socket::~Socket() {
    close();
}

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

Socket Socket::listenOn(std::uint16_t port, const std::string& address, int backlog,
                        std::string& step, int& error) {
    Socket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.valid()) {
        step = "socket";
        error = errno;
        return {};
    }
    const int on = 1;
    ::setsockopt(socket.fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
    socket.setBuffers(8192, 8192);
    Address bindTo{};
    if (!address.empty()) {
        auto resolved = resolveAddress(address);
        if (!resolved) {
            step = "bind";
            error = EADDRNOTAVAIL;
            return {};
        }
        bindTo = *resolved;
    }
    sockaddr_in at = socketAddress(bindTo, port);
    if (::bind(socket.fd_, reinterpret_cast<sockaddr*>(&at), sizeof(at)) != 0) {
        step = "bind";
        error = errno;
        return {};
    }
    if (::listen(socket.fd_, backlog) != 0) {
        step = "listen";
        error = errno;
        return {};
    }
    return socket;
}

Socket Socket::connectTo(const Address& address, std::uint16_t port, int& error) {
    Socket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.valid()) {
        error = errno;
        return {};
    }
    sockaddr_in at = socketAddress(address, port);
    if (::connect(socket.fd_, reinterpret_cast<sockaddr*>(&at), sizeof(at)) != 0) {
        error = errno;
        return {};
    }
    const int on = 1;
    ::setsockopt(socket.fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
    return socket;
}

Socket Socket::accept(int timeoutMs, Address& peer, bool& failed) {
    failed = false;
    const int ready = waitReadable(fd_, timeoutMs);
    if (ready <= 0) {
        failed = ready < 0;
        return {};
    }
    sockaddr_in at{};
    socklen_t length = sizeof(at);
    Socket accepted(::accept4(fd_, reinterpret_cast<sockaddr*>(&at), &length, SOCK_CLOEXEC));
    if (!accepted.valid()) {
        failed = errno != EAGAIN && errno != EINTR && errno != ECONNABORTED;
        return {};
    }
    const int on = 1;
    ::setsockopt(accepted.fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
    peer = addressOf(at);
    return accepted;
}

bool Socket::sendAll(std::span<const std::uint8_t> bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        sent += static_cast<std::size_t>(count);
    }
    return true;
}

Socket::Receive Socket::receiveExactly(std::span<std::uint8_t> bytes, const std::atomic<bool>& stop,
                                       int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t received = 0;
    while (received < bytes.size()) {
        if (stop.load())
            return Receive::Stopped;
        if (timeoutMs >= 0 && Clock::now() >= deadline)
            return Receive::TimedOut;
        const int ready = waitReadable(fd_, 50);
        if (ready < 0)
            return Receive::Failed;
        if (ready == 0)
            continue;
        const ssize_t count = ::recv(fd_, bytes.data() + received, bytes.size() - received, 0);
        if (count == 0)
            return Receive::Closed;
        if (count < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return Receive::Failed;
        }
        received += static_cast<std::size_t>(count);
    }
    return Receive::Done;
}

long Socket::receiveWaiting(std::span<std::uint8_t> bytes) {
    const ssize_t count = ::recv(fd_, bytes.data(), bytes.size(), MSG_DONTWAIT);
    if (count >= 0)
        return static_cast<long>(count);
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? -1 : -2;
}

void Socket::setBuffers(int receiveBytes, int sendBytes) {
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBytes, sizeof(receiveBytes));
    ::setsockopt(fd_, SOL_SOCKET, SO_SNDBUF, &sendBytes, sizeof(sendBytes));
}

void Socket::setSendTimeout(int milliseconds) {
    timeval limit{milliseconds / 1000, (milliseconds % 1000) * 1000};
    ::setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit));
}

std::uint16_t Socket::localPort() const {
    sockaddr_in at{};
    socklen_t length = sizeof(at);
    if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&at), &length) != 0)
        return 0;
    return ntohs(at.sin_port);
}

std::optional<Address> Socket::localAddress() const {
    sockaddr_in at{};
    socklen_t length = sizeof(at);
    if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&at), &length) != 0)
        return std::nullopt;
    return addressOf(at);
}

void Socket::shutdown() {
    if (fd_ >= 0)
        ::shutdown(fd_, SHUT_RDWR);
}

void Socket::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

} // namespace vortimax::net
