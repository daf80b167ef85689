#pragma once

#include "model/view_environment.h"

namespace vortimax::net {

class Master;

// Lets the master calculate fractals in network mode: the drivers of the types slaves
// calculate hand the rows to the members while the master is active and has any, and
// calculate locally what no member returned (none there, or the last one left).
void installNetworkDrivers(DriverTable& drivers, Master& master);

} // namespace vortimax::net
