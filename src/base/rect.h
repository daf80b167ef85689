#pragma once

namespace vortimax {

// A rectangle in pixels: left, top, width and height.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const Rect&, const Rect&) = default;
};

} // namespace vortimax
