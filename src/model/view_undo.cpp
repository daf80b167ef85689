#include "model/view_undo.h"

#include "model/fractal_view.h"
#include "model/undo_history.h"

namespace vortimax {

namespace {

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
    UndoState state = undoStateOf(record);
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

// The snapshot follows every step, so it always holds the parameters of the newest one.
bool recordInHistory(FractalView& view, const UndoState& before, std::string_view label) {
    if (!view.undoHistory().record(before, undoStateOf(view.record()), label))
        return false;
    view.takeSnapshot();
    notifyParametersChanged(view);
    return true;
}

} // namespace

UndoState undoStateOf(const FractalRecord& record) {
    return {record.paramBlock, record.settings3DBlock, record.type, record.subtype};
}

bool recordUndo(FractalRecord& record, const UndoState& before, std::string_view label) {
    return record.view != nullptr && recordInHistory(*record.view, before, label);
}

void recordUndoAndRecalculate(FractalRecord& record, const UndoState& before, bool force,
                              std::string_view label) {
    bool recorded = recordUndo(record, before, label);
    if ((recorded || force) && record.view != nullptr)
        recalculateView(*record.view);
}

bool GrowingUndoStep::grows(const FractalRecord& record, bool continues) const {
    return continues && record_ == &record && record.view != nullptr &&
           record.view->undoHistory().revision() == revision_;
}

bool GrowingUndoStep::record(FractalRecord& record, const UndoState& before, bool continues,
                             std::string_view label) {
    FractalView* view = record.view;
    if (view == nullptr)
        return false;
    UndoHistory& history = view->undoHistory();
    const bool joins = grows(record, continues);
    if (joins && hasEntry_)
        history.dropNewest();
    if (!joins)
        start_ = before;
    record_ = &record;
    hasEntry_ = recordInHistory(*view, start_, label);
    revision_ = history.revision();
    return hasEntry_;
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
