#include "ui/fractal_window.h"

#include "app/application.h"
#include "model/fractal_view.h"
#include "ui/fractal_canvas.h"
#include "ui/qt_text.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace vortimax::ui {

namespace {

// The smallest client area a window asks an image for (see windowSizeRule).
constexpr QSize kSmallestClient(32, 10);

// The image's size on screen at a scale, at least one pixel each way.
QSize scaledImageSize(const FractalView& view, double scale) {
    return QSize(std::max(1, static_cast<int>(std::lround(view.buffers().width * scale))),
                 std::max(1, static_cast<int>(std::lround(view.buffers().height * scale))));
}

QSize scrollBarExtent(const QScrollArea& scroller) {
    return {scroller.verticalScrollBar()->sizeHint().width(),
            scroller.horizontalScrollBar()->sizeHint().height()};
}

} // namespace

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
    if (fitInWindow_) {
        fitScaled();
        return;
    }
    fitting_ = true;
    canvas_->setScale(1.0);
    const bool scrolling = view_->record().scrollbar != 0;
    const QSize image(view_->buffers().width, view_->buffers().height);
    canvas_->setFixedSize(image);
    const Qt::ScrollBarPolicy policy = scrolling ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    scroller_->setHorizontalScrollBarPolicy(policy);
    scroller_->setVerticalScrollBarPolicy(policy);
    const QSize client = scrolling ? scrollingClientSize() + scrollBarExtent(*scroller_) : image;
    resize(client.grownBy(contentsMargins()));
    fitting_ = false;
}

bool FractalWindow::needsFit() const {
    if (view_ == nullptr)
        return false;
    if (fitInWindow_) // only a new image size changes the scaled picture
        return canvas_->size() != scaledImageSize(*view_, canvas_->scale());
    const bool scrolling = view_->record().scrollbar != 0;
    const bool scrollBarsShown = scroller_->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
    return scrolling || scrolling != scrollBarsShown ||
           canvas_->size() != QSize(view_->buffers().width, view_->buffers().height);
}

QSize FractalWindow::scrollingClientSize() const {
    const FractalRecord& rec = view_->record();
    const QSize image(view_->buffers().width, view_->buffers().height);
    QSize wanted =
        rec.winWidth > 0 && rec.winHeight > 0 ? QSize(rec.winWidth, rec.winHeight) : image;
    wanted = wanted.boundedTo(image);
    if (const QMdiArea* area = mdiArea())
        wanted = wanted.boundedTo(area->viewport()->size().shrunkBy(contentsMargins()) -
                                  scrollBarExtent(*scroller_));
    return wanted.expandedTo(kSmallestClient);
}

void FractalWindow::setFitInWindow(bool on) {
    if (on == fitInWindow_)
        return;
    fitInWindow_ = on;
    fitToImage();
}

void FractalWindow::fitScaled() {
    fitting_ = true;
    scroller_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QSize image(view_->buffers().width, view_->buffers().height);
    const QSize room = contentsRect().size();
    double scale = 1.0;
    if (image.width() > 0 && image.height() > 0)
        scale = std::min({1.0, static_cast<double>(room.width()) / image.width(),
                          static_cast<double>(room.height()) / image.height()});
    scale = std::max(scale, 0.01);
    canvas_->setScale(scale);
    canvas_->setFixedSize(scaledImageSize(*view_, scale));
    fitting_ = false;
}

QSize FractalWindow::clientSize() const {
    QSize client = contentsRect().size();
    if (view_ != nullptr && view_->record().scrollbar != 0)
        client -= scrollBarExtent(*scroller_);
    return client;
}

// A window in scroll-bar mode keeps its size in the record; any other asks for an image
// of its new size.
void FractalWindow::imageFollowsWindow() {
    if (view_ == nullptr || closingForGood_)
        return;
    FractalRecord& rec = view_->record();
    const QSize client = clientSize();
    if (rec.scrollbar != 0) {
        rec.winWidth = client.width();
        rec.winHeight = client.height();
    } else if (client != QSize(rec.width, rec.height)) {
        app_.fractalWindowResized(rec, client.width(), client.height());
    }
}

void FractalWindow::repaintArea(int x, int y, int width, int height) {
    if (view_ == nullptr)
        return;
    // Rows of the view count from the bottom; the canvas counts from the top.
    const int top = view_->buffers().height - (y + height);
    canvas_->updateImageRect(QRect(x, top, width, height));
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
    // Only a person sizing the window by its frame (or maximising it) gives the image a
    // new size. Whatever else sizes the window (Qt placing a new window while the button
    // that opened it is still down, a window that cannot be as small as its image) leaves
    // the image as it is.
    if (fitInWindow_ && !fitting_ && view_ != nullptr)
        fitScaled();
    else if (!fitting_ && framePressed_)
        imageFollowsWindow();
}

void FractalWindow::mousePressEvent(QMouseEvent* event) {
    framePressed_ = event->button() == Qt::LeftButton;
    QMdiSubWindow::mousePressEvent(event);
}

void FractalWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    framePressed_ = event->button() == Qt::LeftButton;
    QMdiSubWindow::mouseDoubleClickEvent(event);
}

void FractalWindow::mouseReleaseEvent(QMouseEvent* event) {
    QMdiSubWindow::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        framePressed_ = false;
}

void FractalWindow::focusInEvent(QFocusEvent* event) {
    QMdiSubWindow::focusInEvent(event);
    if (view_ != nullptr)
        app_.selectFractal(view_->record());
}

} // namespace vortimax::ui
