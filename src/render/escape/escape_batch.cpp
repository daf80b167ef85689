#include "render/escape/escape_batch.h"

#include "render/escape/escape_kernel.h"
#include "render/escape/fast_orbit_lanes.h"
#include "render/escape/subtype_steps.h"

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

// The largest |cr| + |ci| for which an orbit that once has |z|^2 >= threshold keeps
// growing, or -1 when no orbit is known to. Since |z'| >= |z|^2 - |c| and x^2 - x - |c|
// grows for x >= 1/2, |c| <= threshold - sqrt(threshold) keeps |z| >= sqrt(threshold)
// rising step after step, until it overflows to infinity or NaN. The margin of a
// millionth leaves room for rounding; |cr| + |ci| bounds |c|.
double growthLimit(double threshold) {
    if (!(threshold >= 4.0 && threshold <= 1e300))
        return -1.0;
    return (threshold - std::sqrt(threshold)) * (1.0 - 1e-6);
}

void runFastOrbits(KernelPath path, const EscapeParams& params, FastOrbits& orbits) {
    switch (path) {
    case KernelPath::Avx512:
        fastOrbitsAvx512(orbits);
        break;
    case KernelPath::Avx2:
        fastOrbitsAvx2(orbits);
        break;
    case KernelPath::Scalar:
        fastOrbitsScalar(params, orbits);
        break;
    }
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
    if (fast_ || generalLanes_) {
        rowScratch_.assign(count, batch.row);
        const std::span<const int> columns(batch.columns.data(), count);
        const std::span<float> values(batch.values.data(), count);
        if (fast_)
            computeFast(rowScratch_, columns, values, nullptr);
        else
            computeGeneral(rowScratch_, columns, values, nullptr);
        return;
    }
    const PixelKernel kernel = selectKernel(*params_);
    for (int i = 0; i < batch.count; ++i)
        batch.values[i] = kernel(*params_, mapping_->pointFor(batch.columns[i], batch.row));
}

void EscapeBatchKernel::operator()(PixelRow& row) {
    if (fast_) {
        computeFast(row.pixelRows(rowScratch_), row.columns, row.values, &row);
        return;
    }
    if (generalLanes_) {
        computeGeneral(row.pixelRows(rowScratch_), row.columns, row.values, &row);
        return;
    }
    computeInBatches(row, [this](PixelBatch& batch) { (*this)(batch); });
}

void EscapeBatchKernel::operator()(PixelRow& row, std::span<OrbitEnd> ends) {
    for (OrbitEnd& end : ends)
        end.remaining = kOrbitUnfinished;
    ends_ = ends;
    (*this)(row);
    ends_ = {};
}

// The orbits start as initOrbit starts them for subtype 0 (the only one the fast loop
// takes), written out so that the prelude of a pixel stays in registers: Julia at the
// point with c = (Cr, Ci), Mandel at (Cr, Ci) + the point with c = the point. The orbits
// that keep growing once beyond the threshold go first, so that the vector
// code may test them only after each block; the others follow with the test after
// every step.
void EscapeBatchKernel::computeFast(std::span<const int> rows, std::span<const int> columns,
                                    std::span<float> values, PixelRow* stops) {
    const std::size_t count = columns.size();
    for (std::vector<double>* part : {&zr_, &zi_, &cr_, &ci_})
        part->resize(count);
    remaining_.assign(count, kOrbitUnfinished);
    scratch_.resize(count);
    points_.resize(count);
    order_.resize(count);
    const double limit = growthLimit(threshold_);
    std::size_t growing = 0;
    std::size_t last = count;
    for (std::size_t i = 0; i < count; ++i) {
        Complex point = mapping_->pointFor(columns[i], rows[i]);
        if (params_->inversion.enabled)
            params_->inversion.apply(point.re, point.im);
        const Complex z = params_->mandel ? params_->start + point : point;
        const Complex c = params_->mandel ? point : params_->start;
        const std::size_t k = std::fabs(c.re) + std::fabs(c.im) <= limit ? growing++ : --last;
        order_[k] = i;
        points_[i] = point;
        zr_[k] = z.re;
        zi_[k] = z.im;
        cr_[k] = c.re;
        ci_[k] = c.im;
    }
    runGroup(0, growing, true, stops);
    if (stops == nullptr || !stops->stopped)
        runGroup(growing, count, false, stops);
    for (std::size_t k = 0; k < count; ++k) {
        if (remaining_[k] == kOrbitUnfinished)
            continue; // stopped first: the pixel keeps no value
        OrbitEnd end;
        end.z = {zr_[k], zi_[k]};
        end.remaining = remaining_[k];
        values[order_[k]] = orbitValue(*params_, end, points_[order_[k]]);
        if (!ends_.empty())
            ends_[order_[k]] = end;
    }
}

void EscapeBatchKernel::runGroup(std::size_t first, std::size_t end, bool growing,
                                 PixelRow* stops) {
    if (first == end)
        return;
    FastOrbits orbits;
    orbits.count = static_cast<int>(end - first);
    orbits.counter = counter_;
    orbits.threshold = threshold_;
    orbits.growthTest = growing;
    orbits.zr = zr_.data() + first;
    orbits.zi = zi_.data() + first;
    orbits.cr = cr_.data() + first;
    orbits.ci = ci_.data() + first;
    orbits.remaining = remaining_.data() + first;
    orbits.scratch = scratch_.data();
    if (stops != nullptr) {
        orbits.mustStop = askRow;
        orbits.stopContext = stops;
    }
    runFastOrbits(path_, *params_, orbits);
}

void EscapeBatchKernel::computeGeneral(std::span<const int> rows, std::span<const int> columns,
                                       std::span<float> values, PixelRow* stops) {
    GeneralOrbits& orbits = general_.start(*mapping_, rows, columns);
    if (stops != nullptr) {
        orbits.mustStop = askRow;
        orbits.stopContext = stops;
    }
    if (path_ == KernelPath::Avx512)
        generalOrbitsAvx512(orbits);
    else
        generalOrbitsAvx2(orbits);
    general_.storeValues(values);
    if (!ends_.empty())
        general_.storeEnds(ends_);
}

} // namespace vortimax
