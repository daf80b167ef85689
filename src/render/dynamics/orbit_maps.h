#pragma once

#include "render/dynamics/dynamic_system.h"

#include <cstdint>

namespace vortimax {

// The systems from kFlowCount on are maps: the orbit is a sequence of points, each the
// image of the one before, not the solution of a differential equation. Their state is
// the plane (x, y); z stays 0.
//
// Constants: A, B and C are a, b, c of the map, Z holds its fourth constant d (a map has
// no third coordinate to start from), X and Y the start point, Time the number of points.
constexpr std::uint32_t kFirstOrbitMap = kFlowCount;

// The next point of the map `params.system` (one of the maps), or nothing when the
// orbit has no further point. Kamtorus draws a family of orbits: every Z points it
// starts a new one at (r, r), r growing by B, and ends once r passes C - or where an orbit
// runs away, since the orbits that start farther out than the last closed curve all do.
bool nextMapPoint(const DynamicSystemParams& params, Vec3& point, MapStep& step);

bool isOrbitMap(std::uint32_t system);

} // namespace vortimax
