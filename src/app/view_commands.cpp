#include "app/command_actions.h"
#include "app/filtered_copy.h"
#include "model/calc_command.h"
#include "model/fractal_view.h"
#include "model/type_conversion.h"
#include "model/undo_labels.h"
#include "model/view_undo.h"
#include "palette/palette_application.h"
#include "render/area/area.h"
#include "render/area/area_commands.h"
#include "render/filters/image_filter.h"

#include <algorithm>
#include <cstring>

namespace vortimax::actions {

namespace {

constexpr int kZoomHintTicks = 50;
constexpr std::string_view kZoomInHint =
    "Define the area to zoom in and choose 'Boxzoom in' again...";
constexpr std::string_view kZoomOutHint =
    "Define the area to zoom out and choose 'Boxzoom out' again...";
constexpr std::string_view kCreating3DCaption = "Creating 3D image";
constexpr std::string_view kNetworkCaption = "Network Subsystem";
constexpr int kBoxZoomIn = 29036;
constexpr int kToTrueColour = 29143;

FractalRecord& current(Application& app) {
    return *app.currentFractal();
}

FractalView& currentView(Application& app) {
    return *app.currentFractal()->view;
}

void setSelection(FractalView& view, int left, int top, int right, int bottom) {
    view.selectionLeft = left;
    view.selectionTop = top;
    view.selectionRight = right;
    view.selectionBottom = bottom;
    if (Frontend* frontend = view.environment().frontend)
        frontend->viewChanged(view.id(), Rect{0, 0, view.buffers().width, view.buffers().height});
}

void showDefaultSelection(FractalView& view) {
    const int width = view.buffers().width;
    const int height = view.buffers().height;
    setSelection(view, width / 4, 3 * height / 4, 3 * width / 4, height / 4);
}

bool hasSelection(const FractalView& view) {
    return view.selectionLeft != kNoSelection;
}

// The parameter windows show the record's values anew.
void parametersChanged(Application& app, FractalRecord& record) {
    if (app.views().hooks.parametersChanged)
        app.views().hooks.parametersChanged(record);
}

// Ctrl + Boxzoom: the zoomed area goes to a copy of the fractal, calculated in a window
// of its own, whose first undo step is the zoom; the original keeps its area.
void zoomIntoNewFractal(Application& app, FractalRecord& source, bool zoomIn) {
    FractalView& view = *source.view;
    auto copy = cloneRecord(source, app.creationContext());
    const UndoState before = undoStateOf(*copy);
    const SelectionBox box{view.selectionLeft, view.selectionTop, view.selectionRight,
                           view.selectionBottom};
    auto line = zoomArea(*copy, RasterSize{source.width, source.height}, box,
                         zoomIn ? ZoomDirection::In : ZoomDirection::Out);
    if (!line)
        return;
    app.frontend().addMessage(*line);
    setSelection(view, kNoSelection, kNoSelection, kNoSelection, kNoSelection);
    FractalRecord& added = app.workspace().addFractal(*source.folder, std::move(copy), true);
    if (openView(added, false, app.views()) == 0)
        recordUndo(added, before, zoomIn ? kZoomInLabel : kZoomOutLabel);
}

// Reallocates the open view for a record change that alters its buffers; without memory
// the change is taken back and the reason shown.
template <typename Change, typename Undo>
void changeLayout(Application& app, FractalRecord& record, std::string_view caption, Change change,
                  Undo undoChange) {
    // The worker reads these fields while it calculates: it pauses first.
    if (record.view != nullptr)
        pauseView(*record.view);
    change();
    if (relayoutView(record, app.views()) == 0)
        return;
    undoChange();
    app.frontend().messageBox(caption, kNotEnoughMemoryText, MessageButtons::Ok,
                              MessageIcon::Error);
    if (record.view != nullptr)
        redrawView(*record.view);
}

FractalRecord* networkFractal(Application& app, const FractalRecord& except) {
    for (Folder& folder : app.workspace().folders().all())
        for (FractalRecord& record : folder.fractals().all())
            if (&record != &except && record.networkMode != 0)
                return &record;
    return nullptr;
}

std::string networkQuestion(const std::string& other) {
    return "Only one fractal at a time can use the network subsystem.\nCurrently fractal " + other +
           " is using it.\n\nDo you really want to calculate this fractal in network "
           "mode,\nthus " +
           other + " gets calculated the normal way?";
}

// Pauses, switches network mode and resumes the fractal.
void switchNetworkMode(FractalRecord& record, std::int32_t mode) {
    if (record.view != nullptr)
        pauseView(*record.view);
    record.networkMode = mode;
    if (record.view != nullptr)
        resumeView(*record.view);
}

} // namespace

CommandOutcome undo(Application& app, const CommandInvocation&) {
    FractalRecord& record = current(app);
    if (!undoStep(record))
        return CommandOutcome::NotAvailable;
    parametersChanged(app, record);
    return CommandOutcome::Done;
}

CommandOutcome redo(Application& app, const CommandInvocation&) {
    FractalRecord& record = current(app);
    if (!redoStep(record))
        return CommandOutcome::NotAvailable;
    parametersChanged(app, record);
    return CommandOutcome::Done;
}

CommandOutcome select(Application& app, const CommandInvocation&) {
    showDefaultSelection(currentView(app));
    return CommandOutcome::Done;
}

CommandOutcome selectAll(Application& app, const CommandInvocation&) {
    FractalView& view = currentView(app);
    setSelection(view, 0, 0, view.buffers().width - 1, view.buffers().height - 1);
    return CommandOutcome::Done;
}

CommandOutcome deselect(Application& app, const CommandInvocation&) {
    setSelection(currentView(app), kNoSelection, kNoSelection, kNoSelection, kNoSelection);
    return CommandOutcome::Done;
}

// Resets the fractal to its type's and subtype's defaults as an undo step; the image is
// calculated anew only when asked for.
CommandOutcome defaultValues(Application& app, const CommandInvocation&) {
    FractalRecord& record = current(app);
    if (record.view != nullptr)
        pauseView(*record.view);
    const UndoState before = undoStateOf(record);
    setDefaults(record, record.type, record.subtype);
    recordUndo(record, before, kDefaultValuesLabel);
    parametersChanged(app, record);
    return CommandOutcome::Done;
}

CommandOutcome boxZoom(Application& app, const CommandInvocation& command) {
    FractalRecord& record = current(app);
    FractalView& view = *record.view;
    const bool zoomIn = command.id == kBoxZoomIn;
    if (!hasSelection(view)) {
        showDefaultSelection(view);
        app.frontend().setStatus(zoomIn ? kZoomInHint : kZoomOutHint, kZoomHintTicks);
        app.notify(ApplicationChange::Status);
        return CommandOutcome::Done;
    }
    if (command.modifiers.control)
        zoomIntoNewFractal(app, record, zoomIn);
    else
        zoomFractal(record, zoomIn, app.views());
    return CommandOutcome::Done;
}

CommandOutcome convertType(Application& app, const CommandInvocation& command) {
    FractalRecord& record = current(app);
    const auto direction = command.id == kToTrueColour ? ConversionDirection::ToTrueColour
                                                       : ConversionDirection::ToEscapeTime;
    if (!conversionTarget(record.type, direction))
        return CommandOutcome::NotAvailable;
    if (record.view != nullptr)
        pauseView(*record.view);
    const UndoState before = undoStateOf(record);
    convertFractalType(record, direction);
    recordUndoAndRecalculate(record, before, true, kTypeConversionLabel);
    parametersChanged(app, record);
    return CommandOutcome::Done;
}

CommandOutcome proportional(Application& app, const CommandInvocation&) {
    FractalRecord& record = current(app);
    proportionalFractal(record);
    parametersChanged(app, record);
    return CommandOutcome::Done;
}

CommandOutcome imageFilter(Application& app, const CommandInvocation& command) {
    FractalRecord& record = current(app);
    if (record.view != nullptr)
        pauseView(*record.view); // the worker reads the filter choice
    // Anti-aliasing writes into a linked half-size copy; without one the fractal keeps
    // its filter.
    if (record.view != nullptr && command.value == kFilterAntiAlias &&
        !linkAntiAliasedCopy(app, *record.view)) {
        filterView(*record.view);
        return CommandOutcome::Done;
    }
    record.imageFilter = command.value;
    if (record.view != nullptr)
        filterView(*record.view);
    return CommandOutcome::Done;
}

CommandOutcome disconnectFilteredCopy(Application& app, const CommandInvocation&) {
    unlinkFilteredCopy(currentView(app));
    return CommandOutcome::Done;
}

// New fractals take the depth from now on; the current fractal is shown in it at once.
CommandOutcome paletteMode(Application& app, const CommandInvocation& command) {
    app.settings().displayDepth = command.value;
    FractalRecord& record = current(app);
    if (record.displayDepth == command.value)
        return CommandOutcome::Done;
    const std::int32_t oldDepth = record.displayDepth;
    const std::int32_t oldFlag = record.trueColourOn8Bit;
    const int screenDepth = app.views().screenDepth;
    changeLayout(
        app, record, kResizingCaption,
        [&] {
            record.displayDepth = command.value;
            record.trueColourOn8Bit = trueColourOn8Bit(command.value, screenDepth);
        },
        [&] {
            record.displayDepth = oldDepth;
            record.trueColourOn8Bit = oldFlag;
        });
    return CommandOutcome::Done;
}

CommandOutcome toggle3D(Application& app, const CommandInvocation&) {
    FractalRecord& record = current(app);
    const std::int32_t before = record.dims;
    changeLayout(
        app, record, kCreating3DCaption, [&] { record.dims = before != 0 ? 0 : 1; },
        [&] { record.dims = before; });
    return CommandOutcome::Done;
}

CommandOutcome toggleScrollbars(Application& app, const CommandInvocation&) {
    FractalRecord& record = current(app);
    record.scrollbar = record.scrollbar != 0 ? 0 : 1;
    app.notify(ApplicationChange::FractalWindow);
    return CommandOutcome::Done;
}

// Only one fractal at a time calculates over the network: taking it over asks first and
// gives the other fractal back to the local calculation.
CommandOutcome toggleNetworkMode(Application& app, const CommandInvocation&) {
    FractalRecord& record = current(app);
    if (record.networkMode == 0) {
        if (FractalRecord* other = networkFractal(app, record)) {
            MessageAnswer answer =
                app.frontend().messageBox(kNetworkCaption, networkQuestion(other->name),
                                          MessageButtons::YesNo, MessageIcon::Question);
            if (answer != MessageAnswer::Yes)
                return CommandOutcome::Done;
            switchNetworkMode(*other, 0);
        }
    }
    switchNetworkMode(record, record.networkMode != 0 ? 0 : 1);
    return CommandOutcome::Done;
}

CommandOutcome recalculate(Application& app, const CommandInvocation&) {
    FractalView& view = currentView(app);
    pauseView(view);
    recalculateView(view);
    return CommandOutcome::Done;
}

CommandOutcome redraw(Application& app, const CommandInvocation&) {
    FractalView& view = currentView(app);
    pauseView(view);
    applyPaletteToView(view, app.palettes());
    redrawView(view);
    return CommandOutcome::Done;
}

// Opens the fractal's window and calculates it; an open one is calculated on.
CommandOutcome calculate(Application& app, const CommandInvocation&) {
    FractalRecord& record = current(app);
    if (record.view == nullptr)
        openView(record, false, app.views());
    else if (!record.view->finished())
        resumeView(*record.view);
    return CommandOutcome::Done;
}

CommandOutcome pause(Application& app, const CommandInvocation&) {
    pauseView(currentView(app));
    return CommandOutcome::Done;
}

CommandOutcome resume(Application& app, const CommandInvocation&) {
    FractalView& view = currentView(app);
    view.setPassLimit(1000);
    resumeView(view);
    return CommandOutcome::Done;
}

// A copy of the fractal in a window of its own. A finished source of the same size hands
// over its values and pixels, so the copy needs no calculation.
CommandOutcome cloneFractal(Application& app, const CommandInvocation&) {
    FractalRecord& source = current(app);
    FractalRecord& copy = app.workspace().addFractal(
        *source.folder, cloneRecord(source, app.creationContext()), true);
    if (openView(copy, true, app.views()) != 0 || copy.view == nullptr)
        return CommandOutcome::Done;
    FractalView& target = *copy.view;
    applyPaletteToView(target, app.palettes());
    FractalView* from = source.view;
    if (from == nullptr || !from->finished() || from->buffers().width != target.buffers().width ||
        from->buffers().height != target.buffers().height ||
        from->buffers().bytesPerPixel != target.buffers().bytesPerPixel) {
        recalculateView(target);
        return CommandOutcome::Done;
    }
    pauseView(*from);
    const ImageBuffers& a = from->buffers();
    ImageBuffers& b = target.buffers();
    b.values = a.values;
    b.tierazon1 = a.tierazon1;
    b.tierazon2 = a.tierazon2;
    b.pixels = a.pixels;
    if (a.image3D.size() == b.image3D.size()) {
        b.heightField = a.heightField;
        b.image3D = a.image3D;
        b.image3D8 = a.image3D8;
    }
    redrawView(target);
    return CommandOutcome::Done;
}

} // namespace vortimax::actions
