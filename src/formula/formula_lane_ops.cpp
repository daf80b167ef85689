#include "formula/formula_lane_ops.h"

#define LANE_ISA_NAMESPACE lanes_portable
#include "formula/formula_lane_kernels.h"

#include <cstddef>

namespace vortimax {

// The builds for wider vectors (formula_lane_ops_avx2.cpp, formula_lane_ops_avx512.cpp).
namespace lanes_avx2 {
LaneOpRun runner(LaneOpKind kind);
}
namespace lanes_avx512 {
LaneOpRun runner(LaneOpKind kind);
}

bool laneIsaAvailable(LaneIsa isa) {
#if defined(__x86_64__) && defined(__GNUC__)
    switch (isa) {
    case LaneIsa::Portable:
        return true;
    case LaneIsa::Avx2:
        return __builtin_cpu_supports("avx2");
    case LaneIsa::Avx512:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq");
    }
    return false;
#else
    return isa == LaneIsa::Portable;
#endif
}

LaneOpRun laneOpRunnerFor(LaneIsa isa, LaneOpKind kind) {
    if (!laneIsaAvailable(isa) || kind >= LaneOpKind::Count) {
        return nullptr;
    }
    switch (isa) {
    case LaneIsa::Avx2:
        return lanes_avx2::runner(kind);
    case LaneIsa::Avx512:
        return lanes_avx512::runner(kind);
    case LaneIsa::Portable:
        break;
    }
    return lanes_portable::kLaneRunners[static_cast<std::size_t>(kind)];
}

LaneOpRun laneOpRunner(LaneOpKind kind) {
    static const LaneIsa widest = laneIsaAvailable(LaneIsa::Avx512) ? LaneIsa::Avx512
                                  : laneIsaAvailable(LaneIsa::Avx2) ? LaneIsa::Avx2
                                                                    : LaneIsa::Portable;
    return laneOpRunnerFor(widest, kind);
}

} // namespace vortimax
