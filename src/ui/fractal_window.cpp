#include "ui/fractal_window.h"

#include "app/application.h"
#include "model/fractal_view.h"
#include "ui/fractal_canvas.h"
#include "ui/qt_text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScrollArea>
#include <QScrollBar>

namespace vortimax::ui {

FractalWindow::FractalWindow(FractalView& view, Application& app, QWidget* parent)
    : QMdiSubWindow(parent), view_(&view), app_(app), scroller_(new QScrollArea(this)),
      canvas_(new FractalCanvas(view, app)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    scroller_->setWidget(canvas_);
    scroller_->setWidgetResizable(false);
    scroller_->setFrameShape(QFrame::NoFrame);
    scroller_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWidget(scroller_);
    setWindowTitle(toQString(view.record().name));
    fitToImage();
}

FractalRecord& FractalWindow::record() {
    return view_->record();
}

void FractalWindow::closeForGood() {
    closingForGood_ = true;
    view_ = nullptr;
    canvas_->detach();
    close();
}

void FractalWindow::fitToImage() {
    if (view_ == nullptr)
        return;
    fitting_ = true;
    const FractalRecord& rec = view_->record();
    const bool scrolling = rec.scrollbar != 0;
    canvas_->setFixedSize(view_->buffers().width, view_->buffers().height);
    const Qt::ScrollBarPolicy policy = scrolling ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    scroller_->setHorizontalScrollBarPolicy(policy);
    scroller_->setVerticalScrollBarPolicy(policy);
    QSize client(view_->buffers().width, view_->buffers().height);
    if (scrolling && rec.winWidth > 0 && rec.winHeight > 0)
        client = QSize(rec.winWidth, rec.winHeight);
    if (scrolling)
        client += QSize(scroller_->verticalScrollBar()->sizeHint().width(),
                        scroller_->horizontalScrollBar()->sizeHint().height());
    const QMargins frame = contentsMargins();
    resize(client.width() + frame.left() + frame.right(),
           client.height() + frame.top() + frame.bottom());
    fitting_ = false;
}

void FractalWindow::repaintArea(int x, int y, int width, int height) {
    if (view_ == nullptr)
        return;
    // Rows of the view count from the bottom; the canvas counts from the top.
    const int top = view_->buffers().height - (y + height);
    canvas_->update(QRect(x, top, width, height));
}

void FractalWindow::closeEvent(QCloseEvent* event) {
    if (closingForGood_ || view_ == nullptr || app_.closeFractalWindow(view_->record())) {
        event->accept();
        return;
    }
    event->ignore();
}

void FractalWindow::resizeEvent(QResizeEvent* event) {
    QMdiSubWindow::resizeEvent(event);
    // Only a person dragging the frame, or Tile and Cascade, give the image a new size;
    // a window that cannot be as small as its image keeps the image as it is.
    const bool dragging = QApplication::mouseButtons().testFlag(Qt::LeftButton);
    if (fitting_ || closingForGood_ || !(dragging || followResizes_))
        return;
    FractalRecord& rec = view_->record();
    const QSize client = scroller_->viewport()->size();
    if (rec.scrollbar != 0) {
        rec.winWidth = client.width();
        rec.winHeight = client.height();
        return;
    }
    if (client.width() != rec.width || client.height() != rec.height)
        app_.fractalWindowResized(rec, client.width(), client.height());
}

void FractalWindow::focusInEvent(QFocusEvent* event) {
    QMdiSubWindow::focusInEvent(event);
    if (view_ != nullptr)
        app_.selectFractal(view_->record());
}

} // namespace vortimax::ui
