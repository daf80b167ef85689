#include "network/slave.h"

#include "model/fractal_record.h"
#include "network/job_plan.h"
#include "network/messages.h"

#include <algorithm>
#include <random>
#include <unistd.h>

namespace vortimax::net {

namespace {

constexpr std::string_view kLostText =
    "Network subsystem failed.\nConnection to master program no longer available.\nMost "
    "probably master has been shut down.\nIt is recommended that you restart the whole program.";
constexpr std::string_view kGracefulText = "Network subsystem disconnected gracefully";

std::string hostName() {
    char name[256] = {};
    if (gethostname(name, sizeof(name) - 1) != 0)
        return {};
    return name;
}

std::string connectFailedText(const Address& address, std::uint16_t port, int error) {
    return "Connection to master program failed.\nPlease ensure, that master program has been "
           "started on computer\n" +
           addressText(address) + " on port " + std::to_string(port) +
           ".\nError code is: " + std::to_string(error);
}

// Tells this slave's two connections from those of other slaves of the same machine.
std::uint64_t connectionToken() {
    std::random_device random;
    return (std::uint64_t{random()} << 32) ^ random() ^ static_cast<std::uint64_t>(getpid());
}

} // namespace

struct Slave::Fractal {
    std::unique_ptr<FractalRecord> record;
    std::uint32_t generation = 0;
    int width = 0; // values per row
    int height = 0;
};

Slave::Slave(RowCalculatorFactory calculators, Log log, Log status)
    : calculators_(std::move(calculators)), log_(std::move(log)), status_(std::move(status)) {}

Slave::~Slave() {
    disconnect();
}

bool Slave::connect(const std::string& host, std::uint16_t port, const SlaveIdentity& identity) {
    if (connected_.load() || receiver_.joinable())
        return false;
    const std::optional<Address> master = resolveAddress(host);
    if (!master) {
        log_("Cannot find the address of the master \"" + host + "\"");
        return false;
    }
    log_("Searching for master at " + addressText(*master) + ":" + std::to_string(port));
    log_("This is computer " + hostName());
    log_("Slave sockets successfully created");
    int error = 0;
    task_ = Socket::connectTo(*master, port, error);
    if (!task_.valid()) {
        log_(connectFailedText(*master, port, error));
        return false;
    }
    task_.setBuffers(8192, 1024);
    const Address own = task_.localAddress().value_or(Address{});
    const PeerName name = makePeerName(addressText(own), connectionToken());
    const MachineInfo info = describeThisMachine(own, identity.screenWidth, identity.screenHeight,
                                                 identity.bitsPerPixel);
    std::vector<std::uint8_t> first;
    const auto greeting = encodeGreeting(Greeting{kTaskConnection, name});
    const InfoBlock block = encodeMachineInfo(info);
    first.insert(first.end(), greeting.begin(), greeting.end());
    first.insert(first.end(), block.begin(), block.end());
    if (!task_.sendAll(first)) {
        log_(connectFailedText(*master, port, errno));
        task_.close();
        return false;
    }
    result_ = Socket::connectTo(*master, port, error);
    if (!result_.valid() || !result_.sendAll(encodeGreeting(Greeting{kResultConnection, name}))) {
        log_(connectFailedText(*master, port, error));
        task_.close();
        result_.close();
        return false;
    }
    result_.setBuffers(1024, 200000);
    log_("Slave sockets successfully connected");
    stopping_.store(false);
    graceful_.store(false);
    connected_.store(true);
    receiver_ = std::thread([this] { receiveTasks(); });
    worker_ = std::thread([this] { work(); });
    sender_ = std::thread([this] { sendResults(); });
    return true;
}

void Slave::endThreads() {
    stopping_.store(true);
    changed_.notify_all();
    for (std::thread* thread : {&worker_, &sender_, &receiver_})
        if (thread->joinable())
            thread->join();
}

void Slave::disconnect() {
    const bool wasConnected = connected_.load();
    endThreads();
    if (wasConnected && connected_.load() && result_.valid()) {
        // Say goodbye on the result connection and wait for the master's answer.
        if (result_.sendAll(encodeHeader(kDisconnect, 0))) {
            HeaderBytes answer{};
            const std::atomic<bool> never{false};
            result_.receiveExactly(answer, never, 2000);
        }
    }
    connected_.store(false);
    changed_.notify_all();
    task_.close();
    result_.close();
    std::lock_guard lock(mutex_);
    jobs_.clear();
    done_.clear();
    fractal_.reset();
}

bool Slave::waitUntilDisconnected(const std::function<bool()>& giveUp) {
    std::unique_lock lock(mutex_);
    while (connected_.load()) {
        if (giveUp && giveUp())
            return false;
        changed_.wait_for(lock, std::chrono::milliseconds(50));
    }
    return true;
}

// The connection is over without a goodbye: the master went away, or sent something that
// is not valid.
void Slave::lose(const std::string& reason) {
    if (stopping_.exchange(true))
        return;
    log_(reason.empty() ? std::string(kLostText) : reason);
    log_(std::string(kGracefulText));
    connected_.store(false);
    task_.shutdown();
    result_.shutdown();
    changed_.notify_all();
}

void Slave::receiveTasks() {
    std::vector<std::uint8_t> payload;
    while (!stopping_.load()) {
        HeaderBytes bytes{};
        Socket::Receive received = task_.receiveExactly(bytes, stopping_);
        if (received == Socket::Receive::Stopped)
            return;
        if (received != Socket::Receive::Done)
            return lose("");
        const Header header = decodeHeader(bytes);
        const auto limit = payloadLimit(header.type);
        if (header.type == kResults || !limit || header.size > *limit)
            return lose("The master sent a message of type " + std::to_string(header.type) +
                        " with " + std::to_string(header.size) +
                        " bytes, which is not valid; the connection is closed.");
        payload.resize(header.size);
        received = task_.receiveExactly(payload, stopping_);
        if (received == Socket::Receive::Stopped)
            return;
        if (received != Socket::Receive::Done)
            return lose("");
        if (!handleMessage(header.type, payload))
            return;
    }
}

// False when the connection is over.
bool Slave::handleMessage(std::uint32_t type, std::vector<std::uint8_t>& payload) {
    if (type == kFractal)
        return takeFractal(payload);
    if (type == kJobs)
        return takeJobs(payload);
    log_("Disconnecting network subsystem from master.");
    task_.sendAll(encodeHeader(kDisconnect, 0));
    graceful_.store(true);
    stopping_.store(true);
    result_.shutdown();
    log_(std::string(kGracefulText));
    connected_.store(false);
    changed_.notify_all();
    return false;
}

bool Slave::takeFractal(std::vector<std::uint8_t>& payload) {
    DecodedFractal decoded = decodeFractal(payload);
    if (!decoded.record) {
        lose("The master sent a fractal that is not valid (" + decoded.problem +
             "); the connection is closed.");
        return false;
    }
    const MadeCalculator made = calculators_(*decoded.record);
    if (!made.calculator) {
        // Leave, so that the master gives the rows to others.
        log_("Cannot calculate the master's fractal: " + made.problem);
        {
            std::lock_guard sending(resultSendMutex_);
            result_.sendAll(encodeHeader(kDisconnect, 0));
        }
        stopping_.store(true);
        log_(std::string(kGracefulText));
        connected_.store(false);
        changed_.notify_all();
        return false;
    }
    auto fractal = std::make_shared<Fractal>();
    fractal->generation = decoded.record->networkGeneration;
    fractal->width = decoded.record->width + 1;
    fractal->height = decoded.record->height;
    fractal->record = std::move(decoded.record);
    {
        std::lock_guard lock(mutex_);
        jobs_.clear();
        std::erase_if(done_,
                      [&](const Task& task) { return task.generation != fractal->generation; });
        outstanding_ = 0;
        target_ = kLeastTarget;
        generation_.store(fractal->generation);
        fractal_ = fractal;
    }
    result_.setBuffers(8192, std::max(fractal->width * 80, 8192));
    changed_.notify_all();
    return true;
}

bool Slave::takeJobs(std::vector<std::uint8_t>& payload) {
    const std::optional<std::vector<int>> rows = decodeJobs(payload);
    std::string problem;
    {
        std::lock_guard lock(mutex_);
        if (!rows)
            problem = "a job message whose count does not match its size";
        else if (!fractal_)
            problem = "rows before any fractal";
        else if (std::any_of(rows->begin(), rows->end(),
                             [&](int row) { return row >= fractal_->height; }))
            problem = "a row outside the image";
        else {
            for (int row : *rows)
                jobs_.push_back(Task{fractal_->generation, row, fractal_->width, {}});
            outstanding_ = std::max(0, outstanding_ - static_cast<int>(rows->size()));
        }
    }
    if (!problem.empty()) {
        lose("The master sent " + problem + "; the connection is closed.");
        return false;
    }
    changed_.notify_all();
    return true;
}

void Slave::work() {
    std::shared_ptr<Fractal> current;
    std::unique_ptr<RowCalculator> calculator;
    while (true) {
        Task task;
        std::shared_ptr<Fractal> fractal;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_.load() || !jobs_.empty(); });
            if (stopping_.load())
                return;
            task = std::move(jobs_.front());
            jobs_.pop_front();
            fractal = fractal_;
        }
        if (!fractal || fractal->generation != task.generation)
            continue;
        if (fractal != current) {
            current = fractal;
            calculator = calculators_(*current->record).calculator;
        }
        if (!calculator)
            continue;
        task.values.assign(static_cast<std::size_t>(task.width), 0.0f);
        const std::uint32_t generation = task.generation;
        calculator->computeRow(task.row, task.values, [this, generation] {
            return stopping_.load() || generation_.load() != generation;
        });
        const bool whole =
            std::find(task.values.begin(), task.values.end(), 0.0f) == task.values.end();
        {
            std::lock_guard lock(mutex_);
            if (!whole || generation_.load() != generation || stopping_.load())
                continue;
            done_.push_back(std::move(task));
        }
        changed_.notify_all();
    }
}

void Slave::sendResults() {
    while (true) {
        ResultMessage message;
        std::size_t queued = 0;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_.load() || !done_.empty(); });
            if (stopping_.load())
                return;
            const Task& first = done_.front();
            message.generation = first.generation;
            message.width = static_cast<std::uint32_t>(first.width);
            const int most = rowsPerResult(message.width);
            while (!done_.empty() && static_cast<int>(message.rows.size()) < most &&
                   done_.front().generation == message.generation &&
                   static_cast<std::uint32_t>(done_.front().width) == message.width) {
                message.rows.push_back(done_.front().row);
                message.values.insert(message.values.end(), done_.front().values.begin(),
                                      done_.front().values.end());
                done_.pop_front();
            }
            const RequestPlan plan =
                planRequest(target_, static_cast<int>(jobs_.size()), outstanding_);
            target_ = plan.target;
            outstanding_ += plan.request;
            message.request = static_cast<std::uint32_t>(plan.request);
            queued = jobs_.size();
        }
        if (status_)
            status_(std::to_string(queued) + " jobs in queue");
        bool sent = false;
        {
            std::lock_guard sending(resultSendMutex_);
            sent = result_.sendAll(encodeResults(message));
        }
        if (!sent) {
            if (!stopping_.load())
                lose("");
            return;
        }
    }
}

} // namespace vortimax::net
