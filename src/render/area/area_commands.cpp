#include "render/area/area_commands.h"

#include "base/frontend.h"
#include "model/undo_labels.h"
#include "model/view_undo.h"
#include "render/area/area.h"
#include "render/area/image_shift.h"

#include <vector>

namespace vortimax {

namespace {

RasterSize sizeOf(const FractalRecord& record) {
    return {record.width, record.height};
}

SelectionBox selectionOf(const FractalView& view) {
    return {view.selectionLeft, view.selectionTop, view.selectionRight, view.selectionBottom};
}

void report(ViewEnvironment& environment, const std::string& line) {
    if (environment.frontend != nullptr)
        environment.frontend->addMessage(line);
}

void repaintAll(FractalView& view) {
    if (Frontend* frontend = view.environment().frontend)
        frontend->viewChanged(view.id(), Rect{0, 0, view.buffers().width, view.buffers().height});
}

} // namespace

bool zoomFractal(FractalRecord& record, bool zoomIn, ViewEnvironment& environment) {
    FractalView* view = record.view;
    if (view == nullptr || !hasComplexArea(record))
        return false;
    pauseView(*view);
    const UndoState before = undoStateOf(record);
    auto line = zoomArea(record, sizeOf(record), selectionOf(*view),
                         zoomIn ? ZoomDirection::In : ZoomDirection::Out);
    if (!line) {
        resumeView(*view);
        return false;
    }
    report(environment, *line);
    view->selectionLeft = kNoSelection;
    recordUndoAndRecalculate(record, before, true, zoomIn ? kZoomInLabel : kZoomOutLabel);
    return true;
}

bool moveFractal(FractalRecord& record, int dx, int dy, ViewEnvironment& environment) {
    FractalView* view = record.view;
    if (view == nullptr || !hasComplexArea(record) || (dx == 0 && dy == 0))
        return false;
    pauseView(*view);
    // The values and pixels move here on the main thread.
    pauseViewsReading(*view);
    const UndoState before = undoStateOf(record);
    ImageBuffers& buffers = view->buffers();
    std::vector<std::span<float>> values{std::span<float>(buffers.values)};
    if (!buffers.tierazon1.empty()) {
        values.emplace_back(buffers.tierazon1);
        values.emplace_back(buffers.tierazon2);
    }
    MovedBuffers moved{values, {}, {}};
    if (buffers.bytesPerPixel == 1)
        moved.pixels8 = buffers.pixels;
    else
        moved.pixels24 = buffers.pixels;
    view->lockResize();
    BufferMoveResult result = moveImageBuffers(moved, buffers.width, buffers.height, dx, dy);
    view->unlockResize();
    auto line = moveArea(record, sizeOf(record), dx, dy);
    recordUndo(record, before, kMoveLabel);
    if (result == BufferMoveResult::Rejected || !line) {
        recalculateView(*view);
        return line.has_value();
    }
    repaintAll(*view);
    report(environment, *line);
    const std::int64_t total = static_cast<std::int64_t>(buffers.width) * buffers.height;
    view->setPassLimit(
        restartPassCount(countCalculated(buffers.values, buffers.width, buffers.height), total));
    view->post(calc::kResume, calc::kIdle);
    return true;
}

bool proportionalFractal(FractalRecord& record) {
    FractalView* view = record.view;
    if (view == nullptr)
        return makeProportional(record, sizeOf(record));
    pauseView(*view);
    const UndoState before = undoStateOf(record);
    if (!makeProportional(record, sizeOf(record))) {
        resumeView(*view);
        return false;
    }
    recordUndoAndRecalculate(record, before, true, kProportionalLabel);
    return true;
}

bool WheelZoom::notch(FractalRecord& record, double column, double row, bool zoomIn, bool continues,
                      ViewEnvironment& environment) {
    FractalView* view = record.view;
    if (view == nullptr || !hasComplexArea(record))
        return false;
    pauseView(*view);
    const UndoState before = undoStateOf(record);
    const double factor = zoomIn ? 1.0 / kWheelZoomFactor : kWheelZoomFactor;
    if (!zoomAreaAbout(record, sizeOf(record), column, row, factor)) {
        resumeView(*view);
        return false;
    }
    const bool sameTurn = step_.grows(record, continues);
    inwards_ = (sameTurn ? inwards_ : 0) + (zoomIn ? 1 : -1);
    if (!sameTurn)
        report(environment,
               std::string(zoomIn ? kZoomingInText : kZoomingOutText) + ": " + record.name);
    const bool in = inwards_ > 0 || (inwards_ == 0 && zoomIn);
    step_.record(record, before, continues, in ? kZoomInLabel : kZoomOutLabel);
    recalculateView(*view);
    return true;
}

} // namespace vortimax
