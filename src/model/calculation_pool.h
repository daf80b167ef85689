#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <mutex>
#include <thread>
#include <vector>

namespace vortimax {

// Threads shared by every calculation of the process. A job is a numbered list of items
// (the rows of a pass); the thread that runs the job works on it too, and the pool's
// threads join in. When several jobs run at once (several open fractals), each pool
// thread takes its next item from the next job in turn, so the jobs share the pool
// fairly.
class CalculationPool {
public:
    // work(slot, index) runs item `index`. `slot` tells the threads of one job apart
    // (0 is the calling thread, 1 ... threads - 1 the pool's), so that work can keep
    // per-thread state in a vector of threadCount() entries. It returns false to stop
    // the job: no further item starts.
    using Work = std::function<bool(int slot, int index)>;

    static constexpr int kMostThreads = 256;

    // The pool of the process.
    static CalculationPool& shared();
    // The number of hardware threads (at least 1).
    static int hardwareThreads();

    CalculationPool();
    ~CalculationPool();
    CalculationPool(const CalculationPool&) = delete;
    CalculationPool& operator=(const CalculationPool&) = delete;

    // Threads one job may use, its own thread included (clamped to 1 ... 256). Jobs
    // that start afterwards use the new number.
    void setThreadCount(int threads);
    int threadCount() const;
    // The nice value of the pool's threads (see ViewEnvironment::workerNice).
    void setNice(int nice);

    // Runs items 0 ... count - 1 on at most `threads` threads (normally threadCount(),
    // read once by the caller, which sizes its per-thread state by it) and returns when
    // every item that started has ended. Returns false when an item stopped the job.
    bool run(int count, int threads, const Work& work);

private:
    struct Job;

    void threadMain(int slot);
    Job* nextJobFor(int slot);
    void runItem(Job& job, int slot, std::unique_lock<std::mutex>& lock);
    void startThreads(int wanted);

    mutable std::mutex mutex_;
    std::condition_variable workAvailable_;
    std::list<Job*> jobs_;
    std::size_t turn_ = 0; // which job a pool thread serves next
    // Counts the jobs posted (and the end of the pool), so that an idle thread can watch
    // for work without the lock.
    std::atomic<std::uint64_t> posted_ = 0;
    std::vector<std::thread> threads_;
    int threadCount_;
    int nice_ = 0;
    bool ending_ = false;
};

} // namespace vortimax
