#include "render/geometry/ifs_driver.h"

#include "model/fractal_view.h"
#include "render/area/area.h"
#include "render/geometry/figure_drawing.h"
#include "render/geometry/ifs_chaos_game.h"

#include <algorithm>

namespace vortimax {

namespace {

// Steps between two looks at the command word: a few milliseconds of work, so even
// 10^9 points stop, pause or close at once.
constexpr std::int64_t kStepsPerSlice = 1 << 15;

ChaosGameSetup setupFor(const FractalRecord& record, const IfsEntry& entry) {
    const ConstBlockRef params = record.params();
    const int maxIter = std::max(params.integer("MaxIter"), 0);
    IfsExpressionInputs inputs;
    inputs.parms = {params.real("Parm1"), params.real("Parm2"), params.real("Parm3"),
                    params.real("Parm4")};
    inputs.maxIter = maxIter;
    inputs.width = record.width;
    inputs.height = record.height;
    ChaosGameSetup setup;
    setup.maps = evaluateIfsMaps(entry, inputs);
    setup.projection = IfsProjection(params.real("Alpha"), params.real("Beta"));
    setup.toPixel = PlaneToPixel(pixelMapping(record, RasterSize{record.width, record.height}));
    setup.colouring = ifsColouring(params.integer("Colormode"));
    setup.maxIter = maxIter;
    return setup;
}

} // namespace

void drawIfs(FractalView& view, const IfsLookup& lookup) {
    FigureDrawing drawing(view);
    const std::string name = view.record().params().text("Formula");
    const std::optional<IfsEntry> entry = lookup(name);
    if (!entry) {
        view.reportFailure(definitionMissingText("IFS", name));
        return;
    }
    ChaosGame game(setupFor(view.record(), *entry));
    while (!game.over()) {
        drawing.slice([&](FigureCanvas& canvas) { game.play(kStepsPerSlice, canvas); });
        if (drawing.sliceDone(game.progress()))
            return;
    }
    drawing.finish();
}

} // namespace vortimax
