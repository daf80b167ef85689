#pragma once

#include "formula/complex.h"
#include "render/area.h"
#include "render/outside_value.h"

#include <cstdint>

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

// Reads the parameters of a Julia24 or Mandel24 record.
Julia24Params readJulia24Params(const FractalRecord& record);

// The value of the pixel whose point in the plane (before circle inversion) is `point`.
float julia24Value(const Julia24Params& params, Complex point);

// The calculation driver of types 0 and 1: runs the passes over the rectangle x0..x1 by
// y0..y1 (inclusive, rows from the bottom).
void calculateJulia24(FractalView& view, int x0, int y0, int x1, int y1);

} // namespace vortimax
