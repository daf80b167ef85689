#include "app/parameter_edit.h"

#include "model/fractal_view.h"
#include "model/param_text.h"
#include "model/undo_labels.h"
#include "model/value_rules.h"
#include "model/view_undo.h"

#include <optional>

namespace vortimax {

namespace {

BlockRef blockOf(FractalRecord& record, ParameterBlock block) {
    return block == ParameterBlock::Settings3D ? record.settings3D() : record.params();
}

// Why the type cannot calculate with the value `text` gives the row, if it cannot.
std::optional<std::string> refusal(const FractalRecord& record, ParameterBlock block,
                                   const ParamDescriptor& row, std::string_view text) {
    if (block != ParameterBlock::Parameters || row.kind != ParamKind::Real)
        return std::nullopt;
    ParamBlock trial = record.paramBlock;
    const BlockRef trialBlock(trial, record.params().table());
    setByKey(trialBlock, row.key, text);
    return refusedValue(record.type, row.key, trialBlock.real(row.key));
}

// Picks the calculation up where the pause left it.
void goOn(FractalView* view, bool wasFinished) {
    if (view != nullptr && !wasFinished)
        resumeView(*view);
}

} // namespace

ParameterEditResult editParameter(FractalRecord& record, ParameterBlock block, std::string_view key,
                                  std::string_view text, std::string* reason) {
    if (block == ParameterBlock::Parameters && !record.hasParams())
        return ParameterEditResult::Rejected;
    BlockRef target = blockOf(record, block);
    const auto index = target.table().find(key);
    if (!index || !readsAsValue(target.table().row(*index), text))
        return ParameterEditResult::Rejected;
    if (auto refused = refusal(record, block, target.table().row(*index), text)) {
        if (reason != nullptr)
            *reason = std::move(*refused);
        return ParameterEditResult::Refused;
    }
    FractalView* view = record.view;
    const bool wasFinished = view == nullptr || view->finished();
    if (view != nullptr)
        pauseView(*view);
    const UndoState before = undoStateOf(record);
    setByKey(target, key, text);
    if (undoStateOf(record) == before) {
        goOn(view, wasFinished);
        return ParameterEditResult::Unchanged;
    }
    const ParamDescriptor& row = target.table().row(*index);
    const std::string_view label = undoLabel(row);
    if (row.recalculation) {
        recordUndoAndRecalculate(record, before, true, label);
    } else {
        recordUndo(record, before, label);
        // A changed 3D setting makes the relief anew, whatever colours it takes.
        if (view != nullptr && block == ParameterBlock::Settings3D && record.dims != 0)
            continueView(*view);
        else if (view != nullptr)
            redrawView(*view);
    }
    return ParameterEditResult::Applied;
}

} // namespace vortimax
