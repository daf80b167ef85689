#include "ui/tool_windows/parameter_form.h"

#include "app/application.h"
#include "model/descriptor_tables.h"
#include "model/fractal_record.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/tool_windows/live_record.h"
#include "ui/tool_windows/param_editors.h"

#include <QFormLayout>

namespace vortimax::ui {

namespace {

const DescriptorTable* tableOf(const FractalRecord& record, ParameterBlock block) {
    if (block == ParameterBlock::Settings3D)
        return &settings3DTable();
    return record.hasParams() ? descriptorTable(record.type) : nullptr;
}

ConstBlockRef blockOf(const FractalRecord& record, ParameterBlock block) {
    return block == ParameterBlock::Settings3D ? record.settings3D() : record.params();
}

QString labelOf(const ParamDescriptor& row) {
    return toQString(row.label.empty() ? row.key : row.label);
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
        fields_.push_back(
            {index, makeParamEditor(row, page, [this, position] { commit(position); })});
        layout->addRow(labelOf(row), fields_.back().editor->widget());
    }
    setWidget(page);
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
    const ParameterEditResult result =
        editParameter(*record, block_, table_->row(field.index).key, field.editor->text());
    // Shows what was stored: the clamped value, or the old one for text that is no value.
    field.editor->show(blockOf(*record, block_), field.index);
    if (result == ParameterEditResult::Applied)
        context_.main.refreshAll();
}

} // namespace vortimax::ui
