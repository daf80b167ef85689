#pragma once

#include "formula/complex.h"
#include "render/escape/escape_params.h"

namespace vortimax {

// The orbit of one pixel: z, c, and the two per-pixel constants some subtypes keep (T of
// "cmplxmarks", the previous z of "manowar").
struct Orbit {
    Complex z{0.0, 0.0};
    Complex c{0.0, 0.0};
    Complex t{0.0, 0.0};
    Complex z1{0.0, 0.0};
};

// What "Magnet 2" computes from c alone: 3(c - 1), 3(c - 2) and (c - 1)(c - 2), each a
// complex product with 3 = (3, 0).
struct Magnet2Constants {
    Complex threeCMinus1;
    Complex threeCMinus2;
    Complex product;
};
Magnet2Constants magnet2Constants(Complex c);

// One iteration of a subtype, in place.
using SubtypeStep = void (*)(const EscapeParams& params, Orbit& orbit);

// The step of subtype 0 ... 39 (25 ... 39 leave z unchanged); other numbers get the
// unchanged step too.
SubtypeStep subtypeStep(int subtype);

// Start values of the orbit of the point p (after circle inversion): Julia z = p and
// c = (Cr, Ci); Mandel c = p and z = (Cr, Ci) + p, except "Magnet 2" (z = (Cr, Ci)) and
// "lambda" (z = (Cr + 0.5, Ci)). "manowar" starts z1 at p; "cmplxmarks" computes
// T = exp((D - 1) log c) once per pixel.
Orbit initOrbit(const EscapeParams& params, Complex p);

} // namespace vortimax
