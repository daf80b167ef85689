#include "render/geometry/ifs_chaos_game.h"

#include "render/geometry/figure_canvas.h"

#include <cmath>
#include <utility>

namespace vortimax {

namespace {

constexpr int kPaletteColours = 252;

bool withinBound(double v) {
    return v >= -kIfsBound && v <= kIfsBound; // false for NaN too
}

} // namespace

IfsColouring ifsColouring(int colormode) {
    switch (colormode) {
    case 1:
        return IfsColouring::ByMap;
    case 2:
        return IfsColouring::Density;
    default:
        return IfsColouring::Grey;
    }
}

ChaosGame::ChaosGame(ChaosGameSetup setup)
    : setup_(std::move(setup)), steps_(setup_.maxIter > 1 ? setup_.maxIter - 1 : 0) {
    over_ = steps_ == 0 || setup_.maps.empty();
}

double ChaosGame::progress() const {
    return over_ || steps_ == 0 ? 1.0 : static_cast<double>(taken_) / static_cast<double>(steps_);
}

int ChaosGame::colourIndex(double r, int x, int y, FigureCanvas& canvas) {
    switch (setup_.colouring) {
    case IfsColouring::ByMap: {
        const double total = setup_.maps.total();
        index_ = total > 0.0 ? paletteIndexOf(r / total * kPaletteColours) : 0;
        break;
    }
    case IfsColouring::Density:
        index_ = paletteIndexOf(canvas.addDensity(x, y));
        break;
    case IfsColouring::Grey:
        break;
    }
    return index_;
}

void ChaosGame::play(std::int64_t budget, FigureCanvas& canvas) {
    const IfsMapSet& maps = setup_.maps;
    const double total = maps.total();
    for (std::int64_t n = 0; n < budget && !over_; ++n) {
        const double r = random_.next() / static_cast<double>(ClassicRandom::kMax) * total;
        maps.maps()[maps.choose(r)].apply(x_, y_, z_);
        if (++taken_ == steps_)
            over_ = true;
        if (!withinBound(x_) || !withinBound(y_) || !withinBound(z_)) {
            over_ = true;
            break;
        }
        double re, im, column, row;
        setup_.projection.project(x_, y_, z_, re, im);
        setup_.toPixel.locate(re, im, column, row);
        if (auto pixel = nearestPixel(column, row, canvas.width(), canvas.height()))
            canvas.plot(pixel->x, pixel->y, colourIndex(r, pixel->x, pixel->y, canvas));
    }
}

} // namespace vortimax
