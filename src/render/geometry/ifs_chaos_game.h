#pragma once

// The chaos game of an IFS fractal: a point wanders under randomly chosen maps of the
// definition and every place it visits is plotted.

#include "render/geometry/classic_random.h"
#include "render/geometry/ifs_maps.h"
#include "render/geometry/ifs_projection.h"
#include "render/geometry/plane_to_pixel.h"

#include <cstdint>

namespace vortimax {

class FigureCanvas;

// How the points are coloured, from the fractal's Colormode.
enum class IfsColouring {
    Grey,    // every other Colormode: the grey entry 254, the colour of the drawing pen
    ByMap,   // 1: trunc(r / P * 252) modulo 252, so the colour follows the chosen map
    Density, // 2: the pixel's visit count in the value buffer, modulo 252
};
IfsColouring ifsColouring(int colormode);

// A coordinate beyond this bound (either sign, or not a number) ends the game: the orbit
// diverges.
inline constexpr double kIfsBound = 1000.0;
// The generator starts from this seed at every calculation, so a definition always
// gives the same image.
inline constexpr std::uint32_t kIfsSeed = 100;
// The grey palette entry (red = green = blue = 127).
inline constexpr int kIfsGreyIndex = 254;

struct ChaosGameSetup {
    IfsMapSet maps;
    IfsProjection projection{0.0, 0.0};
    PlaneToPixel toPixel{PixelMapping{}};
    IfsColouring colouring = IfsColouring::Grey;
    std::int64_t maxIter = 0; // the game takes MaxIter - 1 steps
};

class ChaosGame {
public:
    explicit ChaosGame(ChaosGameSetup setup);

    // Takes up to `budget` further steps, plotting on `canvas`. Each step chooses a map
    // with r = (random / 32767) P, moves the point (starting at the origin), ends the
    // game when a coordinate leaves the bound, and plots the projected point when it
    // lands in the image.
    void play(std::int64_t budget, FigureCanvas& canvas);
    bool over() const { return over_; }
    // Share of the steps taken (1 when over).
    double progress() const;
    std::int64_t stepsTaken() const { return taken_; }

private:
    int colourIndex(double r, int x, int y, FigureCanvas& canvas);

    ChaosGameSetup setup_;
    ClassicRandom random_{kIfsSeed};
    double x_ = 0.0, y_ = 0.0, z_ = 0.0;
    std::int64_t steps_ = 0;
    std::int64_t taken_ = 0;
    int index_ = kIfsGreyIndex;
    bool over_ = false;
};

} // namespace vortimax
