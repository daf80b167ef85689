#include "palette/hsv.h"

#include <cstdlib>

namespace vortimax {

namespace {

constexpr int kRed = 0, kGreen = 1, kBlue = 2;

struct Order {
    int max, mid, min; // channel indices
};

// Largest, middle and smallest channel; equal channels are ordered by these comparisons.
Order channelOrder(int red, int green, int blue) {
    if (red < green) {
        if (green < blue)
            return {kBlue, kGreen, kRed};
        return blue < red ? Order{kGreen, kRed, kBlue} : Order{kGreen, kBlue, kRed};
    }
    if (red < blue)
        return {kBlue, kRed, kGreen};
    return green < blue ? Order{kRed, kBlue, kGreen} : Order{kRed, kGreen, kBlue};
}

// Channels carrying the largest, smallest and middle value in each 60-degree sector.
constexpr int kSectorChannels[6][3] = {
    {kRed, kBlue, kGreen}, {kGreen, kBlue, kRed}, {kGreen, kRed, kBlue},
    {kBlue, kRed, kGreen}, {kBlue, kGreen, kRed}, {kRed, kGreen, kBlue},
};

} // namespace

HsvEntry rgbToHsv(int red, int green, int blue) {
    const int channels[3] = {red, green, blue};
    const Order order = channelOrder(red, green, blue);
    const int max = channels[order.max];
    const int mid = channels[order.mid];
    const int min = channels[order.min];
    const int fraction = max == min ? 0 : (mid - min) * 60 / (max - min);
    const int saturation = max == 0 ? 0 : (max - min) * 255 / max;
    const int d = order.max - order.min;
    const int sign = (d == 1 || d == -2) ? 1 : -1;
    int hue = sign * fraction + 120 * order.max;
    if (hue < 0)
        hue += 360;
    return {static_cast<std::int16_t>(hue), static_cast<std::int16_t>(saturation),
            static_cast<std::int16_t>(max)};
}

Rgb hsvToRgb(int hue, int saturation, int value) {
    hue %= 360;
    if (hue < 0)
        hue += 360;
    const int* sector = kSectorChannels[hue / 60];
    int h = hue;
    while (h > 60)
        h -= 120;
    const int largest = value;
    const int smallest = (256 - saturation) * value / 256;
    const int middle = smallest + (value - smallest) * std::abs(h) / 60;
    int channels[3];
    channels[sector[0]] = largest;
    channels[sector[1]] = smallest;
    channels[sector[2]] = middle;
    return {channels[kRed], channels[kGreen], channels[kBlue]};
}

HsvEntry interpolateHsv(const HsvEntry& a, const HsvEntry& b, double f) {
    int hueA = a.hue;
    int hueB = b.hue;
    if (std::abs(hueA - hueB) > 180)
        hueB += hueA > hueB ? 360 : -360;
    int hue = static_cast<int>(hueA + f * (hueB - hueA));
    while (hue < 0)
        hue += 360;
    while (hue >= 360)
        hue -= 360;
    const int saturation = static_cast<int>(a.saturation + f * (b.saturation - a.saturation));
    const int value = static_cast<int>(a.value + f * (b.value - a.value));
    return {static_cast<std::int16_t>(hue), static_cast<std::int16_t>(saturation),
            static_cast<std::int16_t>(value)};
}

} // namespace vortimax
