#include "cli/interruption.h"

#include <atomic>
#include <csignal>

namespace vortimax::cli {

namespace {

std::atomic<int> caught{0};
static_assert(std::atomic<int>::is_always_lock_free,
              "the signal handler may only touch a lock-free atomic");

constexpr int kCaughtSignals[] = {SIGINT, SIGTERM};
struct sigaction previous[std::size(kCaughtSignals)];

extern "C" void remember(int number) {
    caught.store(number);
}

} // namespace

Interruption::Interruption() {
    caught.store(0);
    struct sigaction action {};
    action.sa_handler = remember;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kCaughtSignals); ++i)
        sigaction(kCaughtSignals[i], &action, &previous[i]);
}

Interruption::~Interruption() {
    for (std::size_t i = 0; i < std::size(kCaughtSignals); ++i)
        sigaction(kCaughtSignals[i], &previous[i], nullptr);
}

int Interruption::signal() const {
    return caught.load();
}

int Interruption::exitStatus() const {
    return 128 + caught.load();
}

} // namespace vortimax::cli
