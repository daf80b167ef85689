#pragma once

#include "render/tierazon/orbit_filters.h"

namespace vortimax {

// Statistics of the orbit that `Analysis` values 36 ... 55 select, in that order: the first
// twenty of the statistic list (mean, variance, minimum and maximum of the real and
// imaginary parts, seven parts of the first orbit value, five mean growth coefficients).
constexpr int kStatisticCount = 20;

// The statistic of number `index` (0 ... 19); other numbers get the first.
const OrbitFilter& orbitStatistic(int index);

} // namespace vortimax
