#include "ui/tool_windows/comment_window.h"

#include "app/application.h"
#include "model/fractal_record.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/tool_windows/live_record.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace vortimax::ui {

namespace {

constexpr int kCommentWindowId = 730;

std::string commentText(const QPlainTextEdit& edit) {
    std::string text = toStdString(edit.toPlainText());
    std::erase(text, '\r');
    return text;
}

} // namespace

CommentWindow::CommentWindow(UiContext& context, QWidget* parent)
    : ToolWindow(context, kCommentWindowId, parent), text_(new QPlainTextEdit(this)),
      apply_(new QPushButton(tr("Apply"), this)) {
    text_->installEventFilter(this);
    connect(apply_, &QPushButton::clicked, this, [this] { apply(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_, 1);
    layout->addWidget(apply_, 0, Qt::AlignRight);
    resize(360, 220);
}

bool CommentWindow::apply() {
    if (!isLiveRecord(context_.app.workspace(), record_))
        return false;
    record_->comment = commentText(*text_);
    text_->document()->setModified(false);
    context_.main.refreshAll();
    return true;
}

bool CommentWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text_ && event->type() == QEvent::FocusOut && text_->document()->isModified())
        apply();
    return ToolWindow::eventFilter(watched, event);
}

void CommentWindow::refresh() {
    FractalRecord* record = context_.app.currentFractal();
    const bool modified = text_->document()->isModified();
    if (record == record_ && modified)
        return; // being typed: stored on leaving the editor or on "Apply"
    if (record != record_ && modified)
        apply();
    record_ = record;
    setWindowTitle(record != nullptr ? tr("Comment - %1").arg(toQString(record->name))
                                     : tr("Comment"));
    text_->setEnabled(record != nullptr);
    apply_->setEnabled(record != nullptr);
    const QString shown = record != nullptr ? toQString(record->comment) : QString();
    if (text_->toPlainText() != shown)
        text_->setPlainText(shown);
    text_->document()->setModified(false);
}

} // namespace vortimax::ui
