#pragma once

#include <array>
#include <optional>

namespace vortimax {

// Filter numbers of a fractal record.
enum ImageFilterNumber {
    kFilterOriginal = 0,
    kFilterEdges = 1,
    kFilterEdgesHorizontal = 2,
    kFilterEdgesVertical = 3,
    kFilterSmooth = 4,
    kFilterEnhance = 5,
    kFilterAntiAlias = 6,
};

// A 3 x 3 kernel: weights[dr + 1][dc + 1] for the neighbour dr rows (upwards, as the
// bitmap counts them) and dc columns away, and the divisor of the weighted sum. Whole
// numbers, so that a kernel whose weights sum to its divisor keeps a uniform image
// exactly (smoothing's 0.4, 0.1 and 0.05 are 8, 2 and 1 twentieths).
struct ConvolutionKernel {
    std::array<std::array<int, 3>, 3> weights;
    int divisor;
};

// The kernel of filters 1 to 5; nothing for the others.
std::optional<ConvolutionKernel> convolutionKernel(int filter);

} // namespace vortimax
