// A hand-written vector loop to set beside the program: the z^2 + c image of
// scalar_baseline computed on every hardware thread with six interleaved vectors of lanes
// (AVX-512 where the processor has it, else AVX2), blocks of 8 steps whose escape tests
// are only gathered, and the overshoot of a lane that left undone by re-running its block
// one step at a time. Its counts equal the scalar loop's. It does none of the program's
// work around the loop (stop requests, progress, colouring, pass order), so the program's
// time over this one shows how much that work and its own bookkeeping cost on this
// machine.
//
//   vector_reference WIDTH HEIGHT MAXITER LEFT RIGHT TOP BOTTOM [THREADS]

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

constexpr int kVectors = 6;
constexpr int kBlock = 8;

struct Image {
    int width, height, maxIter;
    double left, stepX, top, stepY;
};

// One pixel of the plain loop from a given state: the steps it takes, at most `limit`.
int stepOneByOne(double& zr, double& zi, double cr, double ci, int limit) {
    double zr2 = zr * zr, zi2 = zi * zi;
    int n = 0;
    while (n < limit) {
        zi = 2.0 * zr * zi + ci;
        zr = zr2 - zi2 + cr;
        zr2 = zr * zr;
        zi2 = zi * zi;
        ++n;
        if (zr2 + zi2 > 4.0)
            break;
    }
    return n;
}

// Hands out pixels row by row; rows are claimed from a counter shared by the threads.
class PixelStream {
public:
    PixelStream(const Image& image, std::atomic<int>& nextRow)
        : image_(image), nextRow_(nextRow), x_(image.width) {}
    bool next(double& cr, double& ci) {
        if (x_ == image_.width) {
            y_ = nextRow_.fetch_add(1);
            if (y_ >= image_.height)
                return false;
            x_ = 0;
        }
        cr = image_.left + x_ * image_.stepX;
        ci = image_.top - y_ * image_.stepY;
        ++x_;
        return true;
    }

private:
    const Image& image_;
    std::atomic<int>& nextRow_;
    int x_;
    int y_ = 0;
};

template <int W> struct LaneState {
    static constexpr int kLanes = kVectors * W;
    alignas(64) double zr[kLanes], zi[kLanes], cr[kLanes], ci[kLanes];
    int n[kLanes];
    bool busy[kLanes];
};

// Runs one thread's share; returns the iterations it counted. V is a vector of W doubles.
template <typename V, int W>
[[gnu::always_inline]] inline std::int64_t renderShare(const Image& image,
                                                       std::atomic<int>& nextRow) {
    using Mask = decltype(V{} > V{});
    PixelStream stream(image, nextRow);
    LaneState<W> s{};
    std::int64_t iterations = 0;
    bool more = true;
    auto refill = [&](int lane) {
        s.busy[lane] = more && stream.next(s.cr[lane], s.ci[lane]);
        more = s.busy[lane];
        s.zr[lane] = s.zi[lane] = 0.0;
        s.n[lane] = 0;
    };
    for (int lane = 0; lane < LaneState<W>::kLanes; ++lane)
        refill(lane);
    const V four = V{} + 4.0, two = V{} + 2.0;
    for (;;) {
        bool anyBusy = false;
        for (int lane = 0; lane < LaneState<W>::kLanes; ++lane)
            anyBusy |= s.busy[lane];
        if (!anyBusy)
            return iterations;
        V zr[kVectors], zi[kVectors], cr[kVectors], ci[kVectors], zr2[kVectors], zi2[kVectors];
        Mask out[kVectors];
        for (int v = 0; v < kVectors; ++v) {
            __builtin_memcpy(&zr[v], s.zr + v * W, sizeof(V));
            __builtin_memcpy(&zi[v], s.zi + v * W, sizeof(V));
            __builtin_memcpy(&cr[v], s.cr + v * W, sizeof(V));
            __builtin_memcpy(&ci[v], s.ci + v * W, sizeof(V));
            zr2[v] = zr[v] * zr[v];
            zi2[v] = zi[v] * zi[v];
            out[v] = Mask{};
        }
        for (int step = 0; step < kBlock; ++step) {
#pragma GCC unroll 6
            for (int v = 0; v < kVectors; ++v) {
                zi[v] = two * zr[v] * zi[v] + ci[v];
                zr[v] = zr2[v] - zi2[v] + cr[v];
                zr2[v] = zr[v] * zr[v];
                zi2[v] = zi[v] * zi[v];
                out[v] |= zr2[v] + zi2[v] > four;
            }
        }
        for (int v = 0; v < kVectors; ++v) {
            for (int w = 0; w < W; ++w) {
                const int lane = v * W + w;
                if (!s.busy[lane])
                    continue;
                const int left = image.maxIter - s.n[lane];
                if (out[v][w] == 0 && left > kBlock) {
                    s.zr[lane] = zr[v][w];
                    s.zi[lane] = zi[v][w];
                    s.n[lane] += kBlock;
                    continue;
                }
                // Left within the block, or too near MaxIter: the block again, step by step.
                const int steps = stepOneByOne(s.zr[lane], s.zi[lane], s.cr[lane], s.ci[lane],
                                               left < kBlock ? left : kBlock);
                s.n[lane] += steps;
                const bool escaped = s.zr[lane] * s.zr[lane] + s.zi[lane] * s.zi[lane] > 4.0;
                if (escaped || s.n[lane] == image.maxIter) {
                    iterations += s.n[lane];
                    refill(lane);
                }
            }
        }
    }
}

using V8 = double __attribute__((vector_size(64)));
using V4 = double __attribute__((vector_size(32)));

__attribute__((target("avx512f"))) std::int64_t renderAvx512(const Image& image,
                                                             std::atomic<int>& nextRow) {
    return renderShare<V8, 8>(image, nextRow);
}

__attribute__((target("avx2"))) std::int64_t renderAvx2(const Image& image,
                                                        std::atomic<int>& nextRow) {
    return renderShare<V4, 4>(image, nextRow);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 8 && argc != 9) {
        std::fprintf(stderr, "usage: vector_reference WIDTH HEIGHT MAXITER LEFT RIGHT TOP BOTTOM "
                             "[THREADS]\n");
        return 2;
    }
    Image image{};
    image.width = std::atoi(argv[1]);
    image.height = std::atoi(argv[2]);
    image.maxIter = std::atoi(argv[3]);
    const double left = std::atof(argv[4]), right = std::atof(argv[5]);
    const double top = std::atof(argv[6]), bottom = std::atof(argv[7]);
    const int threads =
        argc == 9 ? std::atoi(argv[8]) : static_cast<int>(std::thread::hardware_concurrency());
    if (image.width < 2 || image.height < 2 || image.maxIter < 1 || threads < 1) {
        std::fprintf(stderr, "vector_reference: WIDTH and HEIGHT at least 2, MAXITER and "
                             "THREADS at least 1\n");
        return 2;
    }
    if (!__builtin_cpu_supports("avx2")) {
        std::fprintf(stderr, "vector_reference: this processor has no AVX2\n");
        return 1;
    }
    image.left = left;
    image.top = top;
    image.stepX = (right - left) / (image.width - 1);
    image.stepY = (top - bottom) / (image.height - 1);
    const bool avx512 = __builtin_cpu_supports("avx512f");

    const auto start = std::chrono::steady_clock::now();
    std::atomic<int> nextRow{0};
    std::vector<std::int64_t> counts(static_cast<std::size_t>(threads));
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&, t] {
            counts[static_cast<std::size_t>(t)] =
                avx512 ? renderAvx512(image, nextRow) : renderAvx2(image, nextRow);
        });
    for (auto& worker : workers)
        worker.join();
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    std::int64_t iterations = 0;
    for (std::int64_t count : counts)
        iterations += count;
    std::printf("%lld iterations in %lld ms (%s, %d threads)\n", static_cast<long long>(iterations),
                static_cast<long long>(spent.count()), avx512 ? "AVX-512" : "AVX2", threads);
    return 0;
}
