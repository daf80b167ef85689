#include "ui/tool_windows/knot_curve_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace vortimax::ui {

namespace {

constexpr double kLastPosition = 251.0;
constexpr double kTopValue = 255.0;
constexpr double kMargin = 4.0;
constexpr double kGrab = 5.0; // pixels around a knot that take hold of it

const QColor kChannelColours[3] = {QColor(220, 40, 40), QColor(30, 170, 50), QColor(40, 80, 230)};

} // namespace

KnotCurveWidget::KnotCurveWidget(PaletteEditing& editing, Channel channel, QWidget* parent)
    : QWidget(parent), editing_(editing), channel_(channel) {
    setMouseTracking(true);
    setMinimumSize(200, 60);
}

double KnotCurveWidget::positionAt(double widgetX) const {
    const double width = std::max(1.0, this->width() - 2 * kMargin);
    return (widgetX - kMargin) * kLastPosition / width;
}

double KnotCurveWidget::valueAt(double widgetY) const {
    const double height = std::max(1.0, this->height() - 2 * kMargin);
    return (height - (widgetY - kMargin)) * kTopValue / height;
}

QPointF KnotCurveWidget::pointOf(double position, double value) const {
    const double width = std::max(1.0, this->width() - 2 * kMargin);
    const double height = std::max(1.0, this->height() - 2 * kMargin);
    return {kMargin + position * width / kLastPosition,
            kMargin + height - value * height / kTopValue};
}

std::optional<std::size_t> KnotCurveWidget::knotNear(const QPointF& point) const {
    const KnotCurve& curve = editing_.curve(channel_);
    for (std::size_t i = 0; i < curve.size(); ++i) {
        const QPointF at = pointOf(curve[i].x, curve[i].y);
        if (std::abs(at.x() - point.x()) <= kGrab && std::abs(at.y() - point.y()) <= kGrab)
            return i;
    }
    return std::nullopt;
}

void KnotCurveWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const KnotCurve& curve = editing_.curve(channel_);
    const QColor colour = kChannelColours[static_cast<int>(channel_)];
    // The polyline over the whole width, through the knots and round the ends.
    QPainterPath path;
    for (int x = 0; x <= static_cast<int>(kLastPosition); ++x) {
        const double value = curve.valueAt(x).value_or(0.0);
        if (x == 0)
            path.moveTo(pointOf(x, value));
        else
            path.lineTo(pointOf(x, value));
    }
    painter.setPen(QPen(colour, 1));
    painter.drawPath(path);
    for (const Knot& knot : curve.knots()) {
        const QPointF at = pointOf(knot.x, knot.y);
        painter.fillRect(QRectF(at.x() - 2, at.y() - 2, 5, 5),
                         knot.highlighted ? Qt::white : colour);
    }
}

void KnotCurveWidget::mousePressEvent(QMouseEvent* event) {
    const QPointF point = event->position();
    const auto near = knotNear(point);
    if (event->button() == Qt::RightButton) {
        if (near)
            editing_.deleteKnot(channel_, *near);
    } else if (event->button() == Qt::LeftButton) {
        dragged_ =
            near ? near : editing_.addKnot(channel_, positionAt(point.x()), valueAt(point.y()));
    }
    update();
}

void KnotCurveWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPointF point = event->position();
    if (dragged_)
        dragged_ =
            editing_.moveKnot(channel_, *dragged_, positionAt(point.x()), valueAt(point.y()));
    if (hovered)
        hovered(positionAt(point.x()));
    update();
}

void KnotCurveWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (dragged_ && event->button() == Qt::LeftButton) {
        // The knot settles on whole numbers, as its entry stores them.
        const Knot knot = editing_.curve(channel_)[*dragged_];
        editing_.moveKnot(channel_, *dragged_, std::round(knot.x), std::round(knot.y));
        dragged_.reset();
    }
    update();
}

void KnotCurveWidget::leaveEvent(QEvent*) {
    if (hovered)
        hovered(std::nullopt);
}

} // namespace vortimax::ui
