#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string_view>

namespace vortimax {

class FractalRecord;

// Which of the two parameters of the Lyapunov space one step of the map uses.
enum class Forcing : std::uint8_t { A = 1, B = 2 };

// The forcing sequence, read once per calculation from the Sequence text: "b" or "B"
// selects b, every other character a; at most kMostForcingSteps entries, and an empty
// text gives the single entry a. The steps take the entries in turn, starting again at
// the first after the last.
constexpr int kMostForcingSteps = 49;
struct ForcingSequence {
    std::array<Forcing, kMostForcingSteps> steps{};
    int count = 0;
};
ForcingSequence forcingSequence(std::string_view text);

// The maps x' = f(x, r) of the subtypes 0 ... 4: r x (1 - x), x + r x (1 - x),
// r sin(pi x), x + r sin(pi x) and K sin^2(x + r).
constexpr int kLyapunovMapCount = 5;

// The parameters of one calculation.
struct LyapunovParams {
    int map = 0; // 0 ... 4; other subtypes use map 0
    double start = 0.5;
    double k = 2.0; // the constant of map 4
    std::int64_t settle = 1;
    std::int64_t maxIter = 1; // at least 1
    bool chaos = false;
    double chaosColour = 10.0;
    int passes = 3;
    ForcingSequence sequence;
};
LyapunovParams readLyapunovParams(const FractalRecord& record);

// A long orbit asks whether to stop after this many steps.
constexpr std::int64_t kLyapunovStepsPerLook = std::int64_t{1} << 16;

// The Lyapunov exponent (in bits per step) of the point (a, b): Settle steps from Start,
// then the absolute slopes of up to MaxIter further steps multiplied into a mantissa in
// [1, 2) and a binary exponent sum, stopped early once that sum exceeds 10000. A slope
// of 0 (a superstable orbit) gives minus infinity, an orbit that leaves the finite
// numbers plus infinity. Nothing when `stop` said yes (it is asked every
// kLyapunovStepsPerLook steps, and not at all by shorter orbits).
std::optional<double> lyapunovExponent(const LyapunovParams& params, double a, double b,
                                       const std::function<bool()>& stop);

// The stored value for an exponent: 0.0 marks a pixel not yet calculated, so what would
// be 0.0 is stored as this value, which every colouring paints as it would paint 0.0.
constexpr float kLyapunovZero = std::numeric_limits<float>::min();

// The value of a pixel with exponent `lambda`: -20 lambda for an ordered point
// (lambda < 0); for a chaotic one ChaosColor lambda with Chaos on, else -1.0 (the reserved
// colour). Values beyond the float range are held at its ends, so a superstable point
// gets the largest positive float; never 0.0 (see kLyapunovZero) and never NaN.
float lyapunovValue(const LyapunovParams& params, double lambda);

} // namespace vortimax
