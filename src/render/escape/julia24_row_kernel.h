#pragma once

#include "model/pass_scheme.h"
#include "render/area/area.h"
#include "render/escape/escape_batch.h"
#include "render/escape/julia24_driver.h"
#include "render/escape/truecolour_lanes.h"

#include <cstdint>
#include <span>
#include <vector>

namespace vortimax {

// Computes every pixel of a batch (or row) of a true-colour Julia/Mandel calculation:
// values[i] gets exactly julia24Value(params, mapping.pointFor(columns[i], row)). On a
// vector path the orbits run side by side in the lanes of trueColourOrbitsAvx2/Avx512;
// the start of each orbit and its value from the end state are computed here, pixel by
// pixel.
class Julia24RowKernel {
public:
    Julia24RowKernel(const Julia24Params& params, const PixelMapping& mapping,
                     KernelPath path = fastestPath());

    void operator()(PixelBatch& batch);
    // Every pixel of a row (or of a few rows) at once; stops when the command word says so and
    // leaves the pixels not finished by then at 0.0.
    void operator()(PixelRow& row);

private:
    // The pixel in column columns[i] of row rows[i], for every i.
    void computeLanes(std::span<const int> rows, std::span<const int> columns,
                      std::span<float> values, PixelRow* stops);
    void start(std::span<const int> rows, std::span<const int> columns);
    Julia24Orbit orbitAt(std::size_t k) const;

    const Julia24Params* params_;
    const PixelMapping* mapping_;
    KernelPath path_;
    // The orbits of the pixels being calculated.
    std::vector<double> zr_, zi_, dzr_, dzi_, cr_, ci_, counts_, magnitude_;
    std::vector<double> largest_, smallest_;
    std::vector<std::int32_t> largestAt_, smallestAt_;
    std::vector<std::uint8_t> ended_;
    std::vector<int> rowScratch_; // the row of each pixel of a batch or a one-row call
};

} // namespace vortimax
