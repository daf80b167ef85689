#include "animation/time_warp.h"

#include <cmath>
#include <cstddef>

namespace vortimax {

double warpedPosition(double p, const std::vector<double>& xs, const std::vector<double>& ys) {
    const std::size_t n = xs.size() < ys.size() ? xs.size() : ys.size();
    for (std::size_t j = 1; j < n; ++j) {
        if (!(xs[j - 1] <= p && p < xs[j]))
            continue;
        const double a = ys[j - 1], b = ys[j];
        const double h = xs[j] - xs[j - 1];
        if (a == b || !(h > 0.0))
            return p;
        const double d = std::fabs(b - a);
        const double tau = (p - xs[j - 1]) / h;
        const double v =
            b > a ? a - 1.0 + std::pow(d + 1.0, tau) : b - 1.0 + std::pow(d + 1.0, 1.0 - tau);
        const double warped = xs[j - 1] + (v - a) / (b - a) * h;
        return std::isfinite(warped) ? warped : p;
    }
    return p;
}

} // namespace vortimax
