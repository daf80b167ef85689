#pragma once

#include "model/pass_scheme.h"
#include "render/area.h"
#include "render/escape_params.h"

#include <vector>

namespace vortimax {

// How the fast loop is computed: one orbit after the other, or side by side in AVX2 or
// AVX-512 registers. All give the same bits.
enum class KernelPath { Scalar, Avx2, Avx512 };

// The paths this processor can run, Scalar first and the widest last.
const std::vector<KernelPath>& availablePaths();

// The widest available path.
KernelPath fastestPath();

// Computes every pixel of a batch of a Julia/Mandel calculation: values[i] gets exactly
// selectKernel(params)(params, mapping.pointFor(columns[i], row)). The fast loop runs on
// `path`; other calculations go pixel by pixel.
class EscapeBatchKernel {
public:
    EscapeBatchKernel(const EscapeParams& params, const PixelMapping& mapping,
                      KernelPath path = fastestPath());

    void operator()(PixelBatch& batch) const;

private:
    void computeFast(PixelBatch& batch) const;

    const EscapeParams* params_;
    const PixelMapping* mapping_;
    KernelPath path_;
    bool fast_;
    std::int32_t counter_;
    double threshold_;
};

} // namespace vortimax
