// The batch evaluator's loops built for AVX2 (this file's own compiler flags; never
// FMA contraction, so every lane computes exactly what the portable loops compute).

#define LANE_ISA_NAMESPACE lanes_avx2
#include "formula/formula_lane_kernels.h"

#include <cstddef>

namespace vortimax::lanes_avx2 {

LaneOpRun runner(LaneOpKind kind) {
    return kLaneRunners[static_cast<std::size_t>(kind)];
}

LaneStepEnd stepEndLoop() {
    return stepEnd;
}

LaneQuadraticBlock quadraticLoop() {
    return quadraticBlock;
}

} // namespace vortimax::lanes_avx2
