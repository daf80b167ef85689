#include "render/tierazon/tiera_row_kernel.h"

#include "render/escape/escape_kernel.h"
#include "render/escape/fast_orbit_lanes.h"
#include "render/escape/orbit_loops.h"
#include "render/tierazon/tiera_orbit.h"

#include <cmath>

namespace vortimax {

namespace {

// A channel as the second and third buffers keep it: 0.0 is allowed there (only the first
// buffer marks a pixel as calculated), values beyond the float range are not.
float storedChannel(double v) {
    const float f = toSingle(v);
    return std::isfinite(f) ? f : 0.0f;
}

} // namespace

bool escapeOrbitSuffices(const TieraParams& params) {
    return params.filter == &orbitFilter(0) && params.method->reads == Reads::LastZ;
}

TieraRowKernel::TieraRowKernel(const TieraParams& params, const PixelMapping& mapping,
                               ImageBuffers& buffers, KernelPath path, TieraRoute route)
    : params_(&params), mapping_(&mapping), stride_(buffers.valueStride()),
      escape_(params.escape, mapping, path) {
    const std::size_t cells = static_cast<std::size_t>(stride_) * buffers.height;
    if (buffers.tierazon1.size() >= cells && buffers.tierazon2.size() >= cells) {
        second_ = buffers.tierazon1.data();
        third_ = buffers.tierazon2.data();
    }
    lanes_ = route == TieraRoute::Best && escapeOrbitSuffices(params) && escape_.runsLanes();
}

void TieraRowKernel::operator()(PixelRow& row) {
    if (lanes_)
        fromEscapeOrbits(row);
    else
        pixelByPixel(row);
}

float TieraRowKernel::store(TieraResult& result, int x, int y) {
    tieraColour(*params_, result);
    if (second_ != nullptr) {
        const std::size_t cell = static_cast<std::size_t>(y) * stride_ + x;
        second_[cell] = storedChannel(result.channel[1]);
        third_[cell] = storedChannel(result.channel[2]);
    }
    return storableValue(result.channel[0], result.inside);
}

// The lanes give each orbit's end and escape-time value; what the filter "None" would
// have reported follows from the step count alone.
void TieraRowKernel::fromEscapeOrbits(PixelRow& row) {
    ends_.resize(row.columns.size());
    escape_(row, ends_);
    const EscapeParams& p = params_->escape;
    for (std::size_t i = 0; i < ends_.size(); ++i) {
        const OrbitEnd& end = ends_[i];
        if (end.remaining == kOrbitUnfinished)
            continue;
        FilterState nothingGathered;
        nothingGathered.count = stepsTaken(p, end);
        TieraResult result;
        result.z = end.z;
        result.filter = params_->filter->result(nothingGathered);
        result.iterations = nothingGathered.count;
        result.maxIter = p.maxIter;
        result.inside = end.remaining < 0;
        result.plainValue = row.values[i];
        row.values[i] = store(result, row.columns[i], row.rowOf(i));
    }
}

void TieraRowKernel::pixelByPixel(PixelRow& row) {
    computeInBatches(row, [this](PixelBatch& batch) {
        for (int i = 0; i < batch.count; ++i) {
            const Complex point = mapping_->pointFor(batch.columns[i], batch.row);
            TieraResult result;
            tieraOrbit(*params_, point.re, point.im, result);
            batch.values[i] = store(result, batch.columns[i], batch.row);
        }
    });
}

} // namespace vortimax
