#include "render/tierazon/tiera_params.h"

#include "model/fractal_record.h"
#include "render/colour/record_numbers.h"

namespace vortimax {

TieraParams readTieraParams(const FractalRecord& record) {
    TieraParams p;
    p.escape = readEscapeParams(record);
    const ConstBlockRef block = record.params();
    p.filter = &orbitFilter(block.integer("Analysis"));
    p.method = &colourMethod(block.integer("Operation"));
    // The filter constants are optional: records without them get the defaults.
    p.constants.strands = recordNumberOr(record, "Strands", p.constants.strands);
    p.constants.bay1 = recordNumberOr(record, "BayFactor1", p.constants.bay1);
    p.constants.bay2 = recordNumberOr(record, "BayFactor2", p.constants.bay2);
    p.factors.f[0] = block.real("Factor1");
    p.factors.f[1] = block.real("Factor2");
    p.factors.f[2] = block.real("Factor3");
    return p;
}

} // namespace vortimax
