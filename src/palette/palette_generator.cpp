#include "palette/palette_generator.h"

#include "formula/random_generator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace vortimax {

namespace {

constexpr int kColours = static_cast<int>(kPaletteColours);
constexpr const char* kChannelNames[3] = {"red", "green", "blue"};

// Channel values of entries 0..251 while a palette is generated.
using Channels = std::array<std::array<int, 3>, kPaletteColours>;

Channels channelsOf(const Palette& palette) {
    Channels channels{};
    for (std::size_t i = 0; i < kPaletteColours; ++i) {
        const Rgb colour = palette.colour(i);
        channels[i] = {colour.red, colour.green, colour.blue};
    }
    return channels;
}

// A real truncated toward zero and brought into 0..modulus-1 by whole turns; values
// beyond any integer type stay defined. Not-finite values give 0.
int wrapTruncated(double value, int modulus) {
    if (!std::isfinite(value))
        return 0;
    double wrapped = std::fmod(std::trunc(value), static_cast<double>(modulus));
    if (wrapped < 0.0)
        wrapped += modulus;
    return static_cast<int>(wrapped);
}

int clampToByte(double value) {
    if (!(value > 0.0))
        return 0; // NaN too
    return value >= 255.0 ? 255 : static_cast<int>(value);
}

// Start and step as a triangle wave: the value climbs by `step` per entry and folds
// back at 255 and at 0, with period 510.
void startStep(const GeneratorSettings& settings, Channels& out) {
    for (int c = 0; c < 3; ++c) {
        const double start = settings.p[static_cast<std::size_t>(2 * c)][0];
        const double step = settings.p[static_cast<std::size_t>(2 * c + 1)][0];
        for (int i = 0; i < kColours; ++i) {
            const double raw = step * i + start;
            // trunc(raw) remainder 510, the remainder keeping the sign of the dividend.
            int v = std::isfinite(raw) ? static_cast<int>(std::fmod(std::trunc(raw), 510.0)) : 0;
            if (v > 255)
                v = 510 - v;
            out[static_cast<std::size_t>(i)][static_cast<std::size_t>(c)] = v & 0xFF;
        }
    }
}

// Consecutive sine periods from entry 0; their lengths share the 252 entries in the
// ratio of P[1], P[3], ...; each period rises from 0 to twice its amplitude and falls
// back. The last one always ends at entry 251, so truncation losses never leave entries
// unwritten. P[0] shifts the whole wave, wrapping round the palette.
void sine(const GeneratorSettings& settings, Channels& out) {
    const int n = settings.entries;
    for (int c = 0; c < 3; ++c) {
        const auto& p = settings.p;
        const std::size_t slot = static_cast<std::size_t>(c);
        double total = 0.0;
        for (int j = 0; j < n; ++j)
            total += p[static_cast<std::size_t>(1 + 2 * j)][slot];
        const double shift = p[0][slot];
        int a = 0;
        for (int j = 0; j < n; ++j) {
            const double length = p[static_cast<std::size_t>(1 + 2 * j)][slot];
            const double amplitude = p[static_cast<std::size_t>(2 + 2 * j)][slot];
            int b = j + 1 == n
                        ? kColours - 1
                        : std::min(static_cast<int>(a + length * kColours / total), kColours - 1);
            b = std::max(b, a);
            const double span = b - a;
            for (int i = a; i <= b; ++i) {
                const double phase = span > 0.0 ? (i - a) / span : 0.0;
                const double wave = std::sin(-std::numbers::pi / 2 + 2 * std::numbers::pi * phase);
                const int entry = wrapTruncated(i + shift, kColours);
                out[static_cast<std::size_t>(entry)][slot] = clampToByte((wave + 1.0) * amplitude);
            }
            a = b;
        }
    }
}

// Three cosines and three sines over half a turn fill entries 0..126; the second half
// mirrors the first around entry 126, so the palette closes smoothly.
void fourier(const GeneratorSettings& settings, Channels& out) {
    const auto& p = settings.p;
    for (std::size_t c = 0; c < 3; ++c) {
        for (int j = 0; j <= 126; ++j) {
            const double t = j * std::numbers::pi / 126.0;
            double v = p[0][c];
            for (std::size_t m = 1; m <= 3; ++m)
                v += p[m][c] * std::cos(t * p[6 + m][c]);
            for (std::size_t m = 4; m <= 6; ++m)
                v += p[m][c] * std::sin(t * p[6 + m][c]);
            out[static_cast<std::size_t>(j)][c] = clampToByte(v);
        }
        for (std::size_t m = 1; m <= 125; ++m)
            out[126 + m][c] = out[126 - m][c];
    }
}

// Straight segments of random length (10..29 entries) to random targets; the last
// segment returns to entry 0's value, so the palette closes into a ring.
void randomSegments(std::uint32_t& seed, Channels& out) {
    for (std::size_t c = 0; c < 3; ++c) {
        const int first = static_cast<int>(nextRandom(seed) & 0xFFu);
        out[0][c] = first;
        int i = 0;
        while (i < kColours - 1) {
            int length = 10 + static_cast<int>(nextRandom(seed) % 20u);
            int target = first;
            if (i + length < kColours - 10)
                target = static_cast<int>(nextRandom(seed) % 256u);
            else
                length = kColours - i;
            const int from = out[static_cast<std::size_t>(i)][c];
            for (int m = 1; m <= length && i + m < kColours; ++m)
                out[static_cast<std::size_t>(i + m)][c] =
                    (from + (target - from) * m / length) & 0xFF;
            i += length;
        }
    }
}

std::string segmentRefusal(int segment, int channel) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "Sine: the length of segment %d of the %s channel must be a number above 0.",
                  segment + 1, kChannelNames[channel]);
    return text;
}

} // namespace

std::optional<std::string> generatorRefusal(const GeneratorSettings& settings) {
    if (settings.mode != GeneratorMode::Sine)
        return std::nullopt;
    if (settings.entries < 1 || settings.entries > kMaxSineSegments) {
        char text[120];
        std::snprintf(text, sizeof text, "Sine: Entries must lie between 1 and %d, not %d.",
                      kMaxSineSegments, settings.entries);
        return std::string(text);
    }
    for (int c = 0; c < 3; ++c)
        for (int j = 0; j < settings.entries; ++j) {
            const double length =
                settings.p[static_cast<std::size_t>(1 + 2 * j)][static_cast<std::size_t>(c)];
            if (!(length > 0.0) || !std::isfinite(length))
                return segmentRefusal(j, c);
        }
    return std::nullopt;
}

bool generatePalette(Palette& palette, const GeneratorSettings& settings, std::uint32_t& seed) {
    if (generatorRefusal(settings))
        return false;
    Channels channels = channelsOf(palette);
    switch (settings.mode) {
    case GeneratorMode::StartStep:
        startStep(settings, channels);
        break;
    case GeneratorMode::Sine:
        sine(settings, channels);
        break;
    case GeneratorMode::Fourier:
        fourier(settings, channels);
        break;
    case GeneratorMode::Random:
        randomSegments(seed, channels);
        break;
    }
    for (std::size_t i = 0; i < kPaletteColours; ++i) {
        palette.setColour(i, Rgb{channels[i][0], channels[i][1], channels[i][2]});
        palette.setKnotKey(i, 7);
    }
    return true;
}

} // namespace vortimax
