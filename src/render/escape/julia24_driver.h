#pragma once

#include "formula/complex.h"
#include "render/area/area.h"
#include "render/escape/outside_value.h"

#include <cstdint>
#include <limits>

namespace vortimax {

class FractalRecord;
class FractalView;

// The true-colour Julia and Mandel types (0 and 1) iterate z^2 + c or z^3 + c together
// with the derivative dz and turn the escape into a smooth value: a continuous
// iteration count ("CPM"), a distance estimate ("DEM") or the phase of the derivative.

// The record's `Outside` choices.
enum Outside24 : int { kOutside24Cpm = 0, kOutside24Dem, kOutside24Phase, kOutside24Count };

// The record's `Inside` choices.
enum Inside24 : int {
    kInside24Black = 0,
    kInside24Magnitude,
    kInside24Supremum,
    kInside24Infimum,
    kInside24SupIndex,
    kInside24InfIndex,
    kInside24Count
};

// A computed value is never 0.0 (the mark of a pixel not yet computed) and never NaN.
// An escaped pixel whose value would be NaN, zero or negative (a negative value would be
// coloured as inside) gets kOutside24Fallback; an inside pixel whose value would be NaN
// or zero (for instance with Insidemult 0) gets kInside24Fallback, the plain black value.
inline constexpr float kOutside24Fallback = 0.0001f;
inline constexpr float kInside24Fallback = -1.0f;

// Everything the kernel needs, read once per calculation.
struct Julia24Params {
    bool mandel = false;        // type 1: c is the pixel, z starts at the constant
    bool cubic = false;         // subtype 1: z^3 + c; any other subtype is z^2 + c
    Complex constant{0.0, 0.0}; // (Cr, Ci): c of a Julia, the start of z of a Mandel
    std::int32_t maxIter = 150; // at least 1
    double bailout = 1000.0;
    int outside = kOutside24Cpm;
    int inside = kInside24Black;
    double insideMult = 100.0;
    int passes = 3;
    OutsideParams decomposition; // Decomposition, Coding and DecFactor
    CircleInversion inversion;
};

// Where an orbit ended: the final z and dz, the loop index n at the end, the squared
// magnitude that exceeded the bailout and the extremes of |z|^2 with their loop indices.
struct Julia24Orbit {
    Complex z;
    Complex dz;
    double n = 0.0;
    double escapeMagnitude = 0.0;
    bool inside = false;
    double largest = 0.0;
    double smallest = std::numeric_limits<double>::infinity();
    std::int32_t largestIndex = 0;
    std::int32_t smallestIndex = 0;
};

// Whether the orbit runs the tight z^2 + c loop without derivative ("CPM" with the
// black or magnitude inside rule), and whether it records the extremes of |z|^2.
bool julia24UsesFastLoop(const Julia24Params& params);
bool julia24TracksExtremes(const Julia24Params& params);

// The start of the orbit of the pixel at `point` (after circle inversion): a Julia starts
// at the point with dz = 1, a Mandel at the constant (the point is not added) with dz = 0.
void julia24Start(const Julia24Params& params, Complex point, Complex& z, Complex& c, Complex& dz);

// The value of a pixel whose orbit ended in `orbit`.
float julia24OrbitValue(const Julia24Params& params, const Julia24Orbit& orbit);

// Reads the parameters of a Julia24 or Mandel24 record.
Julia24Params readJulia24Params(const FractalRecord& record);

// The value of the pixel whose point in the plane (before circle inversion) is `point`.
float julia24Value(const Julia24Params& params, Complex point);

// The calculation driver of types 0 and 1: runs the passes over the rectangle x0..x1 by
// y0..y1 (inclusive, rows from the bottom).
void calculateJulia24(FractalView& view, int x0, int y0, int x1, int y1);

} // namespace vortimax
