// The arithmetic ceiling of z^2 + c on this machine: the given number of double-precision
// steps run with no escape test, no loads and no bookkeeping at all, as six interleaved
// vectors per thread (AVX-512 where the processor has it, else AVX2) on every hardware
// thread. No program that computes the same steps can be faster, so a render's time over
// this one says how much of the machine it uses.
//
//   arithmetic_ceiling ITERATIONS [THREADS]

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

constexpr int kVectors = 6;

// Runs `rounds` steps of every lane of kVectors vectors of W doubles; returns a value that
// depends on the results so that the compiler keeps the work.
template <typename V, int W> [[gnu::always_inline]] inline double runSteps(std::int64_t rounds) {
    V zr[kVectors], zi[kVectors], cr[kVectors], ci[kVectors];
    for (int v = 0; v < kVectors; ++v) {
        zr[v] = zi[v] = V{};
        for (int w = 0; w < W; ++w) {
            cr[v][w] = -0.2 + 0.01 * (v * W + w);
            ci[v][w] = 0.1;
        }
    }
    const V two = V{} + 2.0;
    for (std::int64_t round = 0; round < rounds; ++round) {
#pragma GCC unroll 6
        for (int v = 0; v < kVectors; ++v) {
            const V zr2 = zr[v] * zr[v];
            const V zi2 = zi[v] * zi[v];
            zi[v] = two * zr[v] * zi[v] + ci[v];
            zr[v] = zr2 - zi2 + cr[v];
        }
    }
    double sink = 0.0;
    for (int v = 0; v < kVectors; ++v)
        sink += zr[v][0];
    return sink;
}

using V8 = double __attribute__((vector_size(64)));
using V4 = double __attribute__((vector_size(32)));

__attribute__((target("avx512f"))) double stepsAvx512(std::int64_t rounds) {
    return runSteps<V8, 8>(rounds);
}

__attribute__((target("avx2"))) double stepsAvx2(std::int64_t rounds) {
    return runSteps<V4, 4>(rounds);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: arithmetic_ceiling ITERATIONS [THREADS]\n");
        return 2;
    }
    const long long iterations = std::atoll(argv[1]);
    const int threads =
        argc == 3 ? std::atoi(argv[2]) : static_cast<int>(std::thread::hardware_concurrency());
    if (iterations < 1 || threads < 1) {
        std::fprintf(stderr, "arithmetic_ceiling: ITERATIONS and THREADS at least 1\n");
        return 2;
    }
    if (!__builtin_cpu_supports("avx2")) {
        std::fprintf(stderr, "arithmetic_ceiling: this processor has no AVX2\n");
        return 1;
    }
    const bool avx512 = __builtin_cpu_supports("avx512f");
    const int lanes = kVectors * (avx512 ? 8 : 4);
    const std::int64_t rounds = (iterations + std::int64_t{lanes} * threads - 1) / lanes / threads;

    const auto start = std::chrono::steady_clock::now();
    std::vector<double> sinks(static_cast<std::size_t>(threads));
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&, t] {
            sinks[static_cast<std::size_t>(t)] = avx512 ? stepsAvx512(rounds) : stepsAvx2(rounds);
        });
    for (auto& worker : workers)
        worker.join();
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    double sink = 0.0;
    for (double value : sinks)
        sink += value;
    std::printf("%s, %d threads%s: %lld iterations in %lld ms\n", avx512 ? "AVX-512" : "AVX2",
                threads, sink == 12345.0 ? " " : "", iterations,
                static_cast<long long>(spent.count()));
    return 0;
}
