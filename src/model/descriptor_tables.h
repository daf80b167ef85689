#pragma once

#include "model/param_descriptor.h"

#include <cstdint>

namespace vortimax {

// Layout of a type's parameter block, or null for type ids that have none (above 13).
// Types 0 and 1, 2 and 3, 11 and 12 share a table.
const DescriptorTable* descriptorTable(std::uint32_t type);

// Layout of the 3D settings block every record has.
const DescriptorTable& settings3DTable();

// Choice lists shared by several tables.
extern const ChoiceList kOutside24Choices; // "CPM", "DEM", "Phase"
extern const ChoiceList kInsideChoices;    // "maxiter", "zmag", ...
extern const ChoiceList kOutsideChoices;   // "iter", "real", ...
extern const ChoiceList kBailoutChoices;   // "mod", "real", ...

} // namespace vortimax
