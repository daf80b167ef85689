#pragma once

#include "render/area/area.h"
#include "render/escape/escape_kernel.h"
#include "render/escape/escape_params.h"
#include "render/escape/general_orbit_lanes.h"
#include "render/escape/subtype_steps.h"

#include <span>
#include <vector>

namespace vortimax {

// Whether the general loop's vector lanes compute this calculation: one of their
// subtypes, not the fast loop's case, and no biomorph (which keeps to the per-pixel path).
bool usesGeneralLanes(const EscapeParams& params);

// The orbits of the pixels of one row (or batch) for the general loop's vector lanes:
// starts them as generalKernel does and turns the ends into values as it does.
class GeneralLaneOrbits {
public:
    // The step constants of an orbit of `params` with the c `c` (see
    // GeneralOrbits::constants).
    static void stepConstants(const EscapeParams& params, Complex c, double* constants);

    explicit GeneralLaneOrbits(const EscapeParams& params);

    // Starts the orbit of the pixel in column columns[i] of `row` for every i; the
    // returned orbits are ready for a vector kernel.
    GeneralOrbits& start(const PixelMapping& mapping, std::span<const int> rows,
                         std::span<const int> columns);

    // values[i] gets the value of orbit i; orbits left unfinished leave it alone.
    void storeValues(std::span<float> values) const;
    // ends[i] gets the end of orbit i; orbits left unfinished leave it alone.
    void storeEnds(std::span<OrbitEnd> ends) const;

private:
    OrbitEnd end(std::size_t i) const;

    const EscapeParams* params_;
    GeneralOrbits orbits_;
    std::vector<Complex> points_;
    std::vector<double> zr_, zi_, constants_, pointMagnitude_, largest_, smallest_;
    std::vector<std::int32_t> remaining_, largestAt_, smallestAt_;
};

} // namespace vortimax
