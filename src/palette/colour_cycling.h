#pragma once

namespace vortimax {

class FractalRecord;
class PaletteList;

// The settings of the colour-cycling window.
struct ColourCyclingSettings {
    bool on = false;
    bool upwards = true;
    double speed = 10.0; // steps per second
    double step = 1.0;   // palette positions per step
};

// Rotates the palette of the active fractal step by step on the cycling timer, so the
// colours of its image flow without a new calculation. Works on the palette offset; only
// fractals with 8-bit colour depth are cycled. Used on the interface thread.
class ColourCycling {
public:
    static constexpr int kTimerId = 1001;

    ColourCyclingSettings settings;
    // The offset used while no fractal is active.
    double defaultOffset = 0.0;

    // The cycling timer's interval for the present speed: trunc(1000 / speed) ms, at least
    // 1 ms; a speed of zero or below (or NaN) counts as one step per second.
    int intervalMs() const;

    // The offset one step further, brought back into 0 <= offset < 252.
    static double nextOffset(double offset, double step, bool upwards);

    // The active fractal's offset, or the default offset without one.
    double currentOffset(const FractalRecord* active) const;

    // One timer tick. Moves the active fractal's offset when cycling is on and the
    // fractal has 8-bit colour; a finished open image is recoloured through the rotated
    // palette at once, an unfinished one picks the offset up when it is next coloured.
    // Returns whether the offset moved.
    bool tick(FractalRecord* active, const PaletteList& palettes);
};

} // namespace vortimax
