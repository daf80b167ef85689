#include "colour_reference.h"

#include "model/pass_scheme.h"
#include "model/type_registry.h"
#include "render/colour/colour_mapping.h"
#include "render/colour/dither.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vortimax::reference {

namespace {

struct Hsv {
    int hue, saturation, value;
};

struct Mapping {
    int type;
    bool reservedInside, smooth;
    double speed, accel, quantum;

    explicit Mapping(const ColourSettings& s)
        : type(s.type), reservedInside(s.reservedInside), smooth(s.smoothing > 0.0),
          speed(colourParams(s.type, s.speed, s.accel).speed),
          accel(colourParams(s.type, s.speed, s.accel).accel), quantum(s.smoothing) {}

    double raw(double v) const {
        const double invSpeed = 1.0 / speed, invAccel = 1.0 / accel;
        switch (type) {
        case 1:
            return std::log2(v * invAccel + 1.0) * (accel * speed);
        case 2:
            return std::atan(v * invAccel) * (accel * speed);
        case 3:
            return std::sin(v * invSpeed * 0.01) * (accel * 251);
        default:
            return v * invSpeed;
        }
    }
    static double wrapSlowly(double q) {
        if (!std::isfinite(q))
            return 0.0;
        double r = std::fmod(q, 252.0);
        if (r < 0.0)
            r += 252;
        return r < 252 ? r : 0.0;
    }
    static double wrap(double q) {
        if (!(std::fabs(q) < 0x1p52))
            return wrapSlowly(q);
        double r = q - 252 * std::trunc(q * (1.0 / 252));
        if (r < 0.0)
            r += 252;
        return r >= 0.0 && r < 252 ? r : wrapSlowly(q);
    }
    double position(double v) const {
        if (!std::isfinite(v))
            return 0.0;
        if (v < 0.0) {
            if (reservedInside)
                return std::min(251 - v, 255.0);
            v = -v;
        }
        const double q = wrap(raw(v));
        if (!smooth)
            return q;
        const double r = std::trunc(q * (1.0 / quantum)) * quantum;
        return r >= 0.0 && r < 252 ? r : 0.0;
    }
};

Hsv interpolate(const HsvEntry& a, const HsvEntry& b, double f) {
    int hueA = a.hue, hueB = b.hue;
    if (std::abs(hueA - hueB) > 180)
        hueB += hueA > hueB ? 360 : -360;
    int hue = static_cast<int>(hueA + f * (hueB - hueA));
    while (hue < 0)
        hue += 360;
    while (hue >= 360)
        hue -= 360;
    // The triple passes through 16-bit entries.
    return {static_cast<std::int16_t>(hue),
            static_cast<std::int16_t>(
                static_cast<int>(a.saturation + f * (b.saturation - a.saturation))),
            static_cast<std::int16_t>(static_cast<int>(a.value + f * (b.value - a.value)))};
}

// Blue, green, red of an HSV triple, each held to 0 ... 255.
std::array<std::uint8_t, 3> toBgr(Hsv c) {
    static const int kSectors[6][3] = {{0, 2, 1}, {1, 2, 0}, {1, 0, 2},
                                       {2, 0, 1}, {2, 1, 0}, {0, 1, 2}};
    int hue = c.hue % 360;
    if (hue < 0)
        hue += 360;
    int h = hue;
    while (h > 60)
        h -= 120;
    const int smallest = (256 - c.saturation) * c.value / 256;
    int rgb[3];
    rgb[kSectors[hue / 60][0]] = c.value;
    rgb[kSectors[hue / 60][1]] = smallest;
    rgb[kSectors[hue / 60][2]] = smallest + (c.value - smallest) * std::abs(h) / 60;
    auto byte = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
    return {byte(rgb[2]), byte(rgb[1]), byte(rgb[0])};
}

std::array<std::uint8_t, 3> positionBgr(const ColourTable& colours, double position) {
    if (!(position >= 0.0 && position < 256.0))
        position = 0.0;
    const int i = static_cast<int>(position);
    const HsvEntry& a = colours.hsv[static_cast<std::size_t>(i)];
    if (i >= 252)
        return toBgr({a.hue, a.saturation, a.value});
    return toBgr(
        interpolate(a, colours.hsv[static_cast<std::size_t>(i == 251 ? 0 : i + 1)], position - i));
}

} // namespace

void Colourer::colourRow(FractalView& view, int x0, int row, int count, int blockSize) {
    const FractalRecord& record = view.record();
    ImageBuffers& b = view.buffers();
    const bool trueColour = record.displayDepth == 24;
    const std::size_t cells = static_cast<std::size_t>(b.valueStride()) * b.height;
    if (b.width <= 0 || b.height <= 0 || b.bytesPerPixel != (trueColour ? 3 : 1) ||
        b.values.size() < cells || x0 < 0 || x0 >= b.width || row < 0 || row >= b.height ||
        count <= 0)
        return;
    const bool summed = (record.type == kTypeTieraJulia || record.type == kTypeTieraMandel) &&
                        b.tierazon1.size() >= cells && b.tierazon2.size() >= cells;
    const Mapping mapping(readColourSettings(record));
    const int block = std::clamp(blockSize, 1, kMaxImageSide);
    const int end = x0 + std::min(count, b.width - x0);
    const int rowEnd = row + std::min(block, b.height - row);
    const std::size_t at = static_cast<std::size_t>(row) * b.valueStride();
    for (int x = x0; x < end; x += block) {
        double v = b.values[at + x];
        if (summed)
            v = static_cast<double>(b.values[at + x]) + b.tierazon1[at + x] + b.tierazon2[at + x];
        const double position = mapping.position(v);
        const auto bgr = positionBgr(view.colours, position);
        for (int y = row; y < rowEnd; ++y)
            for (int column = x; column < std::min(x + block, b.width); ++column) {
                if (trueColour)
                    std::copy(bgr.begin(), bgr.end(), b.pixelRow(y) + 3 * column);
                else
                    b.pixelRow(y)[column] = static_cast<std::uint8_t>(position);
            }
    }
    if (!trueColour || !record.trueColourOn8Bit || b.screen.empty())
        return;
    const bool downward = row < b.height / 2;
    for (int i = 0; i < rowEnd - row; ++i)
        ditherRow(view, downward ? rowEnd - 1 - i : row + i, downward);
}

void Colourer::recolour(FractalView& view) {
    const ImageBuffers& b = view.buffers();
    for (int row : passRowOrder(PassRect{0, 0, b.width - 1, b.height - 1}, 1))
        colourRow(view, 0, row, b.width, 1);
    if (view.record().displayDepth == 24 && view.record().trueColourOn8Bit && !b.screen.empty())
        ditherSweep(view);
}

void Colourer::clear(ErrorSet& set, int width) {
    set.lastRow = -2;
    for (int c = 0; c < 3; ++c) {
        set.current[c].assign(static_cast<std::size_t>(width), 0.0f);
        set.next[c].assign(static_cast<std::size_t>(width), 0.0f);
    }
}

void Colourer::ditherRow(FractalView& view, int row, bool downward) {
    ImageBuffers& b = view.buffers();
    const int width = b.width;
    ErrorSet& set = sets_[downward ? 0 : 1];
    if (row != (downward ? set.lastRow - 1 : set.lastRow + 1) ||
        set.current[0].size() != static_cast<std::size_t>(width))
        clear(set, width);
    const std::uint8_t* bgr = b.pixelRow(row);
    std::uint8_t* indices = b.screen.data() + static_cast<std::size_t>(row) * b.rowLength;
    for (int x = 0; x < width; ++x) {
        float value[3];
        int level[3];
        for (int c = 0; c < 3; ++c) {
            value[c] = std::clamp(bgr[3 * x + 2 - c] + set.current[c][x], 0.0f, 255.0f);
            level[c] = static_cast<int>(value[c] - 0.5f);
        }
        indices[x] = nearestColour(level[0], level[1], level[2]);
        const DitherColour& chosen = ditherPalette()[indices[x]];
        const int palette[3] = {chosen.red, chosen.green, chosen.blue};
        for (int c = 0; c < 3; ++c) {
            const float error = (value[c] - palette[c]) / 16.0f;
            if (x + 1 < width)
                set.current[c][x + 1] += 7.0f * error;
            if (x > 0)
                set.next[c][x - 1] += 3.0f * error;
            set.next[c][x] += 5.0f * error;
            if (x + 1 < width)
                set.next[c][x + 1] += error;
        }
    }
    for (int c = 0; c < 3; ++c) {
        std::fill(set.current[c].begin(), set.current[c].end(), 0.0f);
        std::swap(set.current[c], set.next[c]);
    }
    set.lastRow = row;
}

// Both sets start and end the sweep cleared.
void Colourer::ditherSweep(FractalView& view) {
    const int width = view.buffers().width;
    clear(sets_[0], width);
    clear(sets_[1], width);
    for (int row = view.buffers().height - 1; row >= 0; --row)
        ditherRow(view, row, true);
    clear(sets_[0], width);
    clear(sets_[1], width);
}

} // namespace vortimax::reference
