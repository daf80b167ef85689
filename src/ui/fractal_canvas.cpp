#include "ui/fractal_canvas.h"

#include "app/application.h"
#include "model/fractal_view.h"
#include "palette/screen_colours.h"
#include "render/area/area.h"
#include "render/area/area_commands.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>
#include <cstdlib>
#include <mutex>

namespace vortimax::ui {

namespace {

constexpr int kRepaintRetryMs = 50;
// A wheel notch is 120 eighths of a degree; notches this close belong to one turn.
constexpr int kWheelNotch = 120;
constexpr quint64 kWheelTurnMs = 300;

// The selection box: white outline over a translucent grey (0x95, 0x95, 0x95) fill.
const QColor kSelectionFill(0x95, 0x95, 0x95, 80);

QImage imageOf(const ImageBuffers& buffers, const ColourTable& colours, bool threeD) {
    const int width = buffers.width;
    const int height = buffers.height;
    if (width <= 0 || height <= 0)
        return {};
    if (threeD) {
        QImage image(buffers.image3D.data(), width, height, buffers.rowLength * 3,
                     QImage::Format_BGR888);
        return image.mirrored();
    }
    if (buffers.bytesPerPixel == 3) {
        QImage image(buffers.pixels.data(), width, height, buffers.rowLength * 3,
                     QImage::Format_BGR888);
        return image.mirrored();
    }
    // Palette indices become screen colours through the colour table here, so a new
    // table (colour cycling, the palette editor) needs no recolouring of the image.
    QImage image(width, height, QImage::Format_RGB32);
    indexImageToRgb32(buffers, colours, reinterpret_cast<std::uint32_t*>(image.bits()));
    return image;
}

} // namespace

FractalCanvas::FractalCanvas(FractalView& view, Application& app, QWidget* parent)
    : QWidget(parent), view_(&view), app_(app) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    setFocusPolicy(Qt::ClickFocus);
}

QSize FractalCanvas::sizeHint() const {
    if (view_ == nullptr)
        return {0, 0};
    return {view_->buffers().width, view_->buffers().height};
}

QImage FractalCanvas::currentImage() const {
    if (view_ == nullptr)
        return {};
    std::lock_guard pixels(view_->pixelLock());
    return imageUnderLock();
}

// The caller holds the pixel lock; the resize lock keeps the buffers' size in place.
QImage FractalCanvas::imageUnderLock() const {
    FractalView& view = *view_;
    view.lockResize();
    const bool threeD = view.record().dims != 0 && view.buffers().has3D() && view.done3D();
    QImage image = imageOf(view.buffers(), view.colours, threeD);
    view.unlockResize();
    return image;
}

// While the worker writes a large part of the image at once (a filter, the 3D image) the
// last picture stays on screen and the window is painted again shortly.
void FractalCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (view_ != nullptr) {
        std::unique_lock pixels(view_->pixelLock(), std::try_to_lock);
        if (pixels.owns_lock())
            shown_ = imageUnderLock();
        else
            QTimer::singleShot(kRepaintRetryMs, this, [this] { update(); });
    }
    // Scaled down, a smooth reduction shows the whole picture fairly.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, scale_ < 1.0);
    painter.scale(scale_, scale_);
    painter.drawImage(dragOffset_, shown_);
    drawSelection(painter);
}

void FractalCanvas::setScale(double scale) {
    scale_ = scale > 0.0 ? scale : 1.0;
    update();
}

void FractalCanvas::updateImageRect(const QRect& area) {
    if (scale_ == 1.0) {
        update(area);
        return;
    }
    // A pixel more on each side covers the rounding of the scaled edges.
    const QRectF scaled(area.x() * scale_, area.y() * scale_, area.width() * scale_,
                        area.height() * scale_);
    update(scaled.toAlignedRect().adjusted(-1, -1, 1, 1));
}

QPoint FractalCanvas::imagePoint(const QPointF& widgetPoint) const {
    return (widgetPoint / scale_).toPoint();
}

void FractalCanvas::drawSelection(QPainter& painter) const {
    if (view_ == nullptr || view_->selectionLeft == kNoSelection)
        return;
    const QRect box = QRect(QPoint(view_->selectionLeft, view_->selectionTop),
                            QPoint(view_->selectionRight, view_->selectionBottom))
                          .normalized();
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(kSelectionFill);
    painter.drawRect(box);
}

void FractalCanvas::mousePressEvent(QMouseEvent* event) {
    if (view_ == nullptr)
        return;
    app_.selectFractal(view_->record());
    const QPoint at = imagePoint(event->position());
    if (event->button() == Qt::LeftButton) {
        selecting_ = true;
        view_->selectionLeft = view_->selectionRight = at.x();
        view_->selectionTop = view_->selectionBottom = at.y();
        update();
    } else if (event->button() == Qt::RightButton) {
        dragStart_ = at;
    }
}

void FractalCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (view_ == nullptr)
        return;
    const QPoint at = imagePoint(event->position());
    if (selecting_) {
        // The box keeps the image's proportions: what it shows is what the zoom gives.
        const RasterSize size{view_->buffers().width, view_->buffers().height};
        const SelectionBox box =
            proportionalBox(size, view_->selectionLeft, view_->selectionTop, at.x(), at.y());
        view_->selectionRight = box.x2;
        view_->selectionBottom = box.y2;
        update();
    } else if (dragStart_) {
        dragOffset_ = at - *dragStart_;
        update();
    }
}

// A click without dragging leaves no box; a finished drag of the image moves the fractal
// by whole pixels (rows counted upwards).
void FractalCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (view_ == nullptr)
        return;
    if (selecting_ && event->button() == Qt::LeftButton) {
        selecting_ = false;
        if (view_->selectionLeft == view_->selectionRight ||
            view_->selectionTop == view_->selectionBottom)
            view_->selectionLeft = kNoSelection;
        update();
        app_.notify(ApplicationChange::Menus);
    } else if (dragStart_ && event->button() == Qt::RightButton) {
        const QPoint moved = imagePoint(event->position()) - *dragStart_;
        dragStart_.reset();
        dragOffset_ = {};
        if (!moved.isNull())
            moveFractal(view_->record(), moved.x(), -moved.y(), app_.views());
        update();
        app_.notify(ApplicationChange::Menus);
    }
}

// Every notch zooms one step about the pixel under the cursor; the notches of one turn of
// the wheel (a scroll phase, or notches in quick succession) make one undo step.
void FractalCanvas::wheelEvent(QWheelEvent* event) {
    event->accept();
    if (view_ == nullptr)
        return;
    const Qt::ScrollPhase phase = event->phase();
    const bool inPhase = phase == Qt::ScrollUpdate || phase == Qt::ScrollMomentum;
    bool continues = turning_ && phase != Qt::ScrollBegin &&
                     (inPhase || event->timestamp() - lastNotchAt_ <= kWheelTurnMs);
    if (!continues)
        wheelDelta_ = 0;
    turning_ = continues;
    wheelDelta_ += event->angleDelta().y();
    FractalRecord& record = view_->record();
    const QPointF at = event->position() / scale_;
    const double row = view_->buffers().height - 1 - at.y();
    while (std::abs(wheelDelta_) >= kWheelNotch) {
        const bool zoomIn = wheelDelta_ > 0;
        wheelDelta_ -= zoomIn ? kWheelNotch : -kWheelNotch;
        if (!wheelZoom_.notch(record, at.x(), row, zoomIn, continues, app_.views()))
            break;
        continues = turning_ = true;
        lastNotchAt_ = event->timestamp();
    }
    if (phase == Qt::ScrollEnd)
        turning_ = false;
    app_.selectFractal(record);
    app_.notify(ApplicationChange::Menus);
}

} // namespace vortimax::ui
