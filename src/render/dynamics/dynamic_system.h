#pragma once

#include <cstdint>

namespace vortimax {

class FractalRecord;

// A point of the three-dimensional state space.
struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// The systems, by subtype: the flows 0 Lorenz ... 4 Roessler, then the maps of
// orbit_maps.h.
constexpr std::uint32_t kFlowCount = 5;
constexpr std::uint32_t kDynamicSystemCount = 18;

// The parameters of a dynamic system, read once per calculation.
struct DynamicSystemParams {
    std::uint32_t system = 0; // the subtype
    double a = 0.0, b = 0.0, c = 0.0;
    Vec3 start;
    double time = 0.0;  // total integration time
    double delta = 0.0; // distance each step aims for
    double alpha = 0.0; // viewing angles in degrees
    double beta = 0.0;
    bool points = false; // Drawmode 1: plot points instead of joining them with lines
    // The stored corners of the area, where the cloud maps start their orbits.
    double left = 0.0, right = 0.0, top = 0.0, bottom = 0.0;
};

// What a map needs besides the point: the number of the step (the first step is 1), a
// random state for the maps that choose between branches, and for the maps that draw a
// family of orbits the orbit under way, its points so far and its constant.
struct MapStep {
    std::uint64_t index = 0;
    std::uint32_t random = 0;
    std::uint64_t orbit = 0;
    std::uint64_t inOrbit = 0;
    Vec3 seed;
};

DynamicSystemParams readDynamicSystemParams(const FractalRecord& record);

// The derivative (dx, dy, dz) of a flow at s. Any other system stands still.
Vec3 systemDerivative(const DynamicSystemParams& params, const Vec3& s);

// What one step of an orbit did.
enum class OrbitStep {
    Moved, // a new point
    Ended, // no further point: the time is up, or the orbit rests or has run away
    Stuck, // the step has become too small to advance the time up to Time
};

// An orbit of the system integrated by Euler steps whose size h adapts so that each step
// covers between Delta/2 and 2 Delta of state space: h doubles while |f| h < Delta/2 and
// halves while |f| h > 2 Delta. The orbit ends when its time reaches Time, where the
// derivative is zero (a resting point never moves again) or not finite, and once a
// coordinate of its point is larger than the start's largest by a million times Delta:
// an orbit that runs away covers at most 2 Delta per step, so it takes ever more steps
// for ever less time and would otherwise never end.
// Delta must be finite and greater than 0.
// The orbit of a map (orbit_maps.h) takes one point per step and counts the steps as its
// time; it ends after Time points, when the map has no further point, or where it runs
// away or stops being finite.
class DynamicOrbit {
public:
    explicit DynamicOrbit(const DynamicSystemParams& params);

    OrbitStep step();
    const Vec3& point() const { return point_; }
    double time() const { return t_; }
    double stepSize() const { return h_; }
    // t / Time, within 0 ... 1.
    double progress() const;

private:
    bool ranAway() const;
    OrbitStep mapStep();

    DynamicSystemParams params_;
    Vec3 point_;
    double t_ = 0.0;
    double h_;
    double escapeRadius_;
    MapStep map_;
};

} // namespace vortimax
