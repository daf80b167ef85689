#include "ui/tool_windows/fractal_type_list_view.h"

#include "app/menu_state.h"
#include "model/type_registry.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"

#include <QListWidget>
#include <QVBoxLayout>

namespace vortimax::ui {

namespace {
constexpr int kFractalSelectionWindowId = 540;
constexpr int kCommandRole = Qt::UserRole;
} // namespace

FractalTypeListView::FractalTypeListView(UiContext& context, QWidget* parent)
    : ToolWindow(context, kFractalSelectionWindowId, parent), list_(new QListWidget(this)) {
    setWindowTitle(tr("New fractal"));
    for (const FractalTypeInfo& type : fractalTypes()) {
        auto* item = new QListWidgetItem(toQString(type.menuText), list_);
        item->setData(kCommandRole, type.menuCommand);
    }
    connect(list_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        context_.main.runCommand(item->data(kCommandRole).toInt());
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    resize(200, 300);
}

// Types the program cannot calculate yet are shown but cannot be chosen.
void FractalTypeListView::refresh() {
    for (int row = 0; row < list_->count(); ++row) {
        QListWidgetItem* item = list_->item(row);
        const bool enabled = menuItemState(context_.app, item->data(kCommandRole).toInt()).enabled;
        item->setFlags(enabled ? item->flags() | Qt::ItemIsEnabled
                               : item->flags() & ~Qt::ItemIsEnabled);
    }
}

} // namespace vortimax::ui
