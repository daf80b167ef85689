#pragma once

#include "network/machine_info.h"
#include "network/row_calculator.h"
#include "network/socket.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vortimax::net {

// What a slave says about its own machine.
struct SlaveIdentity {
    int screenWidth = 0; // 0 without a display
    int screenHeight = 0;
    int bitsPerPixel = 0;
};

// The slave side: connects twice to a master, then a receiver thread takes fractals and
// row numbers from the task connection, a worker thread calculates the rows and a sender
// thread returns them on the result connection, asking for more as its queue drains.
//
// Threads: connect(), disconnect() and the destructor on one controlling thread;
// connected() and waitUntilDisconnected() from any thread. One lock (mutex_) guards the
// fractal, both queues, the queue target and the outstanding count. Every task carries
// the generation of its fractal: a new fractal drops the tasks of the old one, and a
// result message only ever holds rows of one generation and width.
class Slave {
public:
    using Log = std::function<void(const std::string&)>;
    Slave(RowCalculatorFactory calculators, Log log, Log status = {});
    ~Slave();
    Slave(const Slave&) = delete;
    Slave& operator=(const Slave&) = delete;

    // Connects to the master at `host` (a name or a.b.c.d) and starts the threads; false
    // (the reason logged) when that fails.
    bool connect(const std::string& host, std::uint16_t port, const SlaveIdentity& identity = {});
    // Leaves the master: tells it, waits for its answer and ends the threads.
    void disconnect();
    bool connected() const { return connected_.load(); }
    // Waits until the connection has ended (the master said so, or it was lost); false when
    // `giveUp` said so first.
    bool waitUntilDisconnected(const std::function<bool()>& giveUp);
    // Whether the master ended the connection gracefully (false when it was lost).
    bool endedGracefully() const { return graceful_.load(); }

private:
    struct Task {
        std::uint32_t generation;
        int row;
        int width;
        std::vector<float> values;
    };
    struct Fractal;

    void receiveTasks();
    bool handleMessage(std::uint32_t type, std::vector<std::uint8_t>& payload);
    bool takeFractal(std::vector<std::uint8_t>& payload);
    bool takeJobs(std::vector<std::uint8_t>& payload);
    void work();
    void sendResults();
    void endThreads();
    void lose(const std::string& reason);

    RowCalculatorFactory calculators_;
    Log log_;
    Log status_;
    Socket task_;
    Socket result_;
    std::atomic<bool> connected_{false};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> graceful_{false};
    std::thread receiver_;
    std::thread worker_;
    std::thread sender_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::shared_ptr<Fractal> fractal_;
    std::atomic<std::uint32_t> generation_{0};
    std::deque<Task> jobs_;
    std::deque<Task> done_;
    int target_ = 10;
    int outstanding_ = 0;
    std::mutex resultSendMutex_;
};

} // namespace vortimax::net
