#include "render/relief/horizon_strip.h"

#include <algorithm>
#include <cmath>

namespace vortimax {

namespace {

struct StripPainter {
    StripColumn& strip;
    int rows;

    void paint(int y, float shade, float position) {
        strip.shade[static_cast<std::size_t>(y)] = shade;
        strip.position[static_cast<std::size_t>(y)] = position;
    }
    // Fills the screen rows from `from` to `to` (inclusive, either direction) with the
    // blend from (fromRow, a) to (toRow, b), clipped to the strip.
    void fill(int from, int to, int fromRow, int toRow, float shadeA, float shadeB, float posA,
              float posB) {
        const int low = std::max(std::min(from, to), 0);
        const int high = std::min(std::max(from, to), rows - 1);
        const double span = static_cast<double>(toRow) - fromRow;
        for (int y = low; y <= high; ++y) {
            const double f = (static_cast<double>(y) - fromRow) / span;
            paint(y, static_cast<float>(shadeA + f * (shadeB - shadeA)),
                  static_cast<float>(posA + f * (posB - posA)));
        }
        if (to >= 0 && to < rows)
            paint(to, shadeB, posB); // its own row exactly
    }
};

} // namespace

void StripColumn::reset(int rows) {
    shade.assign(static_cast<std::size_t>(rows), kNoSurface);
    position.assign(static_cast<std::size_t>(rows), 0.0f);
}

void drawStrip(const std::vector<ProfileRow>& rows, const std::vector<double>& shades,
               bool backToFront, StripColumn& strip) {
    const int count = static_cast<int>(rows.size());
    const int screenRows = static_cast<int>(strip.shade.size());
    if (count == 0)
        return;
    StripPainter painter{strip, screenRows};
    const int first = backToFront ? count - 1 : 0;
    const int step = backToFront ? -1 : 1;
    auto shadeOf = [&](int i) { return static_cast<float>(shades[static_cast<std::size_t>(i)]); };
    const ProfileRow& start = rows[static_cast<std::size_t>(first)];
    int upper = start.screenRow, lower = start.screenRow;
    if (start.screenRow >= 0 && start.screenRow < screenRows)
        painter.paint(start.screenRow, shadeOf(first), start.position);
    int previous = first;
    for (int i = first + step; i >= 0 && i < count; i += step) {
        const ProfileRow& row = rows[static_cast<std::size_t>(i)];
        const ProfileRow& before = rows[static_cast<std::size_t>(previous)];
        const int y = row.screenRow;
        if (y > upper) {
            painter.fill(upper + 1, y, before.screenRow, y, shadeOf(previous), shadeOf(i),
                         before.position, row.position);
            upper = y;
        } else if (y < lower) {
            painter.fill(lower - 1, y, before.screenRow, y, shadeOf(previous), shadeOf(i),
                         before.position, row.position);
            lower = y;
        }
        previous = i;
    }
}

bool seenFromBehind(double observerAngle) {
    double a = std::fmod(observerAngle, 360.0);
    if (a > 180.0)
        a -= 360.0;
    else if (a < -180.0)
        a += 360.0;
    return std::fabs(a) > 90.0;
}

} // namespace vortimax
