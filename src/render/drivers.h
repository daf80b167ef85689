#pragma once

#include "model/view_environment.h"

namespace vortimax {

// Puts the calculation of every type the render layer computes into the table.
void installDrivers(DriverTable& drivers);

} // namespace vortimax
