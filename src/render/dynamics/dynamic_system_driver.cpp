#include "render/dynamics/dynamic_system_driver.h"

#include "model/fractal_view.h"
#include "model/value_rules.h"
#include "render/dynamics/attractor_projection.h"
#include "render/dynamics/dynamic_system.h"
#include "render/dynamics/pen_canvas.h"
#include "render/dynamics/picture_updates.h"

#include <cstdio>
#include <mutex>
#include <optional>

namespace vortimax {

namespace {

constexpr int kBackgroundEntry = 252;
constexpr int kPenEntry = 254;

// Steps drawn between two looks at the progress and the clock; the command word is
// looked at before every step.
constexpr int kStepsPerBatch = 256;

bool trueColour(const FractalView& view) {
    return view.buffers().bytesPerPixel == 3;
}

PixelColour colourOf(const FractalView& view, int entry) {
    if (!trueColour(view))
        return {static_cast<std::uint8_t>(entry), 0, 0};
    const ColourEntry& colour = view.colours.entries[static_cast<std::size_t>(entry)];
    return {colour.blue, colour.green, colour.red};
}

PixelColour backgroundOf(const FractalView& view) {
    return trueColour(view) ? PixelColour{0, 0, 0} : colourOf(view, kBackgroundEntry);
}

std::string stuckText(double time) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "the step no longer advances the time at t = %g: Delta is too small for "
                  "this Time",
                  time);
    return text;
}

// Joins the projected points of the orbit, or plots them.
class OrbitPen {
public:
    OrbitPen(PenCanvas& canvas, const AttractorProjection& projection, bool points)
        : canvas_(canvas), projection_(projection), points_(points) {}

    // The start: a move, nothing drawn.
    void moveTo(const Vec3& p) { last_ = projection_.pixelOf(p); }
    void drawTo(const Vec3& p) {
        const PixelPoint next = projection_.pixelOf(p);
        if (points_)
            canvas_.dot(next);
        else
            canvas_.line(last_, next);
        last_ = next;
    }

private:
    PenCanvas& canvas_;
    const AttractorProjection& projection_;
    bool points_;
    PixelPoint last_;
};

// Draws the orbit batch by batch. Returns the reason when it could not be drawn,
// nothing when it was drawn or stopped.
std::optional<std::string> drawOrbit(FractalView& view, const DynamicSystemParams& params,
                                     OrbitPen& pen, PictureUpdates& updates) {
    DynamicOrbit orbit(params);
    pen.moveTo(orbit.point());
    for (;;) {
        {
            std::lock_guard pixels(view.pixelLock());
            for (int n = 0; n < kStepsPerBatch; ++n) {
                if (view.mustStop())
                    return std::nullopt;
                switch (orbit.step()) {
                case OrbitStep::Moved:
                    pen.drawTo(orbit.point());
                    break;
                case OrbitStep::Ended:
                    view.setProgress(1.0);
                    return std::nullopt;
                case OrbitStep::Stuck:
                    return stuckText(orbit.time());
                }
            }
        }
        view.setProgress(orbit.progress());
        updates.whenDue();
    }
}

} // namespace

void calculateDynamicSystem(FractalView& view, int, int, int, int) {
    if (const auto refused = refusedValueOf(view.record())) {
        view.reportFailure(*refused);
        return;
    }
    const DynamicSystemParams params = readDynamicSystemParams(view.record());
    if (params.system >= kDynamicSystemCount) {
        view.reportFailure("there is no dynamic system number " + std::to_string(params.system));
        return;
    }
    ImageBuffers& buffers = view.buffers();
    const AttractorProjection projection =
        attractorProjection(view.record(), params, buffers.width, buffers.height);
    PenCanvas canvas(buffers, colourOf(view, kPenEntry));
    {
        std::lock_guard pixels(view.pixelLock());
        canvas.fill(backgroundOf(view));
    }
    PictureUpdates updates(view);
    OrbitPen pen(canvas, projection, params.points);
    const std::optional<std::string> failure = drawOrbit(view, params, pen, updates);
    updates.finish();
    if (failure)
        view.reportFailure(*failure);
}

} // namespace vortimax
