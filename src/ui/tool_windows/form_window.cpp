#include "ui/tool_windows/form_window.h"

#include "app/application.h"
#include "model/fractal_record.h"
#include "ui/qt_text.h"
#include "ui/tool_windows/parameter_form.h"

#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vortimax::ui {

FormWindow::FormWindow(UiContext& context, FormWindowDesign design, QWidget* parent)
    : ToolWindow(context, design.windowId, parent), design_(std::move(design)),
      note_(new QLabel(this)), unavailable_(new QLabel(toQString(design_.unavailableText), this)) {
    auto* layout = new QVBoxLayout(this);
    note_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    note_->setWordWrap(true);
    layout->addWidget(note_);
    layout->addWidget(unavailable_);
    QTabWidget* tabs = design_.pages.size() > 1 ? new QTabWidget(this) : nullptr;
    for (const FormWindowDesign::Page& page : design_.pages) {
        auto* form = new ParameterForm(context_, design_.block, page.filter, this);
        forms_.push_back(form);
        if (tabs != nullptr)
            tabs->addTab(form, toQString(page.title));
        else
            layout->addWidget(form, 1);
    }
    if (tabs != nullptr)
        layout->addWidget(tabs, 1);
    resize(380, 460);
}

void FormWindow::refresh() {
    FractalRecord* record = context_.app.currentFractal();
    const bool available =
        record != nullptr && (design_.available == nullptr || design_.available(*record));
    QString title = toQString(design_.title);
    if (record != nullptr)
        title += QStringLiteral(" - ") + toQString(record->name);
    setWindowTitle(title);
    bool empty = true;
    for (ParameterForm* form : forms_) {
        form->showRecord(available ? record : nullptr);
        form->setEnabled(available);
        empty = empty && form->isEmpty();
    }
    const std::string note = available && design_.note != nullptr ? design_.note(*record) : "";
    note_->setText(toQString(note));
    note_->setVisible(!note.empty());
    unavailable_->setVisible(record != nullptr && empty);
}

} // namespace vortimax::ui
