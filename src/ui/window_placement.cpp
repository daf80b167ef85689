#include "ui/window_placement.h"

#include <algorithm>
#include <array>

namespace vortimax::ui {

namespace {

// Space left between a window and the one it keeps clear of.
constexpr int kGap = 8;

QRect pulledInside(const QRect& available, QRect rect) {
    rect.setSize(rect.size().boundedTo(available.size()));
    rect.moveLeft(std::clamp(rect.left(), available.left(),
                             available.left() + available.width() - rect.width()));
    rect.moveTop(std::clamp(rect.top(), available.top(),
                            available.top() + available.height() - rect.height()));
    return rect;
}

std::array<QPoint, 4> placesBeside(const QRect& avoid, const QRect& window) {
    return {QPoint(avoid.right() + 1 + kGap, window.top()),
            QPoint(avoid.left() - kGap - window.width(), window.top()),
            QPoint(window.left(), avoid.bottom() + 1 + kGap),
            QPoint(window.left(), avoid.top() - kGap - window.height())};
}

} // namespace

QRect placeWindow(const QRect& available, const QRect& wanted, const QRect& avoid) {
    const QRect inside = pulledInside(available, wanted);
    if (avoid.isEmpty() || !inside.intersects(avoid))
        return inside;
    for (const QPoint& place : placesBeside(avoid, inside)) {
        const QRect beside = pulledInside(available, QRect(place, inside.size()));
        if (!beside.intersects(avoid))
            return beside;
    }
    return inside;
}

} // namespace vortimax::ui
