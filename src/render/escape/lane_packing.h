#pragma once

// Lane bookkeeping shared by the vector loops. Included only by the code compiled for one
// instruction set, inside nothing but internal linkage, like the loops themselves.

namespace vortimax {
namespace {

// Moves the busy lanes (orbit >= 0) from lane `keep` on into the free lanes below it,
// with their state in every field (each an array over the lanes). The caller has made
// sure that they fit.
template <typename Fields> void packLanes(int* orbit, Fields& fields, int keep, int lanes) {
    int free = 0;
    for (int lane = keep; lane < lanes; ++lane) {
        if (orbit[lane] < 0)
            continue;
        while (orbit[free] >= 0)
            ++free;
        orbit[free] = orbit[lane];
        for (double* field : fields)
            field[free] = field[lane];
        orbit[lane] = -1;
    }
}

} // namespace
} // namespace vortimax
