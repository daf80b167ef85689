#include "ui/tool_windows/message_window_view.h"

#include "app/application.h"
#include "ui/qt_text.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace vortimax::ui {

namespace {
constexpr int kOutputWindowId = 460;
} // namespace

MessageWindowView::MessageWindowView(UiContext& context, QWidget* parent)
    : ToolWindow(context, kOutputWindowId, parent), text_(new QPlainTextEdit(this)) {
    setWindowTitle(tr("Output"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_);
    resize(420, 200);
}

void MessageWindowView::refresh() {
    const MessageWindow& messages = context_.app.messages();
    if (messages.changeCount() == shownChanges_)
        return;
    shownChanges_ = messages.changeCount();
    text_->setPlainText(toQString(messages.text()));
    text_->verticalScrollBar()->setValue(text_->verticalScrollBar()->maximum());
}

} // namespace vortimax::ui
