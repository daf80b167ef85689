#include "render/filters/convolution_kernels.h"

namespace vortimax {

namespace {

// Rows from the one below (dr = -1) to the one above.
constexpr std::array<ConvolutionKernel, 5> kKernels = {{
    {{{{-1, -1, -1}, {-1, 8, -1}, {-1, -1, -1}}}, 6}, // edge detection
    {{{{-1, -1, -1}, {1, 1, 1}, {0, 0, 0}}}, 1},      // horizontal edges
    {{{{-1, 1, 0}, {-1, 1, 0}, {-1, 1, 0}}}, 1},      // vertical edges
    {{{{1, 2, 1}, {2, 8, 2}, {1, 2, 1}}}, 20},        // smooth
    {{{{0, -1, 0}, {-1, 10, -1}, {0, -1, 0}}}, 6},    // enhance detail
}};

} // namespace

std::optional<ConvolutionKernel> convolutionKernel(int filter) {
    if (filter < kFilterEdges || filter > kFilterEnhance)
        return std::nullopt;
    return kKernels[static_cast<std::size_t>(filter - kFilterEdges)];
}

} // namespace vortimax
