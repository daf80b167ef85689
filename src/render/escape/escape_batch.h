#pragma once

#include "model/pass_scheme.h"
#include "render/area/area.h"
#include "render/escape/escape_kernel.h"
#include "render/escape/escape_params.h"
#include "render/escape/general_lane_orbits.h"

#include <span>
#include <vector>

namespace vortimax {

// How the fast loop is computed: one orbit after the other, or side by side in AVX2 or
// AVX-512 registers. All give the same bits.
enum class KernelPath { Scalar, Avx2, Avx512 };

// The paths this processor can run, Scalar first and the widest last.
const std::vector<KernelPath>& availablePaths();

// The widest available path.
KernelPath fastestPath();

// Computes every pixel of a batch (or row) of a Julia/Mandel calculation: values[i] gets exactly
// selectKernel(params)(params, mapping.pointFor(columns[i], row)). The fast loop and the
// general loop of the subtypes usesGeneralLanes accepts run on `path`; other calculations
// go pixel by pixel.
class EscapeBatchKernel {
public:
    EscapeBatchKernel(const EscapeParams& params, const PixelMapping& mapping,
                      KernelPath path = fastestPath());

    void operator()(PixelBatch& batch);
    // Every pixel of a row at once: the vector lanes stay full to the end of the row
    // instead of the end of each batch. Stops when the command word says so.
    void operator()(PixelRow& row);
    // As operator()(PixelRow&), and ends[i] also gets the final z and the remaining count of
    // the orbit of pixel i (kOrbitUnfinished when the kernel stopped first). Only for
    // calculations that runsLanes().
    void operator()(PixelRow& row, std::span<OrbitEnd> ends);
    // Whether the orbits run in the fast or the general loop's lanes rather than pixel by
    // pixel.
    bool runsLanes() const { return fast_ || generalLanes_; }

private:
    void computeFast(std::span<const int> rows, std::span<const int> columns,
                     std::span<float> values, PixelRow* stops);
    // Runs the fast loop over the orbits first ... end - 1 of the arrays below.
    void runGroup(std::size_t first, std::size_t end, bool growing, PixelRow* stops);
    void computeGeneral(std::span<const int> rows, std::span<const int> columns,
                        std::span<float> values, PixelRow* stops);

    const EscapeParams* params_;
    const PixelMapping* mapping_;
    KernelPath path_;
    bool fast_;
    bool generalLanes_;
    std::int32_t counter_;
    double threshold_;
    // The orbits of the pixels being calculated.
    std::vector<double> zr_, zi_, cr_, ci_;
    std::vector<std::int32_t> remaining_;
    std::vector<std::int32_t> scratch_; // for the vector code (FastOrbits::scratch)
    std::vector<Complex> points_;       // by pixel
    std::vector<int> rowScratch_;       // the row of each pixel of a batch or a one-row call
    std::vector<std::size_t> order_;    // the pixel of each orbit
    GeneralLaneOrbits general_;
    std::span<OrbitEnd> ends_; // set during a call that asks for the ends
};

} // namespace vortimax
