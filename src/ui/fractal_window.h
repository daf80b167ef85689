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
    // Sizes the window to the image (or, in scroll-bar mode, to the record's window size)
    // and shows scroll bars when the record asks for them.
    void fitToImage();
    void repaintArea(int x, int y, int width, int height);
    // While set, every resize of the window gives the image its new size (Tile, Cascade).
    void setFollowResizes(bool follow) { followResizes_ = follow; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    FractalView* view_; // null once the view has ended
    Application& app_;
    QScrollArea* scroller_;
    FractalCanvas* canvas_;
    bool closingForGood_ = false;
    bool fitting_ = false;
    bool followResizes_ = false;
};

} // namespace vortimax::ui
