#pragma once

#include "formula/complex.h"

#include <cstdint>
#include <string_view>

namespace vortimax {

// What the orbit stage hands to the colour method of one pixel.
struct TieraResult {
    Complex z{0.0, 0.0};     // final z
    Complex saved{0.0, 0.0}; // the value the filter kept (zsav)
    double filter = 0.0;     // the filter's result
    double iterations = 0.0; // steps taken
    double maxIter = 1.0;
    bool inside = false;
    float plainValue = 0.0f; // the escape-time value of the same orbit
    double channel[3] = {0.0, 0.0, 0.0};
};

struct MethodFactors {
    double f[3] = {1.0, 1.0, 1.0};
};

// A colour method's contribution k before its factor, from z, the guarded zsav s and the
// filter result.
using MethodTerm = double (*)(const TieraResult&, Complex s);

// How the contribution reaches the channels.
enum class Spread : std::uint8_t {
    Plain,        // channel i += k * factor i
    Normal,       // channel 0 = plain value + 10 filter factor 1, others 10 filter factor i
    MeanIntoBlue, // as Plain, then blue += (red + green) / 2
    Ordered,      // k, k/2, k/4 into the channels in `order`, each times its factor
};

// What a method reads: only the final z, the step count, the filter result and the
// escape-time value, or the saved value zsav as well.
enum class Reads : std::uint8_t { LastZ, SavedZ };

struct ColourMethod {
    std::string_view label;
    MethodTerm term;
    Spread spread;
    std::uint8_t order[3];
    Reads reads;
};

constexpr int kColourMethodCount = 38;

// The method of number `operation`; numbers outside 0 ... 37 get "Normal".
const ColourMethod& colourMethod(int operation);

// A zsav component moved at least 1e-10 away from zero, keeping its sign side (a zero
// with the sign bit set goes to -1e-10).
double guardedComponent(double v);

// Applies the colour method: fills result.channel. An escaped pixel's channels are the
// absolute amounts of the method's values (non-finite ones become 0); an inside pixel gets
// its escape-time value in the first channel.
void applyColourMethod(const ColourMethod& method, const MethodFactors& factors,
                       TieraResult& result);

} // namespace vortimax
