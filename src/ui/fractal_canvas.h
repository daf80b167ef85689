#pragma once

#include "render/area/area_commands.h"

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <optional>

namespace vortimax {
class Application;
class FractalView;
} // namespace vortimax

namespace vortimax::ui {

// Shows one open fractal's image and takes the mouse: the left button draws the
// selection box, the right button drags the image to move the fractal, the wheel zooms
// about the point under the cursor.
class FractalCanvas final : public QWidget {
public:
    FractalCanvas(FractalView& view, Application& app, QWidget* parent = nullptr);

    FractalView& view() { return *view_; }
    // The view has ended: from now on the canvas shows nothing and takes no mouse input
    // (Qt may still deliver events to it before it is deleted).
    void detach() { view_ = nullptr; }
    QSize sizeHint() const override;
    // The image is drawn with its rows bottom-up turned the right way round; what a
    // worker is writing is read under the record's resize lock.
    QImage currentImage() const;
    // Image pixels per screen pixel below 1 shows the whole of a large image in a smaller
    // window ("Fit in window"); the mouse still works in image pixels.
    void setScale(double scale);
    double scale() const { return scale_; }
    // Repaints a rectangle given in image pixels (rows from the top).
    void updateImageRect(const QRect& area);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void drawSelection(QPainter& painter) const;
    QPoint imagePoint(const QPointF& widgetPoint) const;
    QImage imageUnderLock() const;

    FractalView* view_;
    Application& app_;
    QImage shown_; // the picture last painted
    std::optional<QPoint> dragStart_;
    QPoint dragOffset_; // in image pixels
    double scale_ = 1.0;
    bool selecting_ = false;
    // The turn of the wheel going on: its notches make one undo step.
    WheelZoom wheelZoom_;
    bool turning_ = false;
    quint64 lastNotchAt_ = 0; // event time of the turn's last notch, in ms
    int wheelDelta_ = 0;      // eighths of a degree not yet taken as a notch
};

} // namespace vortimax::ui
