// The plain scalar loop that speed figures are measured against: z^2 + c in double
// precision, one pixel after the other on one thread, squares reused, escape when
// |z|^2 > 4. Prints how many iterations the image took and how long, so that a whole-
// program figure can be set beside it in the same run.
//
//   scalar_baseline WIDTH HEIGHT MAXITER LEFT RIGHT TOP BOTTOM

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

std::int64_t iteratePixel(double cr, double ci, int maxIter) {
    double zr = 0.0, zi = 0.0, zr2 = 0.0, zi2 = 0.0;
    int n = 0;
    while (n < maxIter && zr2 + zi2 <= 4.0) {
        zi = 2.0 * zr * zi + ci;
        zr = zr2 - zi2 + cr;
        zr2 = zr * zr;
        zi2 = zi * zi;
        ++n;
    }
    return n;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 8) {
        std::fprintf(stderr, "usage: scalar_baseline WIDTH HEIGHT MAXITER LEFT RIGHT TOP BOTTOM\n");
        return 2;
    }
    const int width = std::atoi(argv[1]);
    const int height = std::atoi(argv[2]);
    const int maxIter = std::atoi(argv[3]);
    const double left = std::atof(argv[4]), right = std::atof(argv[5]);
    const double top = std::atof(argv[6]), bottom = std::atof(argv[7]);
    if (width < 2 || height < 2 || maxIter < 1) {
        std::fprintf(stderr, "scalar_baseline: WIDTH and HEIGHT at least 2, MAXITER at least 1\n");
        return 2;
    }
    const double stepX = (right - left) / (width - 1);
    const double stepY = (top - bottom) / (height - 1);
    const auto start = std::chrono::steady_clock::now();
    std::int64_t iterations = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            iterations += iteratePixel(left + x * stepX, top - y * stepY, maxIter);
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    std::printf("%lld iterations in %lld ms\n", static_cast<long long>(iterations),
                static_cast<long long>(spent.count()));
    return 0;
}
