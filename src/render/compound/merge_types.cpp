#include "render/compound/merge_types.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vortimax {

namespace {

// Start values of the running extremes of the buffer merges.
constexpr double kHighStart = 1e30;
constexpr double kLowStart = -1e30;

// --- Weighting --------------------------------------------------------------------------

int weightedChannel(int channel, double factor) {
    return static_cast<int>(channel * factor / 100.0);
}

Rgb weightedColour(const LayerSample& s) {
    return {weightedChannel(s.colour.red, s.factor), weightedChannel(s.colour.green, s.factor),
            weightedChannel(s.colour.blue, s.factor)};
}

double weightedValue(const LayerSample& s) {
    return s.value * s.factor / 100.0;
}

// c + (target - c) * factor / 100, truncated toward zero.
int blend(int c, int target, double factor) {
    return static_cast<int>(c + (target - c) * factor / 100.0);
}

int brightness(const Rgb& c) {
    return std::max({c.red, c.green, c.blue});
}

// Layer 0's colour, black where layer 0 does not cover the pixel.
Rgb firstLayerColour(const MergeInput& in) {
    return !in.layers.empty() && in.layers[0].covers ? in.layers[0].colour : Rgb{};
}

// --- RGB merges -------------------------------------------------------------------------

Rgb transparency(const MergeInput& in) {
    Rgb c = firstLayerColour(in);
    for (const LayerSample& s : in.layers.subspan(std::min<std::size_t>(1, in.layers.size()))) {
        if (!s.covers || s.colour == Rgb{})
            continue;
        c = {blend(c.red, s.colour.red, s.factor), blend(c.green, s.colour.green, s.factor),
             blend(c.blue, s.colour.blue, s.factor)};
    }
    return c;
}

template <typename Pick> Rgb perChannel(const MergeInput& in, Rgb start, Pick pick) {
    Rgb c = start;
    for (const LayerSample& s : in.layers) {
        if (!s.covers)
            continue;
        const Rgb w = weightedColour(s);
        c = {pick(c.red, w.red), pick(c.green, w.green), pick(c.blue, w.blue)};
    }
    return c;
}

Rgb rgbMinimum(const MergeInput& in) {
    return perChannel(in, Rgb{255, 255, 255}, [](int a, int b) { return std::min(a, b); });
}

Rgb rgbMaximum(const MergeInput& in) {
    return perChannel(in, Rgb{}, [](int a, int b) { return std::max(a, b); });
}

Rgb rgbAverage(const MergeInput& in) {
    const Rgb sum = perChannel(in, Rgb{}, [](int a, int b) { return a + b; });
    const int count = static_cast<int>(
        std::max<std::ptrdiff_t>(1, std::count_if(in.layers.begin(), in.layers.end(),
                                                  [](const LayerSample& s) { return s.covers; })));
    return {sum.red / count, sum.green / count, sum.blue / count};
}

// Gives c the brightness b + (bk - b) * factor / 100 while keeping its hue.
Rgb towardsBrightness(const Rgb& c, int b, int bk, double factor) {
    const int t = blend(b, bk, factor);
    return {c.red * t / b, c.green * t / b, c.blue * t / b};
}

Rgb rgbDarken(const MergeInput& in) {
    Rgb c = firstLayerColour(in);
    for (const LayerSample& s : in.layers.subspan(std::min<std::size_t>(1, in.layers.size()))) {
        const int b = brightness(c);
        const int bk = brightness(s.colour);
        if (s.covers && bk < b)
            c = towardsBrightness(c, b, bk, s.factor);
    }
    return c;
}

Rgb rgbLighten(const MergeInput& in) {
    Rgb c = firstLayerColour(in);
    for (const LayerSample& s : in.layers.subspan(std::min<std::size_t>(1, in.layers.size()))) {
        const int b = brightness(c);
        const int bk = brightness(s.colour);
        if (!s.covers || bk <= b)
            continue;
        c = b == 0 ? Rgb{255, 255, 255} : towardsBrightness(c, b, bk, s.factor);
    }
    return c;
}

// "RGB (formula)": FormulaR computes the red channel, FormulaG the green and FormulaB the
// blue one. Each sees as l0 ... l9 the layers' weighted samples of its own channel (0 for
// a layer that does not cover the pixel); the real part of its result, clamped to
// 0 ... 255 and truncated, is the channel. "l0+l1" on the three channels adds the layers'
// colours, "l0*l1/255" multiplies them.
Rgb rgbFormula(const MergeInput& in) {
    std::array<std::array<double, kLayerValueCount>, kMergeChannels> channels{};
    for (std::size_t k = 0; k < in.layers.size() && k < kLayerValueCount; ++k) {
        if (!in.layers[k].covers)
            continue;
        const Rgb w = weightedColour(in.layers[k]);
        channels[0][k] = w.red;
        channels[1][k] = w.green;
        channels[2][k] = w.blue;
    }
    std::array<int, kMergeChannels> result{};
    for (std::size_t c = 0; c < kMergeChannels; ++c) {
        if (in.formulas == nullptr || in.context == nullptr)
            break;
        const double v = mergeFormulaValue(in.formulas->channel[c], channels[c], *in.context);
        // NaN compares false both ways and ends at 0.
        result[c] = v >= 255.0 ? 255 : (v > 0.0 ? static_cast<int>(v) : 0);
    }
    return {result[0], result[1], result[2]};
}

// --- Buffer merges ----------------------------------------------------------------------

// Folds the weighted values of the covering layers; `empty` when none covers the pixel.
template <typename Fold>
double foldValues(const MergeInput& in, double start, double empty, Fold fold) {
    double v = start;
    bool any = false;
    for (const LayerSample& s : in.layers) {
        if (!s.covers)
            continue;
        v = fold(v, weightedValue(s));
        any = true;
    }
    return any ? v : empty;
}

double bufferAdd(const MergeInput& in) {
    return foldValues(in, 0.0, 0.0, [](double a, double b) { return a + b; });
}

double bufferMult(const MergeInput& in) {
    return foldValues(in, 1.0, 1.0, [](double a, double b) { return a * b; });
}

// The extremes start at +-1e30; a pixel that no layer covers gives 0 rather than them.
double bufferMin(const MergeInput& in) {
    return foldValues(in, kHighStart, 0.0, [](double a, double b) { return std::min(a, b); });
}

double bufferMax(const MergeInput& in) {
    return foldValues(in, kLowStart, 0.0, [](double a, double b) { return std::max(a, b); });
}

double bufferDifference(const MergeInput& in) {
    return bufferMax(in) - bufferMin(in);
}

double bufferAverage(const MergeInput& in) {
    const auto count = std::count_if(in.layers.begin(), in.layers.end(),
                                     [](const LayerSample& s) { return s.covers; });
    return bufferAdd(in) / static_cast<double>(std::max<std::ptrdiff_t>(count, 1));
}

double bufferFormula(const MergeInput& in) {
    if (in.formulas == nullptr || in.context == nullptr)
        return 0.0;
    std::array<double, kLayerValueCount> values{};
    for (std::size_t k = 0; k < in.layers.size() && k < kLayerValueCount; ++k)
        if (in.layers[k].covers)
            values[k] = weightedValue(in.layers[k]);
    return mergeFormulaValue(in.formulas->channel[0], values, *in.context);
}

// The merge types in `MergeType` order.
constexpr MergeType kMergeTypes[kMergeTypeCount] = {
    {"Transparency", &transparency, nullptr},
    {"RGB-Minimum", &rgbMinimum, nullptr},
    {"RGB-Maximum", &rgbMaximum, nullptr},
    {"RGB-Average", &rgbAverage, nullptr},
    {"RGB-Darken", &rgbDarken, nullptr},
    {"RGB-Lighten", &rgbLighten, nullptr},
    {"Buffer Add", nullptr, &bufferAdd},
    {"Buffer Mult", nullptr, &bufferMult},
    {"Buffer Difference", nullptr, &bufferDifference},
    {"Buffer Avg", nullptr, &bufferAverage},
    {"Buffer Min", nullptr, &bufferMin},
    {"Buffer Max", nullptr, &bufferMax},
    {"Buffer (formula)", nullptr, &bufferFormula},
    {"RGB (formula)", &rgbFormula, nullptr},
};

} // namespace

int clampedChannel(int channel) {
    return std::clamp(channel, 0, 255);
}

const MergeType* mergeType(int index) {
    return index >= 0 && index < kMergeTypeCount ? &kMergeTypes[index] : nullptr;
}

std::array<bool, kMergeChannels> formulasUsedBy(int index) {
    if (index == kBufferFormulaMerge)
        return {true, false, false};
    if (index == kRgbFormulaMerge)
        return {true, true, true};
    return {false, false, false};
}

} // namespace vortimax
