#pragma once

#include "model/fractal_record.h"
#include "model/undo_history.h"

#include <string_view>

namespace vortimax {

// Parameter changes of an open fractal, step by step. A command takes the state of the
// record before it changes anything and records the step from there, so the step holds
// the words that command changed and nothing else.

// What a step compares and restores: both blocks, type and subtype of the record.
UndoState undoStateOf(const FractalRecord& record);

// Records the change from `before` to the record's present parameters under `label`;
// returns false (no step) when the fractal has no view or nothing changed.
bool recordUndo(FractalRecord& record, const UndoState& before, std::string_view label);
// recordUndo, then recalculates when a step was made or `force` is set.
void recordUndoAndRecalculate(FractalRecord& record, const UndoState& before, bool force,
                              std::string_view label);

// Takes back the current step / applies the next one, pausing the calculation first and
// recalculating (or, when only 3D settings changed, redoing the 3D image). False when
// there was nothing to undo or redo.
bool undoStep(FractalRecord& record);
bool redoStep(FractalRecord& record);

// Menu texts for the fractal: "Undo: <label>" or "Undo" (and the same for redo), and
// whether the items are enabled.
struct UndoMenuState {
    std::string undoText = "Undo";
    std::string redoText = "Redo";
    bool canUndo = false;
    bool canRedo = false;
};
UndoMenuState undoMenuState(const FractalRecord* record);

} // namespace vortimax
