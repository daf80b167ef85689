#include "render/geometry/figure_drawing.h"

#include "base/frontend.h"
#include "model/fractal_view.h"

namespace vortimax {

FigureDrawing::FigureDrawing(FractalView& view)
    : view_(view), canvas_(view.buffers(), view.colours),
      lastPaint_(std::chrono::steady_clock::now()) {
    slice([](FigureCanvas& canvas) { canvas.clear(); });
    paint();
}

std::mutex& FigureDrawing::pixelLock() {
    return view_.pixelLock();
}

bool FigureDrawing::sliceDone(double progress) {
    view_.setProgress(progress);
    const auto interval = std::chrono::milliseconds(view_.environment().drawingSpeed.load());
    const bool stop = view_.mustStop();
    if (stop || std::chrono::steady_clock::now() - lastPaint_ >= interval)
        paint();
    return stop;
}

void FigureDrawing::finish() {
    const ImageBuffers& buffers = view_.buffers();
    const ViewHooks& hooks = view_.environment().hooks;
    if (view_.record().trueColourOn8Bit && hooks.reduceToPalette) {
        std::lock_guard pixels(pixelLock());
        hooks.reduceToPalette(view_, 0, 0, buffers.width - 1, buffers.height - 1);
    }
    paint();
}

void FigureDrawing::paint() {
    lastPaint_ = std::chrono::steady_clock::now();
    if (Frontend* frontend = view_.environment().frontend)
        frontend->viewChanged(view_.id(),
                              Rect{0, 0, view_.buffers().width, view_.buffers().height});
}

} // namespace vortimax
