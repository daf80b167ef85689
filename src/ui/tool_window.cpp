#include "ui/tool_window.h"

#include "app/application.h"
#include "app/tool_window_registry.h"

#include <QCloseEvent>
#include <QMoveEvent>

namespace vortimax::ui {

ToolWindow::ToolWindow(UiContext& context, int windowId, QWidget* parent)
    : QWidget(parent, Qt::Tool), context_(context), windowId_(windowId) {
    setAttribute(Qt::WA_DeleteOnClose);
}

void ToolWindow::closeEvent(QCloseEvent* event) {
    context_.app.toolWindowClosed(windowId_);
    QWidget::closeEvent(event);
}

// The configuration remembers where the window was put.
void ToolWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (auto row = ToolWindowRegistry::findByWindowId(windowId_)) {
        ToolWindowState& state = toolWindowState(context_.app.settings(), *row);
        state.x = pos().x();
        state.y = pos().y();
    }
}

} // namespace vortimax::ui
