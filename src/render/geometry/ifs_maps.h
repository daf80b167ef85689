#pragma once

// The affine maps of an IFS definition with their coefficients evaluated, and the choice
// of a map by probability.

#include <array>
#include <cstddef>
#include <vector>

namespace vortimax {

struct IfsEntry;

// One map: x' = a0 x + a1 y + a2 z + a9, y' = a3 x + a4 y + a5 z + a10,
// z' = a6 x + a7 y + a8 z + a11, chosen with weight `probability`.
struct IfsMap {
    std::array<double, 12> a{};
    double probability = 0.0;

    void apply(double& x, double& y, double& z) const {
        const double nx = a[0] * x + a[1] * y + a[2] * z + a[9];
        const double ny = a[3] * x + a[4] * y + a[5] * z + a[10];
        const double nz = a[6] * x + a[7] * y + a[8] * z + a[11];
        x = nx;
        y = ny;
        z = nz;
    }
};

// What the coefficient expressions may read: Parm1 ... Parm4 of the fractal as the real
// parts of the formula words p1 ... p4 (their imaginary parts are 0), and the fractal's
// MaxIter, width and height as the words maxiter, width and height.
struct IfsExpressionInputs {
    std::array<double, 4> parms{};
    int maxIter = 0;
    int width = 0;
    int height = 0;
};

class IfsMapSet {
public:
    static constexpr double kMostProbability = 1e300;

    IfsMapSet() = default;
    // Takes the maps in order. A probability that is negative or not finite counts as 0:
    // it can never be chosen and adds nothing to the total. One above kMostProbability
    // counts as that much, so the total stays finite.
    explicit IfsMapSet(std::vector<IfsMap> maps);

    const std::vector<IfsMap>& maps() const { return maps_; }
    bool empty() const { return maps_.empty(); }
    // P, the sum of all probabilities.
    double total() const { return total_; }

    // The first map whose running sum of probabilities (p0, p0 + p1, ...) is not below
    // r. When rounding leaves every running sum just under r, the
    // last map with a non-zero probability. When every probability is 0, r = 0 picks the
    // first map. Never called on an empty set.
    std::size_t choose(double r) const;

private:
    std::vector<IfsMap> maps_;
    std::vector<double> runningSums_;
    double total_ = 0.0;
    std::size_t lastLikely_ = 0; // the last map with a non-zero probability
};

// Evaluates every element of every transformation of the definition (an empty element or
// one without code is 0).
IfsMapSet evaluateIfsMaps(const IfsEntry& entry, const IfsExpressionInputs& inputs);

} // namespace vortimax
