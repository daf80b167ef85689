#pragma once

#include "network/machine_info.h"
#include "network/socket.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vortimax {
class FractalView;
}

namespace vortimax::net {

struct MasterOptions {
    std::uint16_t port = 13242; // 0: any free port (tests)
    // The address to listen on; empty: every address of the machine, so that slaves on
    // the same machine reach it through the loopback address too.
    std::string bindAddress;
    // A member holding rows that sends nothing for this long is taken for hung: its
    // connection ends and its rows go to the others.
    std::chrono::milliseconds silenceLimit{std::chrono::minutes(2)};
};

// What the network window shows of a member.
struct MemberSummary {
    std::string name;
    Address address{};
    MachineInfo info;
    bool complete = false; // both connections made
    int pending = 0;       // rows handed out and not yet returned
    int rowsDone = 0;      // rows it returned since it joined
};

// How a network calculation ended.
enum class NetworkOutcome {
    Finished,  // every row arrived
    Stopped,   // a command stopped the job
    NoMembers, // no member (left): the rows still missing are to be calculated locally
};

// The master side: a listener thread accepts slaves (each with a task connection and a
// result connection), a receiver thread reads their results, and calculate() hands the
// rows of a fractal out and applies the results on the fractal's calculation thread.
//
// Threads: start() and stop() on one controlling thread; calculate() on one view's
// worker at a time; members(), memberCount() and waitForMembers() from any thread. One
// lock (mutex_) guards the member list, every member's pending rows and the
// distribution; a member's task connection is written under its own send lock. The
// receiver never touches a view: it queues the rows that arrive, and calculate() writes
// them into the image.
class Master {
public:
    using Log = std::function<void(const std::string&)>;
    // `log` gets the message-window lines, `status` the short progress texts.
    explicit Master(Log log, Log status = {});
    ~Master();
    Master(const Master&) = delete;
    Master& operator=(const Master&) = delete;

    // Listens and starts the threads; false (the reason logged) when it cannot listen.
    bool start(const MasterOptions& options);
    // Tells every member to disconnect, waits for their answers and ends the threads.
    void stop();
    bool active() const { return active_.load(); }
    // The port listened on.
    std::uint16_t port() const { return port_; }

    std::size_t memberCount() const;
    std::vector<MemberSummary> members() const;
    // Waits until `count` members are complete; false when `giveUp` said so first.
    bool waitForMembers(std::size_t count, const std::function<bool()>& giveUp);

    // Calculates the rows y0..y1 (all columns x0..x1, which must be the whole width and
    // the spare column) of the view's fractal on the members. Rows already calculated are
    // not handed out.
    NetworkOutcome calculate(FractalView& view, int x0, int y0, int x1, int y1);

private:
    struct Member;
    struct Distribution;
    using MemberPtr = std::shared_ptr<Member>;

    void listen();
    void greet(Socket socket, const Address& peer);
    void addTaskConnection(Socket socket, const Address& peer, const PeerName& name);
    void addResultConnection(Socket socket, const Address& peer, const PeerName& name);
    void receive();
    void drain(const MemberPtr& member);
    bool handle(const MemberPtr& member, std::uint32_t type, std::vector<std::uint8_t>& payload);
    bool applyResults(const MemberPtr& member, std::vector<std::uint8_t>& payload);
    void removeMember(const MemberPtr& member, const std::string& reason);
    void topUpMembers();
    void join(const MemberPtr& member);
    void sendJobs(const MemberPtr& member, int count);
    bool send(const MemberPtr& member, std::span<const std::uint8_t> bytes);
    void endDistribution();
    void dropSilentMembers();
    std::size_t completeMembers() const; // mutex_ held
    void report(const std::string& line) const;

    Log log_;
    Log status_;
    Socket listener_;
    std::uint16_t port_ = 0;
    std::chrono::milliseconds silenceLimit_{0};
    std::atomic<bool> active_{false};
    std::atomic<bool> stopping_{false};
    std::thread listenerThread_;
    std::thread receiverThread_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<MemberPtr> members_;
    int nextMemberId_ = 1;
    std::uint32_t generation_ = 0;
    std::unique_ptr<Distribution> distribution_;
};

} // namespace vortimax::net
