#include "base/abortable_load.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace vortimax {

namespace {
constexpr auto kAbortNoticeInterval = std::chrono::milliseconds(100);
} // namespace

bool runAbortableLoad(Frontend& frontend, std::string_view title, const AbortableWork& work) {
    std::atomic<bool> abortFlag{false};
    bool stopped = false;
    auto tell = [&] {
        frontend.messageBox(kAbortingCaption, kLoadAbortedText, MessageButtons::Ok,
                            MessageIcon::Information);
    };
    frontend.runWithProgress(title, abortFlag, [&](Progress& progress) {
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        std::exception_ptr failure;
        // A jthread: should a box throw, the loader is still waited for.
        std::jthread loader([&] {
            try {
                stopped = work(progress);
            } catch (...) {
                failure = std::current_exception();
            }
            std::lock_guard lock(mutex);
            done = true;
            finished.notify_all();
        });
        bool told = false;
        {
            std::unique_lock lock(mutex);
            while (!done) {
                if (abortFlag.load()) {
                    lock.unlock();
                    tell();
                    told = true;
                    lock.lock();
                }
                finished.wait_for(lock, kAbortNoticeInterval, [&] { return done; });
            }
        }
        loader.join();
        if (failure)
            std::rethrow_exception(failure);
        if (stopped && !told)
            tell();
    });
    return stopped;
}

} // namespace vortimax
