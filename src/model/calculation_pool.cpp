#include "model/calculation_pool.h"

#include <algorithm>
#include <cfenv>
#include <chrono>
#include <iterator>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vortimax {

namespace {

constexpr int kUnknownNice = 1000;

// How long a thread that ran out of work stays awake for more before it sleeps. The
// passes of a calculation follow each other closely, and waking a sleeping thread can
// take milliseconds on a busy or virtual machine: longer than a whole pass of a quick
// image.
constexpr auto kAwakeFor = std::chrono::milliseconds(3);

// Unlocks `lock` while `waiting()` holds, for at most kAwakeFor, giving the processor to
// anything else that wants it meanwhile; returns with `lock` locked again. The caller
// checks again under the lock what it waited for.
template <typename Waiting>
void stayAwakeWhile(std::unique_lock<std::mutex>& lock, Waiting&& waiting) {
    lock.unlock();
    const auto until = std::chrono::steady_clock::now() + kAwakeFor;
    while (waiting() && std::chrono::steady_clock::now() < until)
        std::this_thread::yield();
    lock.lock();
}

void applyNice(int nice) {
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), nice);
}

} // namespace

struct CalculationPool::Job {
    const Work* work = nullptr;
    int count = 0;
    int slots = 1;                // threads this job may use
    int next = 0;                 // the next item to start
    std::atomic<int> running = 0; // items started and not yet ended
    bool stopped = false;
    std::condition_variable ended;

    bool hasItemFor(int slot) const { return !stopped && next < count && slot < slots; }
};

CalculationPool& CalculationPool::shared() {
    static CalculationPool pool;
    return pool;
}

int CalculationPool::hardwareThreads() {
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

CalculationPool::CalculationPool() : threadCount_(hardwareThreads()) {}

CalculationPool::~CalculationPool() {
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
        ++posted_;
    }
    workAvailable_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

void CalculationPool::setThreadCount(int threads) {
    std::lock_guard lock(mutex_);
    threadCount_ = std::clamp(threads, 1, kMostThreads);
}

int CalculationPool::threadCount() const {
    std::lock_guard lock(mutex_);
    return threadCount_;
}

void CalculationPool::setNice(int nice) {
    std::lock_guard lock(mutex_);
    nice_ = nice;
}

// Pool threads are made when a job first wants them and live as long as the process.
void CalculationPool::startThreads(int wanted) {
    while (static_cast<int>(threads_.size()) < wanted - 1) {
        const int slot = static_cast<int>(threads_.size()) + 1;
        threads_.emplace_back([this, slot] { threadMain(slot); });
    }
}

bool CalculationPool::run(int count, int threads, const Work& work) {
    Job job;
    job.work = &work;
    job.count = count;
    job.slots = std::clamp(threads, 1, kMostThreads);
    std::unique_lock lock(mutex_);
    startThreads(job.slots);
    jobs_.push_back(&job);
    ++posted_;
    lock.unlock();
    workAvailable_.notify_all();
    lock.lock();
    while (job.hasItemFor(0))
        runItem(job, 0, lock);
    if (job.running != 0)
        stayAwakeWhile(lock, [&] { return job.running.load() != 0; });
    job.ended.wait(lock, [&] { return job.running == 0; });
    jobs_.remove(&job);
    return !job.stopped;
}

// The next job with an item for this pool thread, taking the jobs in turn.
CalculationPool::Job* CalculationPool::nextJobFor(int slot) {
    const std::size_t n = jobs_.size();
    for (std::size_t k = 0; k < n; ++k) {
        auto it = jobs_.begin();
        std::advance(it, static_cast<std::ptrdiff_t>((turn_ + k) % n));
        if ((*it)->hasItemFor(slot)) {
            turn_ = (turn_ + k + 1) % n;
            return *it;
        }
    }
    return nullptr;
}

void CalculationPool::runItem(Job& job, int slot, std::unique_lock<std::mutex>& lock) {
    const int index = job.next++;
    ++job.running;
    lock.unlock();
    const bool goOn = (*job.work)(slot, index);
    lock.lock();
    if (!goOn)
        job.stopped = true;
    if (--job.running == 0)
        job.ended.notify_all();
}

void CalculationPool::threadMain(int slot) {
    // Calculations rely on infinities and NaN, never on traps.
    fedisableexcept(FE_ALL_EXCEPT);
    // A new thread inherits the nice value of the thread that made it.
    int appliedNice = kUnknownNice;
    std::unique_lock lock(mutex_);
    for (;;) {
        Job* job = ending_ ? nullptr : nextJobFor(slot);
        if (job == nullptr && !ending_) {
            const std::uint64_t seen = posted_;
            stayAwakeWhile(lock, [&] { return posted_.load() == seen; });
        }
        workAvailable_.wait(lock, [&] { return ending_ || (job = nextJobFor(slot)) != nullptr; });
        if (ending_)
            return;
        if (nice_ != appliedNice) {
            appliedNice = nice_;
            applyNice(appliedNice);
        }
        runItem(*job, slot, lock);
    }
}

} // namespace vortimax
