#pragma once

#include <cmath>

namespace vortimax {

class FractalRecord;

// Palette entries 0 ... 251 form the colour cycle; 252 ... 255 are reserved colours.
constexpr int kCycleColours = 252;
constexpr int kLastReservedColour = 255;
// Where values that are not finite numbers (NaN, infinities) land.
constexpr double kNonFinitePosition = 0.0;

// Speed S and effective acceleration A' of the colour mapping.
struct ColourParams {
    double speed = 1.0;
    double accel = 0.6;
};

// A' is 0.6 times ColormodeAccel, reshaped for the logarithmic (1) and arctangent (2)
// rules; every other type keeps it as it is.
ColourParams colourParams(int colourModeType, double speed, double accel);

// The palette-position rules of ColormodeType. Types 4 and 5 (accepted from parameter
// files, offered nowhere) and any other number map linearly, like type 0.
enum class ColourRule { Linear, Log, Arctan, Sine };
ColourRule colourRuleFor(int colourModeType);

// The colour-mapping parameters of a record, read once per coloured row.
struct ColourSettings {
    int type = 0;           // ColormodeType
    double speed = 1.0;     // ColormodeSpeed
    double accel = 1.0;     // ColormodeAccel
    double smoothing = 0.0; // ColorSmoothing: quantum of true-colour positions, 0 = none
    bool reservedInside = false;
};
ColourSettings readColourSettings(const FractalRecord& record);

// Whether inside (negative) values pick the reserved colours 252, 253, ...: Julia and
// Mandel with the inside rule "Black", Julia24 and Mandel24 with inside rule 0, the
// Tierazon types unless they carry another inside rule, and always Lyapunov and
// Bifurcation.
bool insideUsesReservedColour(const FractalRecord& record);

// Turns values into palette positions. Build one per row: the constructor computes every
// reciprocal factor so that a value costs a few multiplications.
//
// A position is in [0, 252) for the colour cycle, or in [252, 255] for an inside value
// with the reserved-colour rule (251 - v, held at 255 for values below -4 so that it
// never leaves the palette). Values that are not finite numbers go to position 0.
class PaletteMapping {
public:
    explicit PaletteMapping(const ColourSettings& settings);

    ColourRule rule() const { return rule_; }
    bool smoothing() const { return smooth_; }

    template <ColourRule R> double position(double v) const {
        if (!std::isfinite(v))
            return kNonFinitePosition;
        if (v < 0.0) {
            if (reservedInside_)
                return reservedPosition(v);
            v = -v;
        }
        const double q = wrap(rawPosition<R>(v));
        return smooth_ ? quantise(q) : q;
    }
    // The same, choosing the rule per call (for callers outside the row loops).
    double position(double v) const;

private:
    template <ColourRule R> double rawPosition(double v) const {
        if constexpr (R == ColourRule::Linear)
            return v * invSpeed_;
        else if constexpr (R == ColourRule::Log)
            return std::log2(v * invAccel_ + 1.0) * accelSpeed_;
        else if constexpr (R == ColourRule::Arctan)
            return std::atan(v * invAccel_) * accelSpeed_;
        else
            return std::sin(v * invSpeed_ * 0.01) * accel251_;
    }
    static double reservedPosition(double v) {
        const double p = (kCycleColours - 1) - v;
        return p < kLastReservedColour ? p : kLastReservedColour;
    }
    // q modulo 252 into [0, 252). Below 2^52 the product and the difference are exact;
    // larger magnitudes (and infinities, NaN) take the slow path.
    static double wrap(double q) {
        if (!(std::fabs(q) < 0x1p52))
            return wrapSlowly(q);
        double r = q - kCycleColours * std::trunc(q * (1.0 / kCycleColours));
        if (r < 0.0)
            r += kCycleColours;
        return r >= 0.0 && r < kCycleColours ? r : wrapSlowly(q);
    }
    // Exact reduction for huge positions and the rounding cases of the fast one.
    static double wrapSlowly(double q);
    double quantise(double q) const {
        const double r = std::trunc(q * invQuantum_) * quantum_;
        return r >= 0.0 && r < kCycleColours ? r : kNonFinitePosition;
    }

    ColourRule rule_;
    bool reservedInside_;
    bool smooth_;
    double invSpeed_;
    double invAccel_;
    double accelSpeed_; // A' * S
    double accel251_;   // A' * 251
    double quantum_;
    double invQuantum_;
};

} // namespace vortimax
