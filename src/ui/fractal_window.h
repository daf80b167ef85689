#pragma once

#include <QMdiSubWindow>

class QScrollArea;

namespace vortimax {
class Application;
class FractalView;
class FractalRecord;
} // namespace vortimax

namespace vortimax::ui {

class FractalCanvas;

// The window of one open fractal inside the main window. Closing it by hand asks the
// application (which may keep it); the view's end closes it without asking. Resizing it
// by hand gives the fractal a new image size once the mouse button is up, except in
// scroll-bar mode, where the window only shows part of the image.
class FractalWindow final : public QMdiSubWindow {
public:
    FractalWindow(FractalView& view, Application& app, QWidget* parent = nullptr);

    FractalView& view() { return *view_; }
    FractalRecord& record();
    FractalCanvas& canvas() { return *canvas_; }

    // The view has ended: the window goes without a question.
    void closeForGood();
    // Sizes the window to the image (or, in scroll-bar mode, to the record's window size,
    // no larger than the image or the room in the main window) and shows scroll bars when
    // the record asks for them.
    void fitToImage();
    // The image changed size or the scroll bars were switched since the last fit; a
    // window in scroll-bar mode is always fitted again (to the room it has).
    bool needsFit() const;
    void repaintArea(int x, int y, int width, int height);
    // The window was sized for the person (Tile, Cascade): the image takes the new
    // client size, as after dragging the frame.
    void imageFollowsWindow();
    // "Fit in window": the whole image scaled down to the window, whatever its size; the
    // image keeps its size and sizing the window only changes the scale.
    void setFitInWindow(bool on);
    bool fitsInWindow() const { return fitInWindow_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The part of the window that shows the image, scroll bars excluded.
    QSize clientSize() const;
    // In scroll-bar mode: the window size kept in the record, else the image size; no
    // larger than the image or the space the main window has for it.
    QSize scrollingClientSize() const;
    // Fit in window: the scale at which the image fills the window's client area.
    void fitScaled();

    FractalView* view_; // null once the view has ended
    Application& app_;
    QScrollArea* scroller_;
    FractalCanvas* canvas_;
    bool closingForGood_ = false;
    bool fitting_ = false;
    // The left button went down on the frame or title bar: the person sizes the window.
    bool framePressed_ = false;
    bool fitInWindow_ = false;
};

} // namespace vortimax::ui
