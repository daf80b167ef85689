#include "render/escape_batch.h"

#include "render/escape_kernel.h"
#include "render/fast_orbit_lanes.h"
#include "render/subtype_steps.h"

#include <cmath>

namespace vortimax {

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
        if (k % kOrbitsBetweenStopChecks == 0 && k > 0 && orbits.mustStop != nullptr &&
            orbits.mustStop(orbits.stopContext))
            return;
        Orbit o;
        o.z = {orbits.zr[k], orbits.zi[k]};
        o.c = {orbits.cr[k], orbits.ci[k]};
        const OrbitEnd end = fastOrbit(params, o);
        orbits.zr[k] = end.z.re;
        orbits.zi[k] = end.z.im;
        orbits.remaining[k] = end.remaining;
    }
}

// initOrbit for subtype 0, the only one the fast loop takes, written out so that the
// prelude of a pixel stays in registers: Julia starts at the point with c = (Cr, Ci),
// Mandel at (Cr, Ci) + the point with c = the point.
void startFastOrbit(const EscapeParams& params, Complex point, FastOrbits& orbits, int k) {
    const Complex z = params.mandel ? params.start + point : point;
    const Complex c = params.mandel ? point : params.start;
    orbits.zr[k] = z.re;
    orbits.zi[k] = z.im;
    orbits.cr[k] = c.re;
    orbits.ci[k] = c.im;
}

// Whether every orbit of the batch that once has |z|^2 >= threshold keeps growing. Since
// |z'| >= |z|^2 - |c| and x^2 - x - |c| grows for x >= 1/2, |c| <= threshold - sqrt(threshold)
// keeps |z| >= sqrt(threshold) rising step after step, until it overflows to infinity
// or NaN. The margin of a millionth leaves room for rounding; |cr| + |ci| bounds |c|.
bool keepsGrowing(const FastOrbits& orbits) {
    const double threshold = orbits.threshold;
    if (!(threshold >= 4.0 && threshold <= 1e300))
        return false;
    const double limit = (threshold - std::sqrt(threshold)) * (1.0 - 1e-6);
    for (int k = 0; k < orbits.count; ++k) {
        if (!(std::fabs(orbits.cr[k]) + std::fabs(orbits.ci[k]) <= limit))
            return false;
    }
    return true;
}

bool askRow(void* row) {
    return static_cast<PixelRow*>(row)->mustStop();
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
      generalLanes_(path != KernelPath::Scalar && usesGeneralLanes(params)),
      counter_(fastStartCounter(params)), threshold_(fastEscapeThreshold(params)),
      general_(params) {}

void EscapeBatchKernel::operator()(PixelBatch& batch) {
    const auto count = static_cast<std::size_t>(batch.count);
    if (fast_) {
        computeFast(batch.row, {batch.columns.data(), count}, {batch.values.data(), count},
                    nullptr);
        return;
    }
    if (generalLanes_) {
        computeGeneral(batch.row, {batch.columns.data(), count}, {batch.values.data(), count},
                       nullptr);
        return;
    }
    const PixelKernel kernel = selectKernel(*params_);
    for (int i = 0; i < batch.count; ++i)
        batch.values[i] = kernel(*params_, mapping_->pointFor(batch.columns[i], batch.row));
}

void EscapeBatchKernel::operator()(PixelRow& row) {
    if (fast_) {
        computeFast(row.row, row.columns, row.values, &row);
        return;
    }
    if (generalLanes_) {
        computeGeneral(row.row, row.columns, row.values, &row);
        return;
    }
    computeInBatches(row, [this](PixelBatch& batch) { (*this)(batch); });
}

void EscapeBatchKernel::computeFast(int row, std::span<const int> columns, std::span<float> values,
                                    PixelRow* stops) {
    const std::size_t count = columns.size();
    for (std::vector<double>* part : {&zr_, &zi_, &cr_, &ci_})
        part->resize(count);
    remaining_.assign(count, kOrbitUnfinished);
    points_.resize(count);
    FastOrbits orbits;
    orbits.count = static_cast<int>(count);
    orbits.counter = counter_;
    orbits.threshold = threshold_;
    orbits.zr = zr_.data();
    orbits.zi = zi_.data();
    orbits.cr = cr_.data();
    orbits.ci = ci_.data();
    orbits.remaining = remaining_.data();
    if (stops != nullptr) {
        orbits.mustStop = askRow;
        orbits.stopContext = stops;
    }
    for (std::size_t i = 0; i < count; ++i) {
        Complex point = mapping_->pointFor(columns[i], row);
        if (params_->inversion.enabled)
            params_->inversion.apply(point.re, point.im);
        points_[i] = point;
        startFastOrbit(*params_, point, orbits, static_cast<int>(i));
    }
    orbits.growthTest = keepsGrowing(orbits);
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
    for (std::size_t i = 0; i < count; ++i) {
        if (remaining_[i] == kOrbitUnfinished)
            continue; // stopped first: the pixel keeps no value
        OrbitEnd end;
        end.z = {zr_[i], zi_[i]};
        end.remaining = remaining_[i];
        values[i] = orbitValue(*params_, end, points_[i]);
    }
}

void EscapeBatchKernel::computeGeneral(int row, std::span<const int> columns,
                                       std::span<float> values, PixelRow* stops) {
    GeneralOrbits& orbits = general_.start(*mapping_, row, columns);
    if (stops != nullptr) {
        orbits.mustStop = askRow;
        orbits.stopContext = stops;
    }
    if (path_ == KernelPath::Avx512)
        generalOrbitsAvx512(orbits);
    else
        generalOrbitsAvx2(orbits);
    general_.storeValues(values);
}

} // namespace vortimax
