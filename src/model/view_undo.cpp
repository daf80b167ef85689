#include "model/view_undo.h"

#include "model/fractal_view.h"
#include "model/undo_history.h"

namespace vortimax {

namespace {

UndoState stateOf(const FractalRecord& record) {
    return {record.paramBlock, record.settings3DBlock, record.type, record.subtype};
}

UndoState snapshotOf(const FractalView& view) {
    return {view.paramSnapshot, view.settings3DSnapshot, view.snapshotType, view.snapshotSubtype};
}

void notifyParametersChanged(FractalView& view) {
    if (const auto& hook = view.environment().hooks.parametersChanged)
        hook(view.record());
}

using Step = std::optional<UndoApplied> (UndoHistory::*)(UndoState&);

bool applyStep(FractalRecord& record, Step step) {
    FractalView* view = record.view;
    if (view == nullptr)
        return false;
    const UndoHistory& history = view->undoHistory();
    if (!(step == &UndoHistory::undo ? history.canUndo() : history.canRedo()))
        return false;
    UndoState state = stateOf(record);
    pauseView(*view);
    std::optional<UndoApplied> applied = (view->undoHistory().*step)(state);
    if (!applied)
        return false;
    record.paramBlock = state.params;
    record.settings3DBlock = state.settings3D;
    record.type = state.type;
    record.subtype = state.subtype;
    view->takeSnapshot();
    notifyParametersChanged(*view);
    if (applied->needsRecalculation())
        recalculateView(*view);
    else
        continueView(*view);
    return true;
}

} // namespace

bool recordUndo(FractalRecord& record, std::string_view label) {
    FractalView* view = record.view;
    if (view == nullptr)
        return false;
    if (!view->undoHistory().record(snapshotOf(*view), stateOf(record), label))
        return false;
    view->takeSnapshot();
    notifyParametersChanged(*view);
    return true;
}

void recordUndoAndRecalculate(FractalRecord& record, bool force, std::string_view label) {
    bool recorded = recordUndo(record, label);
    if ((recorded || force) && record.view != nullptr)
        recalculateView(*record.view);
}

bool undoStep(FractalRecord& record) {
    return applyStep(record, &UndoHistory::undo);
}

bool redoStep(FractalRecord& record) {
    return applyStep(record, &UndoHistory::redo);
}

UndoMenuState undoMenuState(const FractalRecord* record) {
    UndoMenuState state;
    if (record == nullptr || record->view == nullptr)
        return state;
    const UndoHistory& history = record->view->undoHistory();
    state.undoText = history.undoLabel();
    state.redoText = history.redoLabel();
    state.canUndo = history.canUndo();
    state.canRedo = history.canRedo();
    return state;
}

} // namespace vortimax
