#include "formula/formula_lane_ops.h"

#define LANE_ISA_NAMESPACE lanes_portable
#include "formula/formula_lane_kernels.h"

#include <cstddef>

namespace vortimax {

// The builds for wider vectors (formula_lane_ops_avx2.cpp, formula_lane_ops_avx512.cpp).
namespace lanes_avx2 {
LaneOpRun runner(LaneOpKind kind);
LaneStepEnd stepEndLoop();
LaneQuadraticBlock quadraticLoop();
} // namespace lanes_avx2
namespace lanes_avx512 {
LaneOpRun runner(LaneOpKind kind);
LaneStepEnd stepEndLoop();
LaneQuadraticBlock quadraticLoop();
} // namespace lanes_avx512

namespace {

LaneIsa widestIsa() {
    static const LaneIsa widest = laneIsaAvailable(LaneIsa::Avx512) ? LaneIsa::Avx512
                                  : laneIsaAvailable(LaneIsa::Avx2) ? LaneIsa::Avx2
                                                                    : LaneIsa::Portable;
    return widest;
}

} // namespace

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
    return laneOpRunnerFor(widestIsa(), kind);
}

LaneStepEnd laneStepEndFor(LaneIsa isa) {
    if (!laneIsaAvailable(isa)) {
        return nullptr;
    }
    switch (isa) {
    case LaneIsa::Avx2:
        return lanes_avx2::stepEndLoop();
    case LaneIsa::Avx512:
        return lanes_avx512::stepEndLoop();
    case LaneIsa::Portable:
        break;
    }
    return lanes_portable::stepEnd;
}

LaneStepEnd laneStepEnd() {
    return laneStepEndFor(widestIsa());
}

LaneQuadraticBlock laneQuadraticBlockFor(LaneIsa isa) {
    if (!laneIsaAvailable(isa)) {
        return nullptr;
    }
    switch (isa) {
    case LaneIsa::Avx2:
        return lanes_avx2::quadraticLoop();
    case LaneIsa::Avx512:
        return lanes_avx512::quadraticLoop();
    case LaneIsa::Portable:
        break;
    }
    return lanes_portable::quadraticBlock;
}

LaneQuadraticBlock laneQuadraticBlock() {
    return laneQuadraticBlockFor(widestIsa());
}

} // namespace vortimax
