#include "render/dynamics/lyapunov_kernel.h"

#include "model/fractal_record.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace vortimax {

namespace {

constexpr double kPi = 3.1415926535;
// The measurement ends once the slope product has grown beyond 2^10000: the exponent
// is then positive beyond doubt, and the mantissa loop would only burn time.
constexpr std::int64_t kExponentLimit = 10000;

// Each map gives the next x for a settling step, and for a measured step both the next x
// (through `x`) and the absolute slope of the map at the old x.
struct Logistic {
    double next(double x, double r) const { return r * x * (1.0 - x); }
    double advance(double& x, double r) const {
        const double slope = std::fabs(r - 2.0 * r * x);
        x = next(x, r);
        return slope;
    }
};

struct ShiftedLogistic {
    double next(double x, double r) const { return x + r * x * (1.0 - x); }
    double advance(double& x, double r) const {
        const double slope = std::fabs(r + 1.0 - 2.0 * r * x);
        x = next(x, r);
        return slope;
    }
};

struct Sine {
    double next(double x, double r) const { return r * std::sin(kPi * x); }
    double advance(double& x, double r) const {
        const double slope = std::fabs(r * kPi * std::cos(kPi * x));
        x = next(x, r);
        return slope;
    }
};

struct ShiftedSine {
    double next(double x, double r) const { return x + r * std::sin(kPi * x); }
    double advance(double& x, double r) const {
        const double slope = std::fabs(1.0 + r * kPi * std::cos(kPi * x));
        x = next(x, r);
        return slope;
    }
};

struct SineSquared {
    double k;
    double next(double x, double r) const {
        const double s = std::sin(x + r);
        return k * s * s;
    }
    double advance(double& x, double r) const {
        const double u = x + r;
        const double s = std::sin(u);
        const double slope = std::fabs(2.0 * k * s * std::cos(u));
        x = k * s * s;
        return slope;
    }
};

// Moves the binary exponent of `mantissa` (positive and finite) into `exponent`, leaving
// the mantissa in [1, 2).
inline void renormalise(double& mantissa, std::int64_t& exponent) {
    constexpr std::uint64_t kFractionBits = (std::uint64_t{1} << 52) - 1;
    constexpr std::uint64_t kExponentOfOne = std::uint64_t{1023} << 52;
    const auto bits = std::bit_cast<std::uint64_t>(mantissa);
    const auto biased = static_cast<int>(bits >> 52);
    if (biased == 0) { // subnormal: too small for the bits to say the exponent
        int e = 0;
        mantissa = 2.0 * std::frexp(mantissa, &e);
        exponent += e - 1;
        return;
    }
    exponent += biased - 1023;
    mantissa = std::bit_cast<double>((bits & kFractionBits) | kExponentOfOne);
}

// Runs `steps` steps of `body` in rounds of kLyapunovStepsPerLook, asking `stop` between
// rounds. body(count) runs count steps and returns false to end the whole run early.
// Returns false when stop said yes.
template <typename Body>
bool inRounds(std::int64_t steps, const std::function<bool()>& stop, Body&& body) {
    while (steps > 0) {
        const std::int64_t round = std::min(steps, kLyapunovStepsPerLook);
        if (!body(round))
            return true;
        steps -= round;
        if (steps > 0 && stop && stop())
            return false;
    }
    return true;
}

template <typename Map>
std::optional<double> exponentOf(const Map& map, const LyapunovParams& p, double a, double b,
                                 const std::function<bool()>& stop) {
    // The parameter of each entry of the sequence (an empty one counts as "a").
    const int count = std::clamp(p.sequence.count, 1, kMostForcingSteps);
    std::array<double, kMostForcingSteps> r{};
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i)
        r[i] = p.sequence.steps[i] == Forcing::B ? b : a;
    int j = 0;
    double x = p.start;
    const bool settled = inRounds(p.settle, stop, [&](std::int64_t steps) {
        for (std::int64_t i = 0; i < steps; ++i) {
            x = map.next(x, r[static_cast<std::size_t>(j)]);
            if (++j == count)
                j = 0;
        }
        return true;
    });
    if (!settled)
        return std::nullopt;
    double mantissa = 1.0;
    std::int64_t exponent = 0;
    const bool measured = inRounds(p.maxIter, stop, [&](std::int64_t steps) {
        for (std::int64_t i = 0; i < steps; ++i) {
            mantissa *= map.advance(x, r[static_cast<std::size_t>(j)]);
            if (++j == count)
                j = 0;
            // A product of 0 stays 0, and one that is infinite or NaN has no exponent:
            // either ends the measurement.
            if (!(mantissa > 0.0 && mantissa <= std::numeric_limits<double>::max()))
                return false;
            renormalise(mantissa, exponent);
            if (exponent > kExponentLimit)
                return false;
        }
        return true;
    });
    if (!measured)
        return std::nullopt;
    if (mantissa == 0.0)
        return -std::numeric_limits<double>::infinity();
    if (!(mantissa <= std::numeric_limits<double>::max()))
        return std::numeric_limits<double>::infinity();
    return (static_cast<double>(exponent) + std::log2(mantissa)) / static_cast<double>(p.maxIter);
}

} // namespace

ForcingSequence forcingSequence(std::string_view text) {
    ForcingSequence sequence;
    for (char c : text.substr(0, kMostForcingSteps))
        sequence.steps[static_cast<std::size_t>(sequence.count++)] =
            c == 'b' || c == 'B' ? Forcing::B : Forcing::A;
    if (sequence.count == 0)
        sequence.steps[static_cast<std::size_t>(sequence.count++)] = Forcing::A;
    return sequence;
}

LyapunovParams readLyapunovParams(const FractalRecord& record) {
    const ConstBlockRef block = record.params();
    LyapunovParams p;
    p.map = record.subtype < static_cast<std::uint32_t>(kLyapunovMapCount)
                ? static_cast<int>(record.subtype)
                : 0;
    p.start = block.real("Start");
    p.k = block.bigFixed("A").toDouble();
    p.settle = std::max<std::int32_t>(block.integer("Settle"), 0);
    p.maxIter = std::max<std::int32_t>(block.integer("MaxIter"), 1);
    p.chaos = block.integer("Chaos") != 0;
    p.chaosColour = block.real("ChaosColor");
    p.passes = std::clamp<std::int32_t>(block.integer("Passes"), 0, 3);
    p.sequence = forcingSequence(block.text("Sequence"));
    return p;
}

std::optional<double> lyapunovExponent(const LyapunovParams& params, double a, double b,
                                       const std::function<bool()>& stop) {
    switch (params.map) {
    case 1:
        return exponentOf(ShiftedLogistic{}, params, a, b, stop);
    case 2:
        return exponentOf(Sine{}, params, a, b, stop);
    case 3:
        return exponentOf(ShiftedSine{}, params, a, b, stop);
    case 4:
        return exponentOf(SineSquared{params.k}, params, a, b, stop);
    default:
        return exponentOf(Logistic{}, params, a, b, stop);
    }
}

float lyapunovValue(const LyapunovParams& params, double lambda) {
    double value = 0.0;
    if (lambda < 0.0)
        value = -20.0 * lambda;
    else if (!params.chaos)
        return -1.0f;
    else
        value = params.chaosColour * lambda;
    if (std::isnan(value)) // ChaosColor 0 times an unbounded exponent
        return kLyapunovZero;
    constexpr double kLargest = std::numeric_limits<float>::max();
    const auto stored = static_cast<float>(std::clamp(value, -kLargest, kLargest));
    return stored == 0.0f ? kLyapunovZero : stored;
}

} // namespace vortimax
