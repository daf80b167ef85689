#pragma once

#include "model/view_environment.h"

#include <memory>

namespace vortimax::net {

class Master;

// Lets the master calculate fractals in network mode: the drivers of the types slaves
// calculate hand the rows to the members while the master is active and has any, and
// calculate locally what no member returned (none there, or the last one left). The
// drivers keep the master alive as long as they exist.
void installNetworkDrivers(DriverTable& drivers, std::shared_ptr<Master> master);

} // namespace vortimax::net
