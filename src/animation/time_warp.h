#pragma once

#include <vector>

namespace vortimax {

// Whether a descriptor's time-warp field asks for logarithmic time.
inline bool logarithmicTime(unsigned timeWarp) {
    return (timeWarp & 3u) != 0;
}

// Logarithmic time: the position p moved within its interval of the keys (xs, ys) so that
// the value changes at a logarithmic pace. In the interval j with a = y_(j-1), b = y_j,
// d = |b - a|, h = x_j - x_(j-1) and tau = (p - x_(j-1)) / h, the value
//   v = a - 1 + (d + 1)^tau         when b > a,
//   v = b - 1 + (d + 1)^(1 - tau)   when b < a,
// which starts at one key's value and ends at the other's, is turned back into the
// position x_(j-1) + (v - a) / (b - a) h. Equal values and positions outside the keys
// keep p.
double warpedPosition(double p, const std::vector<double>& xs, const std::vector<double>& ys);

} // namespace vortimax
