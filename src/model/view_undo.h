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

// A change that goes on over several events (the notches of one turn of the mouse wheel)
// and becomes one step: each part records the step anew from the state before the first
// part, as long as no other step was made, undone or redone in between.
class GrowingUndoStep {
public:
    // Records after one more part of the change; `before` is the state before this part,
    // and `continues` says whether the part belongs to the change of the parts before it.
    bool record(FractalRecord& record, const UndoState& before, bool continues,
                std::string_view label);
    // Whether the next part would join the change of the parts before it.
    bool grows(const FractalRecord& record, bool continues) const;

private:
    const FractalRecord* record_ = nullptr;
    UndoState start_{};
    std::uint64_t revision_ = 0; // the history's revision after the last part
    bool hasEntry_ = false;      // the last part left the change's entry on top
};

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
