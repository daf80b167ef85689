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
    bool operator==(const ColourCyclingSettings&) const = default;
};

// Rotates the palette of the active fractal step by step on the cycling timer, so the
// colours of its image flow without a new calculation. Works on the palette offset; only
// fractals with 8-bit colour depth are cycled. Used on the interface thread.
//
// Each fractal keeps its cycling settings (COLCYC, COLCYCUP, COLCYCSPEED, COLCYCSTEP),
// so a saved fractal cycles again as it did when it is loaded and made active. The
// window always shows the settings of the fractal last made active: when another fractal
// becomes active the window takes over its settings, and every change made in the window
// is written into the active fractal at once. Without an active fractal the window's
// settings are the program's own and no fractal changes.
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
    // Stores into the active fractal, or into the default offset without one.
    void setOffset(FractalRecord* active, double offset);

    // Takes over the cycling settings of a fractal that has just become active (nothing
    // when it is the one followed already). Returns whether the settings changed.
    bool follow(const FractalRecord* active);
    // Writes the present settings into the active fractal (after a change in the window).
    void store(FractalRecord* active) const;

    // One timer tick. Moves the active fractal's offset when cycling is on and the
    // fractal has 8-bit colour, and shows its palette at the new offset. Returns whether
    // the offset moved.
    bool tick(FractalRecord* active, const PaletteList& palettes);

private:
    const FractalRecord* followed_ = nullptr;
};

} // namespace vortimax
