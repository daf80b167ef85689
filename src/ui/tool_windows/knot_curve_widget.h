#pragma once

#include "palette/palette_editing.h"

#include <QWidget>
#include <functional>
#include <optional>

namespace vortimax::ui {

// One channel curve of the palette editor: the 252 palette positions across, the values
// 0..255 upwards, the knots as small squares. A left click beside the knots adds one, a
// left drag moves the knot under the mouse, a right click deletes it (not the last). The
// mouse position over the curve is reported for the colour read-out.
class KnotCurveWidget final : public QWidget {
public:
    KnotCurveWidget(PaletteEditing& editing, Channel channel, QWidget* parent);

    // The screen position under the mouse, or nothing once it has left the curve.
    std::function<void(std::optional<double> position)> hovered;

    bool dragging() const { return dragged_.has_value(); }
    // Curve coordinates of a point of the widget and back.
    double positionAt(double widgetX) const;
    double valueAt(double widgetY) const;
    QPointF pointOf(double position, double value) const;

    QSize sizeHint() const override { return {3 * 252 / 2, 110}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    std::optional<std::size_t> knotNear(const QPointF& point) const;

    PaletteEditing& editing_;
    Channel channel_;
    std::optional<std::size_t> dragged_;
};

} // namespace vortimax::ui
