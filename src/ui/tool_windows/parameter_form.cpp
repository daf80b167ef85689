#include "ui/tool_windows/parameter_form.h"

#include "app/application.h"
#include "app/formula_libraries.h"
#include "base/frontend.h"
#include "formula/library_kind.h"
#include "model/descriptor_tables.h"
#include "model/folder.h"
#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/tool_windows/live_record.h"
#include "ui/tool_windows/param_editors.h"

#include <QFormLayout>

namespace vortimax::ui {

namespace {

constexpr std::string_view kRefusedValueCaption = "Value not accepted";

const DescriptorTable* tableOf(const FractalRecord& record, ParameterBlock block) {
    if (block == ParameterBlock::Settings3D)
        return &settings3DTable();
    return record.hasParams() ? descriptorTable(record.type) : nullptr;
}

ConstBlockRef blockOf(const FractalRecord& record, ParameterBlock block) {
    return block == ParameterBlock::Settings3D ? record.settings3D() : record.params();
}

// The kind of library entry a row of a type names ("FormulaName" of Formula fractals,
// "Formula" of IFS and L-system fractals), if it names one.
std::optional<LibraryKind> entryKindOf(std::uint32_t type, const ParamDescriptor& row) {
    for (std::size_t kind = 0; kind < kLibraryKindCount; ++kind) {
        const LibraryKindInfo& info = libraryKindInfo(static_cast<LibraryKind>(kind));
        if (info.fractalType == type && info.nameKey == row.key)
            return info.kind;
    }
    return std::nullopt;
}

// The layer rows of a compound fractal name fractals of its folder.
bool isLayerRow(std::uint32_t type, const ParamDescriptor& row) {
    return type == kTypeCompound && row.key.starts_with("Layer");
}

// The fractals a compound may take as layers: the others of its folder.
std::vector<std::string> layerCandidates(const FractalRecord* compound) {
    std::vector<std::string> names;
    if (compound == nullptr || compound->folder == nullptr)
        return names;
    for (const FractalRecord& record : compound->folder->fractals().all())
        if (&record != compound)
            names.push_back(record.name);
    return names;
}

} // namespace

ParameterForm::ParameterForm(UiContext& context, ParameterBlock block, RowFilter filter,
                             QWidget* parent)
    : QScrollArea(parent), context_(context), block_(block), filter_(std::move(filter)) {
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
}

// The controls go while the form is whole, so that none of them reports to a form that
// is half destroyed.
ParameterForm::~ParameterForm() {
    dropFields();
    delete takeWidget();
}

void ParameterForm::showRecord(FractalRecord* record) {
    const DescriptorTable* table = record != nullptr ? tableOf(*record, block_) : nullptr;
    const bool sameFractal = record == record_;
    record_ = table != nullptr ? record : nullptr;
    const std::uint32_t type = record_ != nullptr ? record_->type : 0;
    if (table != table_ || type != type_)
        rebuild(table, type);
    fill(!sameFractal);
}

void ParameterForm::rebuild(const DescriptorTable* table, std::uint32_t type) {
    dropFields();
    if (QWidget* old = takeWidget()) {
        old->hide();
        old->deleteLater();
    }
    table_ = table;
    type_ = type;
    auto* page = new QWidget;
    auto* layout = new QFormLayout(page);
    layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (std::size_t index = 0; table != nullptr && index < table->size(); ++index) {
        const ParamDescriptor& row = table->row(index);
        if (!filter_(type, index, row))
            continue;
        const std::size_t position = fields_.size();
        fields_.push_back({index, makeEditor(type, row, page, position)});
        QWidget* editor = fields_.back().editor->widget();
        editor->setToolTip(editor->toolTip().isEmpty() ? toQString(row.key) : editor->toolTip());
        layout->addRow(toQString(readableLabel(row)), editor);
        // The key, as parameter files and the command line name the row.
        if (QWidget* label = layout->labelForField(editor))
            label->setToolTip(toQString(row.key));
    }
    setWidget(page);
}

std::unique_ptr<ParamEditor> ParameterForm::makeEditor(std::uint32_t type,
                                                       const ParamDescriptor& row, QWidget* page,
                                                       std::size_t position) {
    CommitHandler commit = [this, position] { this->commit(position); };
    if (isLayerRow(type, row))
        return makeEntryNameEditor(
            row, page, std::move(commit), [this] { return layerCandidates(record_); },
            "fractal of this folder");
    const std::optional<LibraryKind> kind = entryKindOf(type, row);
    if (!kind)
        return makeParamEditor(row, page, std::move(commit));
    FormulaLibraries& libraries = context_.app.formulaLibraries();
    return makeEntryNameEditor(row, page, std::move(commit),
                               [&libraries, kind] { return libraries.entryNames(*kind); });
}

// The old controls report nothing any more: they may still send a last "finished" while
// they are hidden and taken away.
void ParameterForm::dropFields() {
    for (Field& field : fields_)
        field.editor->widget()->disconnect();
    fields_.clear();
}

void ParameterForm::fill(bool force) {
    if (record_ == nullptr)
        return;
    const ConstBlockRef block = blockOf(*record_, block_);
    for (Field& field : fields_)
        if (force || !field.editor->inProgress())
            field.editor->show(block, field.index);
}

void ParameterForm::commit(std::size_t position) {
    if (position >= fields_.size() || !fields_[position].editor->edited())
        return;
    FractalRecord* record = record_;
    // The fractal may have gone, or changed its type, since the value was typed.
    if (!isLiveRecord(context_.app.workspace(), record) || tableOf(*record, block_) != table_ ||
        record->type != type_) {
        record_ = nullptr;
        showRecord(context_.app.currentFractal());
        return;
    }
    Field& field = fields_[position];
    std::string reason;
    const ParameterEditResult result =
        editParameter(*record, block_, table_->row(field.index).key, field.editor->text(), &reason);
    // Shows what was stored: the clamped value, or the old one for text that is no value
    // and for a refused value.
    field.editor->show(blockOf(*record, block_), field.index);
    if (result == ParameterEditResult::Applied)
        context_.main.refreshAll();
    if (result == ParameterEditResult::Refused)
        context_.app.frontend().messageBox(kRefusedValueCaption, reason, MessageButtons::Ok,
                                           MessageIcon::Warning);
}

} // namespace vortimax::ui
