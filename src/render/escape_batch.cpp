#include "render/escape_batch.h"

#include "render/escape_kernel.h"
#include "render/fast_orbit_lanes.h"
#include "render/subtype_steps.h"

namespace vortimax {

static_assert(kMaxFastOrbits >= kPixelBatchSize);

namespace {

bool hasAvx2() {
    return __builtin_cpu_supports("avx2");
}

bool hasAvx512() {
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
           __builtin_cpu_supports("avx512vl");
}

std::vector<KernelPath> detectPaths() {
    std::vector<KernelPath> paths{KernelPath::Scalar};
    if (hasAvx2())
        paths.push_back(KernelPath::Avx2);
    if (hasAvx512())
        paths.push_back(KernelPath::Avx512);
    return paths;
}

void fastOrbitsScalar(const EscapeParams& params, FastOrbits& orbits) {
    for (int k = 0; k < orbits.count; ++k) {
        Orbit o;
        o.z = {orbits.zr[k], orbits.zi[k]};
        o.c = {orbits.cr[k], orbits.ci[k]};
        const OrbitEnd end = fastOrbit(params, o);
        orbits.zr[k] = end.z.re;
        orbits.zi[k] = end.z.im;
        orbits.remaining[k] = end.remaining;
    }
}

} // namespace

const std::vector<KernelPath>& availablePaths() {
    static const std::vector<KernelPath> paths = detectPaths();
    return paths;
}

KernelPath fastestPath() {
    return availablePaths().back();
}

EscapeBatchKernel::EscapeBatchKernel(const EscapeParams& params, const PixelMapping& mapping,
                                     KernelPath path)
    : params_(&params), mapping_(&mapping), path_(path), fast_(usesFastPath(params)),
      counter_(fastStartCounter(params)), threshold_(fastEscapeThreshold(params)) {}

void EscapeBatchKernel::operator()(PixelBatch& batch) const {
    if (fast_) {
        computeFast(batch);
        return;
    }
    const PixelKernel kernel = selectKernel(*params_);
    for (int i = 0; i < batch.count; ++i)
        batch.values[i] = kernel(*params_, mapping_->pointFor(batch.columns[i], batch.row));
}

void EscapeBatchKernel::computeFast(PixelBatch& batch) const {
    FastOrbits orbits;
    orbits.count = batch.count;
    orbits.counter = counter_;
    orbits.threshold = threshold_;
    std::array<Complex, kPixelBatchSize> points;
    for (int i = 0; i < batch.count; ++i) {
        points[i] = invertedPoint(*params_, mapping_->pointFor(batch.columns[i], batch.row));
        const Orbit o = initOrbit(*params_, points[i]);
        orbits.zr[i] = o.z.re;
        orbits.zi[i] = o.z.im;
        orbits.cr[i] = o.c.re;
        orbits.ci[i] = o.c.im;
    }
    switch (path_) {
    case KernelPath::Avx512:
        fastOrbitsAvx512(orbits);
        break;
    case KernelPath::Avx2:
        fastOrbitsAvx2(orbits);
        break;
    case KernelPath::Scalar:
        fastOrbitsScalar(*params_, orbits);
        break;
    }
    for (int i = 0; i < batch.count; ++i) {
        OrbitEnd end;
        end.z = {orbits.zr[i], orbits.zi[i]};
        end.remaining = orbits.remaining[i];
        batch.values[i] = orbitValue(*params_, end, points[i]);
    }
}

} // namespace vortimax
