#include "network/master.h"

#include "base/frontend.h"
#include "model/fractal_view.h"
#include "model/param_block.h"
#include "network/job_plan.h"
#include "network/message_assembler.h"
#include "network/messages.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <poll.h>

namespace vortimax::net {

using namespace std::chrono_literals;

namespace {

// A slave gets this long to send its handshake, and a member this long to take a
// message the master sends before it counts as gone.
constexpr int kHandshakeTimeoutMs = 5000;
constexpr int kSendTimeoutMs = 10000;
// At most this many members, as many as one select call of the original watched.
constexpr std::size_t kMostMembers = 64;
constexpr int kListenBacklog = 5;

std::string remainingText(const std::string& name, std::size_t remaining) {
    return "Member " + name + " is no longer available. " + std::to_string(remaining) +
           " member(s) remaining";
}

std::string invalidText(const std::string& problem) {
    return "sent a message that is not valid (" + problem + ")";
}

// "120.0 s", "0.3 s".
std::string secondsText(std::chrono::milliseconds span) {
    const auto ms = span.count();
    return std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100) + " s";
}

} // namespace

struct Master::Member {
    PeerName name{};
    std::string shownName; // the address until integrated, then the computer name
    Address address{};
    MachineInfo info;
    Socket task;
    Socket result;
    bool complete = false;
    bool gone = false;
    std::vector<int> pending;
    int rowsDone = 0;
    // The distribution the member was given (claimed before the fractal goes out), and
    // the one whose fractal it has: rows follow the fractal they belong to, never before.
    std::uint32_t joinedGeneration = 0;
    std::uint32_t fractalGeneration = 0;
    // When the member last sent results, or was given rows while it had none.
    std::chrono::steady_clock::time_point lastHeard;
    MessageAssembler assembler{kDisconnect, kResults}; // receiver thread only
    std::mutex sendMutex;
};

// Rows arrived for the running distribution, waiting to be written into the image.
struct ArrivedRow {
    int row;
    std::vector<float> values;
};

struct Master::Distribution {
    std::uint32_t generation = 0;
    int width = 0; // values per row
    int firstRow = 0;
    int lastRow = 0;
    std::vector<std::uint8_t> fractalMessage;
    std::deque<int> queue;
    std::vector<bool> awaited; // by row - firstRow
    std::size_t missing = 0;   // rows not arrived yet
    std::vector<ArrivedRow> arrived;
};

Master::Master(Log log, Log status) : log_(std::move(log)), status_(std::move(status)) {}

Master::~Master() {
    stop();
}

void Master::report(const std::string& line) const {
    if (log_)
        log_(line);
}

bool Master::start(const MasterOptions& options) {
    if (active_.load())
        return true;
    std::string step;
    int error = 0;
    listener_ = Socket::listenOn(options.port, options.bindAddress, kListenBacklog, step, error);
    if (!listener_.valid()) {
        if (step == "socket")
            report("Could not create MasterSocket, error: " + std::to_string(error) + "...\n");
        else if (step == "bind")
            report("Could not bind socket to a name, error: " + std::to_string(error) + "...\n");
        else
            report("Error: " + std::to_string(error));
        return false;
    }
    port_ = listener_.localPort();
    silenceLimit_ = options.silenceLimit;
    stopping_.store(false);
    active_.store(true);
    listenerThread_ = std::thread([this] { listen(); });
    receiverThread_ = std::thread([this] { receive(); });
    return true;
}

void Master::stop() {
    if (!active_.load())
        return;
    stopping_.store(true);
    changed_.notify_all();
    if (listenerThread_.joinable())
        listenerThread_.join();
    if (receiverThread_.joinable())
        receiverThread_.join();
    std::vector<MemberPtr> members;
    {
        std::lock_guard lock(mutex_);
        members.swap(members_);
        for (const MemberPtr& member : members)
            member->gone = true;
        distribution_.reset();
    }
    changed_.notify_all();
    const HeaderBytes bye = encodeHeader(kDisconnect, 0);
    for (const MemberPtr& member : members) {
        std::lock_guard sending(member->sendMutex);
        if (member->task.sendAll(bye)) {
            // The answer comes on the same connection; anything else queued before it
            // (results of the old fractal come on the other one) is not waited for.
            HeaderBytes answer{};
            const std::atomic<bool> never{false};
            member->task.receiveExactly(answer, never, 2000);
        }
        member->task.shutdown();
        member->result.shutdown();
    }
    listener_.close();
    active_.store(false);
}

std::size_t Master::completeMembers() const {
    return static_cast<std::size_t>(
        std::count_if(members_.begin(), members_.end(),
                      [](const MemberPtr& member) { return member->complete; }));
}

std::size_t Master::memberCount() const {
    std::lock_guard lock(mutex_);
    return completeMembers();
}

std::vector<MemberSummary> Master::members() const {
    std::lock_guard lock(mutex_);
    std::vector<MemberSummary> summaries;
    for (const MemberPtr& member : members_)
        summaries.push_back(
            MemberSummary{member->shownName, member->address, member->info, member->complete,
                          static_cast<int>(member->pending.size()), member->rowsDone});
    return summaries;
}

bool Master::waitForMembers(std::size_t count, const std::function<bool()>& giveUp) {
    std::unique_lock lock(mutex_);
    while (completeMembers() < count) {
        if ((giveUp && giveUp()) || stopping_.load())
            return false;
        changed_.wait_for(lock, 50ms);
    }
    return true;
}

// --- Listener ------------------------------------------------------------------------------

void Master::listen() {
    while (!stopping_.load()) {
        Address peer{};
        bool failed = false;
        Socket accepted = listener_.accept(100, peer, failed);
        if (failed) {
            report("Error in accepting...\n");
            std::this_thread::sleep_for(100ms);
            continue;
        }
        if (!accepted.valid())
            continue;
        report("Listener is accepting a connection");
        greet(std::move(accepted), peer);
    }
}

void Master::greet(Socket socket, const Address& peer) {
    std::array<std::uint8_t, kResultHandshakeSize> bytes{};
    if (socket.receiveExactly(bytes, stopping_, kHandshakeTimeoutMs) != Socket::Receive::Done) {
        if (!stopping_.load())
            report("A connection from " + addressText(peer) +
                   " ended before its handshake; it is closed");
        return;
    }
    const Greeting greeting = decodeGreeting(bytes);
    if (!peerNameText(greeting.name)) {
        report("A connection from " + addressText(peer) +
               " sent a name without a terminator; it is closed");
        return;
    }
    if (greeting.kind != kResultConnection)
        addTaskConnection(std::move(socket), peer, greeting.name);
    else
        addResultConnection(std::move(socket), peer, greeting.name);
}

void Master::addTaskConnection(Socket socket, const Address& peer, const PeerName& name) {
    InfoBlock block{};
    if (socket.receiveExactly(block, stopping_, kHandshakeTimeoutMs) != Socket::Receive::Done) {
        if (!stopping_.load())
            report("A connection from " + addressText(peer) +
                   " ended before its handshake; it is closed");
        return;
    }
    const std::optional<MachineInfo> info = decodeMachineInfo(block);
    if (!info) {
        report("A connection from " + addressText(peer) +
               " sent a machine description whose texts have no terminator; it is closed");
        return;
    }
    auto member = std::make_shared<Member>();
    member->name = name;
    member->shownName = *peerNameText(name);
    member->address = peer;
    member->info = *info;
    member->task = std::move(socket);
    member->task.setSendTimeout(kSendTimeoutMs);
    {
        std::lock_guard lock(mutex_);
        if (members_.size() >= kMostMembers) {
            report("A connection from " + addressText(peer) +
                   " is refused: the master has as many members as it takes");
            return;
        }
        members_.push_back(member);
    }
    report("Member " + info->computerName + " created");
}

void Master::addResultConnection(Socket socket, const Address& peer, const PeerName& name) {
    MemberPtr found;
    {
        std::lock_guard lock(mutex_);
        const auto waiting = [&](const MemberPtr& member) {
            return !member->complete && member->address == peer;
        };
        // The member whose name matches byte for byte (this program's slaves make every
        // name unique), else the earliest one of that name still waiting: several slaves
        // of one machine share the address that starts their names.
        auto match = std::find_if(members_.begin(), members_.end(), [&](const MemberPtr& m) {
            return waiting(m) && m->name == name;
        });
        if (match == members_.end())
            match = std::find_if(members_.begin(), members_.end(), [&](const MemberPtr& m) {
                return waiting(m) && peerNameText(m->name) == peerNameText(name);
            });
        if (match != members_.end()) {
            found = *match;
            found->result = std::move(socket);
            found->result.setBuffers(32768, 8192);
            found->shownName = found->info.computerName;
            found->complete = true;
        }
    }
    if (!found) {
        report("A second connection from " + addressText(peer) + " (" +
               peerNameText(name).value_or("") + ") matches no member; it is closed");
        return;
    }
    report("Member " + found->shownName + " integrated");
    changed_.notify_all();
    join(found);
}

// A member that completes while a fractal is being calculated takes part at once.
void Master::join(const MemberPtr& member) {
    std::vector<std::uint8_t> fractal;
    int width = 0;
    std::uint32_t generation = 0;
    {
        std::lock_guard lock(mutex_);
        if (!distribution_ || member->joinedGeneration == distribution_->generation)
            return;
        generation = distribution_->generation;
        member->joinedGeneration = generation;
        fractal = distribution_->fractalMessage;
        width = distribution_->width;
    }
    if (!send(member, fractal))
        return;
    {
        std::lock_guard lock(mutex_);
        member->fractalGeneration = generation;
    }
    member->result.setBuffers(std::max(width * 80, 8192), 8192);
    sendJobs(member, kFirstJobs);
}

// --- Receiver ------------------------------------------------------------------------------

void Master::receive() {
    std::vector<MemberPtr> watched;
    std::vector<pollfd> fds;
    while (!stopping_.load()) {
        watched.clear();
        {
            std::lock_guard lock(mutex_);
            for (const MemberPtr& member : members_)
                if (member->complete)
                    watched.push_back(member);
        }
        if (watched.empty()) {
            std::unique_lock lock(mutex_);
            changed_.wait_for(lock, 100ms);
            continue;
        }
        fds.clear();
        for (const MemberPtr& member : watched)
            fds.push_back(pollfd{member->result.fd(), POLLIN, 0});
        if (::poll(fds.data(), fds.size(), 100) <= 0)
            continue;
        for (std::size_t i = 0; i < watched.size(); ++i)
            if (fds[i].revents != 0)
                drain(watched[i]);
    }
}

// Reads what one member sent and handles every complete message in it.
void Master::drain(const MemberPtr& member) {
    std::vector<std::uint8_t> buffer(65536);
    for (int reads = 0; reads < 16; ++reads) {
        const long count = member->result.receiveWaiting(buffer);
        if (count == -1)
            break;
        if (count <= 0) {
            removeMember(member, "");
            return;
        }
        member->assembler.append(std::span(buffer.data(), static_cast<std::size_t>(count)));
        Message message;
        MessageAssembler::Status status;
        while ((status = member->assembler.next(message)) == MessageAssembler::Status::Message)
            if (!handle(member, message.type, message.payload))
                return;
        if (status == MessageAssembler::Status::Invalid) {
            removeMember(member, invalidText(member->assembler.problem()));
            return;
        }
    }
}

// False when the member is gone.
bool Master::handle(const MemberPtr& member, std::uint32_t type,
                    std::vector<std::uint8_t>& payload) {
    if (type == kDisconnect) {
        member->result.sendAll(encodeHeader(kDisconnect, 0));
        removeMember(member, "");
        return false;
    }
    return applyResults(member, payload);
}

bool Master::applyResults(const MemberPtr& member, std::vector<std::uint8_t>& payload) {
    DecodedResults decoded = decodeResults(payload);
    if (!decoded.message) {
        removeMember(member, invalidText(decoded.problem));
        return false;
    }
    ResultMessage& result = *decoded.message;
    int pending = 0;
    std::string problem;
    {
        std::lock_guard lock(mutex_);
        Distribution* job = distribution_.get();
        if (member->gone)
            return false;
        // Results of an earlier fractal are dropped and answered with nothing.
        if (job == nullptr || result.generation < job->generation)
            return true;
        if (result.generation > job->generation)
            problem = "results of a fractal that was never sent";
        else if (result.width != static_cast<std::uint32_t>(job->width))
            problem = "rows of " + std::to_string(result.width) + " values for a fractal of " +
                      std::to_string(job->width);
        else if (std::any_of(result.rows.begin(), result.rows.end(),
                             [&](int row) { return row < job->firstRow || row > job->lastRow; }))
            problem = "a row outside the image";
        if (problem.empty()) {
            for (std::size_t i = 0; i < result.rows.size(); ++i) {
                const int row = result.rows[i];
                std::erase(member->pending, row);
                auto awaited = job->awaited.begin() + (row - job->firstRow);
                if (!*awaited)
                    continue;
                *awaited = false;
                --job->missing;
                ++member->rowsDone;
                const auto from =
                    result.values.begin() + static_cast<std::ptrdiff_t>(i * result.width);
                job->arrived.push_back(
                    ArrivedRow{row, std::vector<float>(from, from + result.width)});
            }
            pending = static_cast<int>(member->pending.size());
            member->lastHeard = std::chrono::steady_clock::now();
        }
    }
    if (!problem.empty()) {
        removeMember(member, invalidText(problem));
        return false;
    }
    changed_.notify_all();
    if (status_)
        status_("Receiving " + std::to_string(result.rows.size()) + " tasks...");
    const int request = static_cast<int>(std::min<std::uint32_t>(result.request, kMostTarget));
    sendJobs(member, jobsToSend(request, pending));
    return !member->gone;
}

// --- Members -------------------------------------------------------------------------------

// Ends the member's connections and gives its rows back. An empty reason: it left (said
// so, or its connection closed); otherwise what it did wrong.
void Master::removeMember(const MemberPtr& member, const std::string& reason) {
    std::size_t remaining = 0;
    {
        std::lock_guard lock(mutex_);
        if (member->gone)
            return;
        member->gone = true;
        std::erase(members_, member);
        if (distribution_) {
            // Given-back rows go first: they are the oldest of the image.
            for (auto row = member->pending.rbegin(); row != member->pending.rend(); ++row)
                if (distribution_
                        ->awaited[static_cast<std::size_t>(*row - distribution_->firstRow)])
                    distribution_->queue.push_front(*row);
        }
        member->pending.clear();
        remaining = completeMembers();
    }
    if (reason.empty())
        report(remainingText(member->shownName, remaining));
    else
        report("Member " + member->shownName + " " + reason + "; its connection is closed. " +
               std::to_string(remaining) + " member(s) remaining");
    member->task.shutdown();
    member->result.shutdown();
    changed_.notify_all();
    topUpMembers();
}

// Rows given back are handed out at once: a member waiting for nothing would never ask.
void Master::topUpMembers() {
    std::vector<std::pair<MemberPtr, int>> shortOnes;
    {
        std::lock_guard lock(mutex_);
        if (!distribution_ || distribution_->queue.empty())
            return;
        for (const MemberPtr& member : members_) {
            const int pending = static_cast<int>(member->pending.size());
            if (member->complete && pending < kFirstJobs)
                shortOnes.emplace_back(member, kFirstJobs - pending);
        }
    }
    for (const auto& [member, count] : shortOnes)
        sendJobs(member, count);
}

void Master::sendJobs(const MemberPtr& member, int count) {
    std::vector<int> rows;
    {
        std::lock_guard lock(mutex_);
        if (!distribution_ || member->gone || !member->complete ||
            member->fractalGeneration != distribution_->generation)
            return;
        if (member->pending.empty())
            member->lastHeard = std::chrono::steady_clock::now();
        while (static_cast<int>(rows.size()) < count && !distribution_->queue.empty()) {
            rows.push_back(distribution_->queue.front());
            distribution_->queue.pop_front();
        }
        member->pending.insert(member->pending.end(), rows.begin(), rows.end());
    }
    if (!rows.empty())
        send(member, encodeJobs(rows));
}

bool Master::send(const MemberPtr& member, std::span<const std::uint8_t> bytes) {
    bool sent = false;
    {
        std::lock_guard sending(member->sendMutex);
        sent = member->task.valid() && member->task.sendAll(bytes);
    }
    if (!sent)
        removeMember(member, "");
    return sent;
}

// --- Distribution --------------------------------------------------------------------------

void Master::dropSilentMembers() {
    std::vector<MemberPtr> silent;
    {
        std::lock_guard lock(mutex_);
        const auto now = std::chrono::steady_clock::now();
        for (const MemberPtr& member : members_)
            if (member->complete && !member->pending.empty() &&
                now - member->lastHeard > silenceLimit_)
                silent.push_back(member);
    }
    for (const MemberPtr& member : silent)
        removeMember(member, "returned nothing for " + secondsText(silenceLimit_));
}

void Master::endDistribution() {
    std::lock_guard lock(mutex_);
    distribution_.reset();
    for (const MemberPtr& member : members_)
        member->pending.clear();
}

NetworkOutcome Master::calculate(FractalView& view, int x0, int y0, int x1, int y1) {
    FractalRecord& record = view.record();
    ImageBuffers& buffers = view.buffers();
    if (!active_.load() || x0 != 0 || x1 != buffers.width)
        return NetworkOutcome::NoMembers;
    std::vector<int> rows;
    for (int y = y0; y <= y1; ++y) {
        const float* cells = &buffers.value(0, y);
        if (std::find(cells + x0, cells + x1 + 1, 0.0f) != cells + x1 + 1)
            rows.push_back(y);
    }
    if (rows.empty())
        return NetworkOutcome::Finished;
    std::vector<MemberPtr> members;
    {
        std::lock_guard lock(mutex_);
        if (completeMembers() == 0)
            return NetworkOutcome::NoMembers;
        auto job = std::make_unique<Distribution>();
        job->generation = ++generation_;
        job->width = x1 - x0 + 1;
        job->firstRow = y0;
        job->lastRow = y1;
        job->fractalMessage = encodeFractal(record);
        storeInt(job->fractalMessage.data() + kHeaderSize + wire::kNetworkGeneration,
                 static_cast<std::int32_t>(job->generation));
        const std::vector<int> ordered = coarseToFine(rows);
        job->queue.assign(ordered.begin(), ordered.end());
        job->awaited.assign(static_cast<std::size_t>(y1 - y0 + 1), false);
        for (int row : rows)
            job->awaited[static_cast<std::size_t>(row - y0)] = true;
        job->missing = rows.size();
        distribution_ = std::move(job);
        for (const MemberPtr& member : members_) {
            member->pending.clear();
            if (member->complete)
                members.push_back(member);
        }
    }
    for (const MemberPtr& member : members)
        join(member);

    const double total = static_cast<double>(rows.size());
    std::size_t received = 0;
    const int shownWidth = buffers.width;
    std::vector<ArrivedRow> arrived;
    while (true) {
        bool complete = false;
        bool deserted = false;
        {
            std::unique_lock lock(mutex_);
            changed_.wait_for(lock, 20ms, [this] {
                return !distribution_ || !distribution_->arrived.empty() || completeMembers() == 0;
            });
            if (distribution_) {
                arrived.swap(distribution_->arrived);
                complete = distribution_->missing == 0;
            }
            deserted = completeMembers() == 0 || stopping_.load();
        }
        for (ArrivedRow& row : arrived) {
            std::copy(row.values.begin(), row.values.end(), &buffers.value(x0, row.row));
            if (const auto& colour = view.environment().hooks.colourRow) {
                std::lock_guard pixels(view.pixelLock());
                colour(view, x0, row.row, x1 - x0 + 1, 1);
            }
            if (Frontend* frontend = view.environment().frontend)
                frontend->viewChanged(view.id(), Rect{x0, row.row, shownWidth, 1});
            ++received;
        }
        arrived.clear();
        view.setProgress(static_cast<double>(received) / total);
        if (complete) {
            endDistribution();
            return NetworkOutcome::Finished;
        }
        if (view.mustStop()) {
            endDistribution();
            return NetworkOutcome::Stopped;
        }
        if (deserted) {
            endDistribution();
            return NetworkOutcome::NoMembers;
        }
        dropSilentMembers();
    }
}

} // namespace vortimax::net
