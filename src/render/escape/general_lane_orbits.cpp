#include "render/escape/general_lane_orbits.h"

#include "render/escape/escape_kernel.h"
#include "render/escape/fast_orbit_lanes.h"

#include <cmath>

namespace vortimax {

namespace {

bool laneSubtype(int subtype) {
    switch (static_cast<LaneSubtype>(subtype)) {
    case LaneSubtype::Square:
    case LaneSubtype::Cube:
    case LaneSubtype::Magnet1:
    case LaneSubtype::Magnet2:
        return true;
    }
    return false;
}

GeneralLoopShape loopShape(const EscapeParams& p) {
    GeneralLoopShape shape;
    shape.subtype = static_cast<LaneSubtype>(p.subtype);
    const bool known = p.bailoutTest >= 0 && p.bailoutTest < kBailoutTestCount;
    shape.bailoutTest = known ? p.bailoutTest : kBailoutMod;
    shape.testInfinity = p.testInfinity;
    shape.testFinite = p.testFinite;
    shape.testCycle = p.testCycle;
    shape.track = p.inside > kInsideMagnitude; // as selectKernel chooses
    shape.maxIter = p.maxIter;
    shape.halfIter = p.halfIter;
    shape.bailout = p.bailout;
    shape.bailin = p.bailin;
    shape.bailoutVar = p.bailoutVar;
    return shape;
}

// initOrbit for the lane subtypes, written out so that the prelude of a pixel needs no
// calls: Julia starts at the point with c = (Cr, Ci), Mandel at (Cr, Ci) + the point
// ("Magnet 2": at (Cr, Ci)) with c = the point.
Orbit laneOrbit(const EscapeParams& params, Complex point) {
    Orbit o;
    if (!params.mandel) {
        o.z = point;
        o.c = params.start;
    } else {
        o.z = params.subtype == kSubtypeMagnet2 ? params.start : params.start + point;
        o.c = point;
    }
    return o;
}

double sq(double v) {
    return v * v;
}

} // namespace

bool usesGeneralLanes(const EscapeParams& params) {
    return laneSubtype(params.subtype) && !usesFastPath(params) && !params.biomorph &&
           params.maxIter >= 1;
}

void GeneralLaneOrbits::stepConstants(const EscapeParams& params, Complex c, double* constants) {
    if (params.subtype != kSubtypeMagnet2) {
        constants[0] = c.re;
        constants[1] = c.im;
        return;
    }
    const Magnet2Constants k = magnet2Constants(c);
    const Complex parts[] = {k.threeCMinus1, k.threeCMinus2, k.product};
    for (int i = 0; i < 3; ++i) {
        constants[2 * i] = parts[i].re;
        constants[2 * i + 1] = parts[i].im;
    }
}

GeneralLaneOrbits::GeneralLaneOrbits(const EscapeParams& params) : params_(&params) {
    orbits_.shape = loopShape(params);
}

GeneralOrbits& GeneralLaneOrbits::start(const PixelMapping& mapping, std::span<const int> rows,
                                        std::span<const int> columns) {
    const std::size_t count = columns.size();
    points_.resize(count);
    for (std::vector<double>* part : {&zr_, &zi_, &pointMagnitude_, &largest_, &smallest_})
        part->resize(count);
    constants_.resize(count * kLaneConstants);
    remaining_.assign(count, kOrbitUnfinished);
    largestAt_.resize(count);
    smallestAt_.resize(count);
    const bool ring = orbits_.shape.bailoutTest == kBailoutPRing;
    for (std::size_t i = 0; i < count; ++i) {
        Complex point = mapping.pointFor(columns[i], rows[i]);
        if (params_->inversion.enabled)
            params_->inversion.apply(point.re, point.im);
        points_[i] = point;
        if (ring)
            pointMagnitude_[i] = std::sqrt(sq(point.re) + sq(point.im));
        const Orbit orbit = laneOrbit(*params_, point);
        zr_[i] = orbit.z.re;
        zi_[i] = orbit.z.im;
        stepConstants(*params_, orbit.c, &constants_[i * kLaneConstants]);
    }
    orbits_.count = static_cast<int>(count);
    orbits_.zr = zr_.data();
    orbits_.zi = zi_.data();
    orbits_.constants = constants_.data();
    orbits_.pointMagnitude = pointMagnitude_.data();
    orbits_.remaining = remaining_.data();
    orbits_.largest = largest_.data();
    orbits_.smallest = smallest_.data();
    orbits_.largestAt = largestAt_.data();
    orbits_.smallestAt = smallestAt_.data();
    orbits_.mustStop = nullptr;
    orbits_.stopContext = nullptr;
    return orbits_;
}

OrbitEnd GeneralLaneOrbits::end(std::size_t i) const {
    OrbitEnd end;
    end.z = {zr_[i], zi_[i]};
    end.remaining = remaining_[i];
    if (orbits_.shape.track) {
        end.extrema.largest = largest_[i];
        end.extrema.smallest = smallest_[i];
        end.extrema.largestAt = largestAt_[i];
        end.extrema.smallestAt = smallestAt_[i];
    }
    return end;
}

void GeneralLaneOrbits::storeValues(std::span<float> values) const {
    for (std::size_t i = 0; i < values.size() && i < remaining_.size(); ++i)
        if (remaining_[i] != kOrbitUnfinished)
            values[i] = orbitValue(*params_, end(i), points_[i]);
}

void GeneralLaneOrbits::storeEnds(std::span<OrbitEnd> ends) const {
    for (std::size_t i = 0; i < ends.size() && i < remaining_.size(); ++i)
        if (remaining_[i] != kOrbitUnfinished)
            ends[i] = end(i);
}

} // namespace vortimax
