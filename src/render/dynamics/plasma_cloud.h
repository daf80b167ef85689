#pragma once

#include <cstdint>
#include <functional>

namespace vortimax {

class FractalRecord;

struct PlasmaParams {
    double sigma = 0.0; // displacement scale
    double h = 0.0;     // roughness exponent
    std::uint32_t seed = 0;
};

PlasmaParams readPlasmaParams(const FractalRecord& record);

// The Gaussian sample made of four raw draws of the random generator whose sum is
// `sumOfFourDraws`: mean 0, variance about 1. The sum of four 31-bit draws needs 33 bits.
double gaussianFromDraws(std::uint64_t sumOfFourDraws);
// Draws four raw values from the generator and makes them a Gaussian sample.
double drawGaussian(std::uint32_t& seed);

// The value cells of an image: row y (from the bottom) starts at cells + y * stride.
struct ValueGrid {
    float* cells = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;

    float& at(int x, int y) const { return cells[static_cast<std::ptrdiff_t>(y) * stride + x]; }
};

// Fills the grid with a plasma cloud by midpoint displacement, the generator started from
// the seed, so that the same parameters and size always give the same cloud.
//
// The four corner pixels get g Sigma sqrt(W^2 + H^2) (g a Gaussian sample). Then each
// rectangle, the whole image first at level k = 1, is subdivided until both its width
// and height are below 2: its centre value c is the mean of its corners plus
// g sqrt(w^2 + h^2) s_k, with s_k = Sigma (0.5^H)^k. A rectangle at least twice as wide as
// high gets its top and bottom midpoints and splits into a left and a right half; one at
// least twice as high as wide gets its left and right midpoints and splits into a lower
// and an upper half; any other stores c at its centre, gets all four edge midpoints and
// splits into quadrants (lower-left, lower-right, upper-right, upper-left). An edge
// midpoint that holds a value already keeps it; otherwise it gets the mean of its edge's
// two corners, c and, when it lies inside the image and holds a value, the centre of the
// neighbouring rectangle beyond the edge, plus g sqrt(dx^2 + dy^2) s_k (dx, dy: from the
// rectangle's corner to its centre). A cell holds a value when it is not 0.
//
// The rectangles wait on an explicit stack, so no image size deepens the call stack.
// mustStop is asked before every rectangle, and progress(fraction) is told the share of
// the image the finished rectangles cover now and then. Returns false when stopped, with
// the values found so far left in the grid.
bool fillPlasma(const ValueGrid& grid, const PlasmaParams& params,
                const std::function<bool()>& mustStop, const std::function<void(double)>& progress);

} // namespace vortimax
