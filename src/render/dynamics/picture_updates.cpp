#include "render/dynamics/picture_updates.h"

#include "base/frontend.h"
#include "model/fractal_view.h"

#include <mutex>

namespace vortimax {

PictureUpdates::PictureUpdates(FractalView& view)
    : view_(view), last_(std::chrono::steady_clock::now()) {}

void PictureUpdates::whenDue() {
    const auto interval = std::chrono::milliseconds(view_.environment().drawingSpeed.load());
    if (std::chrono::steady_clock::now() - last_ >= interval)
        report();
}

void PictureUpdates::finish() {
    const ViewHooks& hooks = view_.environment().hooks;
    if (view_.record().trueColourOn8Bit && hooks.reduceToPalette) {
        std::lock_guard pixels(view_.pixelLock());
        const ImageBuffers& buffers = view_.buffers();
        hooks.reduceToPalette(view_, 0, 0, buffers.width - 1, buffers.height - 1);
    }
    report();
}

void PictureUpdates::report() {
    last_ = std::chrono::steady_clock::now();
    if (Frontend* frontend = view_.environment().frontend) {
        const ImageBuffers& buffers = view_.buffers();
        frontend->viewChanged(view_.id(), Rect{0, 0, buffers.width, buffers.height});
    }
}

} // namespace vortimax
