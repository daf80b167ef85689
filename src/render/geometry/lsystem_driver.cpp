#include "render/geometry/lsystem_driver.h"

#include "model/fractal_view.h"
#include "render/area/area.h"
#include "render/geometry/figure_drawing.h"
#include "render/geometry/lsystem_expansion.h"
#include "render/geometry/plane_to_pixel.h"
#include "render/geometry/turtle.h"
#include "render/raster/line_drawing.h"

#include <algorithm>
#include <cmath>

namespace vortimax {

namespace {

// Characters between two looks at the command word.
constexpr std::uint64_t kCharactersPerSlice = 1 << 14;
constexpr double kFullTurn = 6.283185307;

TurtleState startingTurtle(const LSystemEntry& entry, std::int64_t depth) {
    TurtleState start;
    start.s = std::ldexp(1.0, static_cast<int>(-std::min<std::int64_t>(depth, 1 << 20)));
    start.delta = std::isfinite(entry.angle) && entry.angle != 0.0 ? kFullTurn / entry.angle : 0.0;
    return start;
}

// The turtle's lines on the canvas of the current slice: their ends are placed with the
// area, the part inside the image is kept and drawn between the nearest pixels.
class CanvasPen final : public TurtlePen {
public:
    explicit CanvasPen(const PlaneToPixel& toPixel) : toPixel_(toPixel) {}
    void attach(FigureCanvas& canvas) { canvas_ = &canvas; }

    void line(double x0, double y0, double x1, double y1, int index) override {
        double c0, r0, c1, r1;
        toPixel_.locate(x0, y0, c0, r0);
        toPixel_.locate(x1, y1, c1, r1);
        // Pixel k covers the places k - 0.5 up to k + 0.5.
        const ClipBox box{-0.5, -0.5, canvas_->width() - 0.5, canvas_->height() - 0.5};
        if (!clipSegment(c0, r0, c1, r1, box))
            return;
        const auto column = [&](double c) {
            return std::clamp(static_cast<int>(std::floor(c + 0.5)), 0, canvas_->width() - 1);
        };
        const auto row = [&](double r) {
            return std::clamp(static_cast<int>(std::floor(r + 0.5)), 0, canvas_->height() - 1);
        };
        FigureCanvas& canvas = *canvas_;
        drawIntegerLine(column(c0), row(r0), column(c1), row(r1),
                        [&](int x, int y) { canvas.plot(x, y, index); });
    }

private:
    const PlaneToPixel& toPixel_;
    FigureCanvas* canvas_ = nullptr;
};

} // namespace

std::string expansionTooLongText(const std::string& name, std::int64_t depth) {
    return "L-system \"" + name + "\" expands to more than " +
           std::to_string(kMostExpansionCharacters) + " characters at depth " +
           std::to_string(depth) + "; choose a smaller MaxIter.";
}

std::string expansionTooDeepText(const std::string& name, std::int64_t depth) {
    return "L-system \"" + name + "\" expands deeper than " + std::to_string(kMostExpansionLevels) +
           " levels at depth " + std::to_string(depth) + "; choose a smaller MaxIter.";
}

void drawLSystem(FractalView& view, const LSystemLookup& lookup) {
    FigureDrawing drawing(view);
    const FractalRecord& record = view.record();
    const std::string name = record.params().text("Formula");
    const std::optional<LSystemEntry> entry = lookup(name);
    if (!entry) {
        view.reportFailure(definitionMissingText("L-system", name));
        return;
    }
    const std::int64_t depth = std::max(record.params().integer("MaxIter"), 0);
    const LSystemGrammar grammar(*entry);
    const ExpansionSize size =
        measureExpansion(grammar, entry->axiom, depth, [&] { return view.mustStop(); });
    if (size.stopped)
        return;
    if (size.tooDeep || size.characters > kMostExpansionCharacters) {
        view.reportFailure(size.tooDeep ? expansionTooDeepText(name, depth)
                                        : expansionTooLongText(name, depth));
        return;
    }
    const PlaneToPixel toPixel(pixelMapping(record, RasterSize{record.width, record.height}));
    CanvasPen pen(toPixel);
    Turtle turtle(startingTurtle(*entry, depth), pen);
    LSystemWalk walk(grammar, entry->axiom, depth, turtle);
    const double total = static_cast<double>(std::max<std::uint64_t>(size.characters, 1));
    while (!walk.complete()) {
        drawing.slice([&](FigureCanvas& canvas) {
            pen.attach(canvas);
            walk.walk(kCharactersPerSlice);
        });
        if (drawing.sliceDone(std::min(walk.charactersWalked() / total, 1.0)))
            return;
    }
    drawing.finish();
}

} // namespace vortimax
