#include "render/escape/julia24_row_kernel.h"

#include "render/escape/fast_orbit_lanes.h"

namespace vortimax {

namespace {

bool askRow(void* row) {
    return static_cast<PixelRow*>(row)->mustStop();
}

TrueColourShape shapeOf(const Julia24Params& p) {
    TrueColourShape shape;
    shape.fast = julia24UsesFastLoop(p);
    shape.cubic = p.cubic;
    shape.track = !shape.fast && julia24TracksExtremes(p);
    shape.derivativeAdd = p.mandel ? 1.0 : 0.0;
    shape.maxIter = p.maxIter;
    shape.bailout = shape.fast ? static_cast<double>(static_cast<float>(p.bailout)) : p.bailout;
    return shape;
}

} // namespace

Julia24RowKernel::Julia24RowKernel(const Julia24Params& params, const PixelMapping& mapping,
                                   KernelPath path)
    : params_(&params), mapping_(&mapping),
      // The lanes end an orbit only on a step, so MaxIter below 1 stays with the scalar loop.
      path_(params.maxIter >= 1 ? path : KernelPath::Scalar) {}

void Julia24RowKernel::operator()(PixelBatch& batch) {
    const auto count = static_cast<std::size_t>(batch.count);
    if (path_ != KernelPath::Scalar) {
        rowScratch_.assign(count, batch.row);
        computeLanes(rowScratch_, {batch.columns.data(), count}, {batch.values.data(), count},
                     nullptr);
        return;
    }
    for (int i = 0; i < batch.count; ++i)
        batch.values[i] = julia24Value(*params_, mapping_->pointFor(batch.columns[i], batch.row));
}

void Julia24RowKernel::operator()(PixelRow& row) {
    if (path_ != KernelPath::Scalar) {
        computeLanes(row.pixelRows(rowScratch_), row.columns, row.values, &row);
        return;
    }
    computeInBatches(row, [this](PixelBatch& batch) { (*this)(batch); });
}

// The start of each orbit as julia24Value computes it: the point, circle inversion, then
// julia24Start.
void Julia24RowKernel::start(std::span<const int> rows, std::span<const int> columns) {
    const std::size_t count = columns.size();
    for (std::vector<double>* part :
         {&zr_, &zi_, &dzr_, &dzi_, &cr_, &ci_, &counts_, &magnitude_, &largest_, &smallest_})
        part->resize(count);
    largestAt_.resize(count);
    smallestAt_.resize(count);
    ended_.assign(count, 0);
    for (std::size_t i = 0; i < count; ++i) {
        Complex point = mapping_->pointFor(columns[i], rows[i]);
        if (params_->inversion.enabled)
            params_->inversion.apply(point.re, point.im);
        Complex z, c, dz;
        julia24Start(*params_, point, z, c, dz);
        zr_[i] = z.re;
        zi_[i] = z.im;
        dzr_[i] = dz.re;
        dzi_[i] = dz.im;
        cr_[i] = c.re;
        ci_[i] = c.im;
    }
}

// The end state as the scalar loops leave it.
Julia24Orbit Julia24RowKernel::orbitAt(std::size_t k) const {
    Julia24Orbit o;
    o.z = {zr_[k], zi_[k]};
    o.dz = {dzr_[k], dzi_[k]};
    if (julia24UsesFastLoop(*params_)) {
        o.n = static_cast<double>(params_->maxIter) - counts_[k];
        o.escapeMagnitude = magnitude_[k];
        o.inside = counts_[k] == 0.0;
        return o;
    }
    o.n = counts_[k];
    o.inside = counts_[k] == static_cast<double>(params_->maxIter);
    o.escapeMagnitude = o.inside ? 0.0 : magnitude_[k];
    if (julia24TracksExtremes(*params_)) {
        o.largest = largest_[k];
        o.smallest = smallest_[k];
        o.largestIndex = largestAt_[k];
        o.smallestIndex = smallestAt_[k];
    }
    return o;
}

void Julia24RowKernel::computeLanes(std::span<const int> rows, std::span<const int> columns,
                                    std::span<float> values, PixelRow* stops) {
    start(rows, columns);
    TrueColourOrbits orbits;
    orbits.shape = shapeOf(*params_);
    orbits.count = static_cast<int>(columns.size());
    orbits.zr = zr_.data();
    orbits.zi = zi_.data();
    orbits.dzr = dzr_.data();
    orbits.dzi = dzi_.data();
    orbits.cr = cr_.data();
    orbits.ci = ci_.data();
    orbits.counts = counts_.data();
    orbits.magnitude = magnitude_.data();
    orbits.ended = ended_.data();
    orbits.largest = largest_.data();
    orbits.smallest = smallest_.data();
    orbits.largestAt = largestAt_.data();
    orbits.smallestAt = smallestAt_.data();
    orbits.checkEvery = kOrbitsBetweenStopChecks;
    if (stops != nullptr) {
        orbits.mustStop = askRow;
        orbits.stopContext = stops;
    }
    if (path_ == KernelPath::Avx512)
        trueColourOrbitsAvx512(orbits);
    else
        trueColourOrbitsAvx2(orbits);
    for (std::size_t k = 0; k < columns.size(); ++k)
        if (ended_[k] != 0)
            values[k] = julia24OrbitValue(*params_, orbitAt(k));
}

} // namespace vortimax
